#pragma once

#include <QList>
#include <QPair>
#include <QString>

// A Windows-style INI file, read and written entry by entry like the platform's profile functions:
// section and key names match without regard to case, a value is the text after the first '='
// with its surrounding blanks removed, and of a key given twice in a section the first counts.
//
// The text is UTF-8. Only the entries being set are rewritten: every other line, and its line
// break, stays byte for byte as it was, whatever its encoding.
class IniFile
{
public:
    explicit IniFile(QString path);

    const QString &path() const { return m_path; }

    // The default when the file, the section or the key is missing, or the file cannot be read.
    QString value(const QString &section, const QString &key, const QString &defaultValue = {}) const;

    // Sets the keys in one write that either replaces the whole file or leaves it as it was;
    // the section and keys are added when missing. A failure throws DataError("Unable to write to
    // <path>"); a name or value that cannot be written as one line throws before anything is done.
    void setValues(const QString &section, const QList<QPair<QString, QString>> &keyValues);

private:
    QString m_path;
};
