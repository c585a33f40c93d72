#include "data/ini_file.h"

#include "data/data_error.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

#ifdef Q_OS_WIN
const QByteArray NativeLineBreak = QByteArrayLiteral("\r\n");
#else
const QByteArray NativeLineBreak = QByteArrayLiteral("\n");
#endif

struct Line
{
    enum class Kind
    {
        Other,
        Section,
        Entry
    };

    QByteArray text;      // as in the file, without the line break
    QByteArray lineBreak; // "\r\n", "\n", or empty on a last line that has none
    Kind kind = Kind::Other;
    QString name; // of the section or the entry
    QString value;
};

QByteArray byteOrderMark(const QByteArray &firstLine)
{
    const QByteArray bom = QByteArrayLiteral("\xEF\xBB\xBF");
    return firstLine.startsWith(bom) ? bom : QByteArray();
}

// A byte order mark belongs to the start of the file only; anywhere else it is part of a name.
void parse(Line &line, bool firstLine = false)
{
    const QByteArray bytes = firstLine ? line.text.mid(byteOrderMark(line.text).size()) : line.text;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    const QString text = QString(decoder(bytes)).trimmed();
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(u']');
        line.kind = Line::Kind::Section;
        line.name = (close < 0 ? text.mid(1) : text.mid(1, close - 1)).trimmed();
        return;
    }
    const qsizetype equals = text.indexOf(u'=');
    if (text.startsWith(u';') || equals < 0)
        return;
    line.kind = Line::Kind::Entry;
    line.name = text.left(equals).trimmed();
    line.value = text.mid(equals + 1).trimmed();
}

// Names are read without their outer blanks, so they are compared and written without them too.
bool sameName(const QString &a, const QString &b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

struct Document
{
    QList<Line> lines;

    static Document fromBytes(const QByteArray &bytes)
    {
        // A byte order mark stays at the start of the first line; reading skips it.
        Document document;
        qsizetype start = 0;
        while (start < bytes.size()) {
            const qsizetype newline = bytes.indexOf('\n', start);
            Line line;
            if (newline < 0) {
                line.text = bytes.mid(start);
                start = bytes.size();
            } else {
                const qsizetype end =
                    newline > start && bytes.at(newline - 1) == '\r' ? newline - 1 : newline;
                line.text = bytes.mid(start, end - start);
                line.lineBreak = bytes.mid(end, newline + 1 - end);
                start = newline + 1;
            }
            parse(line, document.lines.isEmpty());
            document.lines.append(line);
        }
        return document;
    }

    QByteArray toBytes() const
    {
        QByteArray bytes;
        for (const Line &line : lines)
            bytes += line.text + line.lineBreak;
        return bytes;
    }

    // New lines follow the file's own convention, taken from its first line break.
    QByteArray lineBreak() const
    {
        for (const Line &line : lines) {
            if (!line.lineBreak.isEmpty())
                return line.lineBreak;
        }
        return NativeLineBreak;
    }

    qsizetype findSection(const QString &section) const
    {
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (lines[i].kind == Line::Kind::Section && sameName(lines[i].name, section))
                return i;
        }
        return -1;
    }

    // Entries before the first header belong to no section and are never found.
    qsizetype findEntry(const QString &section, const QString &key) const
    {
        bool inSection = false;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (lines[i].kind == Line::Kind::Section)
                inSection = sameName(lines[i].name, section);
            else if (inSection && lines[i].kind == Line::Kind::Entry && sameName(lines[i].name, key))
                return i;
        }
        return -1;
    }

    // Right after the section's last line that is not blank, so that blank lines keep separating
    // it from the next section.
    qsizetype endOfSection(qsizetype header) const
    {
        qsizetype last = header;
        for (qsizetype i = header + 1; i < lines.size() && lines[i].kind != Line::Kind::Section; ++i) {
            if (!lines[i].text.trimmed().isEmpty())
                last = i;
        }
        return last + 1;
    }

    void insert(qsizetype at, const QString &text)
    {
        const QByteArray newLineBreak = lineBreak();
        if (at > 0 && lines[at - 1].lineBreak.isEmpty())
            lines[at - 1].lineBreak = newLineBreak;
        Line line;
        line.text = text.toUtf8();
        line.lineBreak = newLineBreak;
        parse(line);
        lines.insert(at, line);
    }

    void set(const QString &section, const QString &key, const QString &value)
    {
        const QString entry = key.trimmed() + u'=' + value;
        const qsizetype existing = findEntry(section, key);
        if (existing >= 0) {
            // The first line keeps the file's byte order mark.
            const QByteArray bom = existing == 0 ? byteOrderMark(lines[0].text) : QByteArray();
            lines[existing].text = bom + entry.toUtf8();
            parse(lines[existing], existing == 0);
            return;
        }
        qsizetype header = findSection(section);
        if (header < 0) {
            insert(lines.size(), u'[' + section.trimmed() + u']');
            header = lines.size() - 1;
        }
        insert(endOfSection(header), entry);
    }
};

bool hasLineBreak(const QString &text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

// A name or value that would read back differently, or spill into a line of its own.
void checkWritable(const QString &section, const QString &key, const QString &value)
{
    const QString trimmedKey = key.trimmed();
    if (hasLineBreak(section) || section.contains(u']') || section.trimmed().isEmpty())
        throw DataError(QStringLiteral("Имя раздела «%1» нельзя записать в файл настроек.").arg(section));
    if (hasLineBreak(key) || key.contains(u'=') || trimmedKey.isEmpty() || trimmedKey.startsWith(u'[') ||
        trimmedKey.startsWith(u';'))
        throw DataError(QStringLiteral("Имя ключа «%1» нельзя записать в файл настроек.").arg(key));
    if (hasLineBreak(value))
        throw DataError(
            QStringLiteral(
                "Значение ключа «%1» содержит перевод строки и не может быть записано в файл настроек.")
                .arg(key));
}

} // namespace

IniFile::IniFile(QString path)
    : m_path(std::move(path))
{
}

QString IniFile::value(const QString &section, const QString &key, const QString &defaultValue) const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return defaultValue;
    const Document document = Document::fromBytes(file.readAll());
    const qsizetype entry = document.findEntry(section, key);
    return entry < 0 ? defaultValue : document.lines[entry].value;
}

void IniFile::setValues(const QString &section, const QList<QPair<QString, QString>> &keyValues)
{
    for (const auto &[key, value] : keyValues)
        checkWritable(section, key, value);

    const DataError failure(QStringLiteral("Unable to write to ") + m_path);
    Document document;
    QFile existing(m_path);
    if (existing.exists()) {
        // Writing over a file that could not be read would lose its other lines.
        if (!existing.open(QIODevice::ReadOnly))
            throw failure;
        document = Document::fromBytes(existing.readAll());
        if (existing.error() != QFileDevice::NoError)
            throw failure;
        existing.close();
    }
    for (const auto &[key, value] : keyValues)
        document.set(section, key, value);

    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        throw failure;
    const QByteArray bytes = document.toBytes();
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw failure;
}
