// The settings file: any file is read without harm; a key set is read back as set (less its outer
// blanks), every other key reads as before, and every line that was not that key's stays as it was,
// byte for byte and in order. A key or value that cannot be written is refused before the file is
// touched.
#include "data/data_error.h"
#include "data/ini_file.h"
#include "tests/fuzz/fuzz_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

const QStringList &keys()
{
    static const QStringList all = {QStringLiteral("ST"), QStringLiteral("MR"), QStringLiteral("PC"),
                                    QStringLiteral("ZPK")};
    return all;
}

// The file's lines with their line breaks, byte for byte.
QByteArrayList lines(const QByteArray &bytes)
{
    QByteArrayList result;
    for (qsizetype start = 0; start < bytes.size();) {
        const qsizetype newline = bytes.indexOf('\n', start);
        const qsizetype end = newline < 0 ? bytes.size() : newline + 1;
        result << bytes.mid(start, end - start);
        start = end;
    }
    return result;
}

// An entry line of `key`, as the reader sees one.
bool isEntryOf(const QByteArray &line, const QString &key)
{
    const QString text = QString::fromUtf8(line).trimmed();
    const qsizetype equals = text.indexOf(u'=');
    return equals > 0 && !text.startsWith(u';') && !text.startsWith(u'[') &&
           text.left(equals).trimmed().compare(key.trimmed(), Qt::CaseInsensitive) == 0;
}

// The new file is the old one with one entry of the key rewritten in place, or with the entry (and
// the section's header) added; a last line that had no line break may have gained one.
bool linesKept(const QByteArrayList &old, const QByteArrayList &now, const QByteArray &header,
               const QByteArray &entry, const QString &key)
{
    if (now.size() == old.size()) {
        int rewritten = 0;
        for (qsizetype i = 0; i < old.size(); ++i) {
            if (old.at(i) != now.at(i) && (++rewritten > 1 || !isEntryOf(old.at(i), key)))
                return false;
        }
        return true;
    }
    // Added lines: the entry, and before it the header when the section was missing. Which of the
    // lines equal to them were added is tried line by line.
    const QByteArray wanted = now.size() == old.size() + 2 ? header : entry;
    if (now.size() != old.size() + 1 && now.size() != old.size() + 2)
        return false;
    for (qsizetype i = 0; i < now.size(); ++i) {
        if (now.at(i) != wanted + "\n" && now.at(i) != wanted + "\r\n")
            continue;
        QByteArrayList without = now;
        without.removeAt(i);
        if (linesKept(old, without, header, entry, key))
            return true;
    }
    return false;
}

void requireLinesKept(const QByteArray &before, const QByteArray &after, const QString &section,
                      const QString &key, const QString &value, const QString &input)
{
    const QByteArrayList old = lines(before);
    const QByteArrayList now = lines(after);
    const QByteArray header = (u'[' + section.trimmed() + u']').toUtf8();
    const QByteArray entry = (key.trimmed() + u'=' + value).toUtf8();
    QList<QByteArrayList> candidates{old};
    if (!old.isEmpty() && !old.last().endsWith('\n')) {
        for (const char *lineBreak : {"\n", "\r\n"}) {
            QByteArrayList ended = old;
            ended.last() += lineBreak;
            candidates << ended;
        }
    }
    for (const QByteArrayList &candidate : candidates) {
        if (linesKept(candidate, now, header, entry, key))
            return;
    }
    Fuzz::fail("the other lines stay as they were", input);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The file's bytes, then after the last byte 1 the section, key and value to set, separated by
// byte 2 (section "Options", key "ST" and value "5" where missing).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::environment();
    // Memory, where there is some: every write of the file waits for the disk otherwise.
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                 ? QStringLiteral("/dev/shm/vozy-fuzz-XXXXXX")
                                 : QDir::temp().filePath(QStringLiteral("vozy-fuzz-XXXXXX")));
    const QString path = dir.filePath(QStringLiteral("VOZY.INI"));
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype split = input.lastIndexOf('\x01');
    const QByteArray before = split < 0 ? input : input.left(split);
    const QByteArrayList parts = split < 0 ? QByteArrayList() : input.mid(split + 1).split('\x02');
    const QString section = parts.size() > 0 ? QString::fromUtf8(parts.at(0)) : QStringLiteral("Options");
    const QString key = parts.size() > 1 ? QString::fromUtf8(parts.at(1)) : QStringLiteral("ST");
    const QString value = parts.size() > 2 ? QString::fromUtf8(parts.at(2)) : QStringLiteral("5");
    const QString shown = QString::fromUtf8(input.toPercentEncoding(" []=;"));

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(before) != before.size())
        Fuzz::fail("the settings file can be prepared", path);
    file.close();

    const IniFile ini(path);
    QStringList others;
    for (const QString &other : keys())
        others << ini.value(section, other, QStringLiteral("\x01"));
    try {
        IniFile(path).setValues(section, {{key, value}});
    } catch (const DataError &e) {
        FUZZ_REQUIRE(!e.message().isEmpty(), shown);
        FUZZ_REQUIRE(readFile(path) == before, shown);
        return 0;
    }
    FUZZ_REQUIRE(ini.value(section, key, QStringLiteral("\x01")) == value.trimmed(), shown);
    for (qsizetype i = 0; i < keys().size(); ++i) {
        if (keys().at(i).compare(key.trimmed(), Qt::CaseInsensitive) != 0)
            FUZZ_REQUIRE(ini.value(section, keys().at(i), QStringLiteral("\x01")) == others.at(i), shown);
    }
    requireLinesKept(before, readFile(path), section, key, value, shown);
    return 0;
}
