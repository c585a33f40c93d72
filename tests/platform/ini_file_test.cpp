#include "data/ini_file.h"
#include "tests/platform/test_helpers.h"

#include <QMap>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using Entries = QList<QPair<QString, QString>>;

class IniFileTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_path = m_dir.filePath(u"VOZY.INI"_s); }
    void cleanup() { QFile::remove(m_path); }

    void value_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("blanks trimmed, first of two") << "Options"
                                                      << "ST"
                                                      << "16";
        QTest::newRow("names in another case") << "oPTIONS"
                                               << "mr"
                                               << "4";
        QTest::newRow("value after the first '='") << "Options"
                                                   << "PC"
                                                   << "5=0";
        QTest::newRow("missing key") << "Options"
                                     << "ZPK"
                                     << "default";
        QTest::newRow("missing section") << "Absent"
                                         << "ST"
                                         << "default";
    }

    void value()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QVERIFY(writeFile(
            m_path, "ST=1\r\n [ Options ] \r\nST = 16 \r\nmr=4\r\nPC=5=0\r\nST=99\r\n[Other]\r\nZPK=7\r\n"));
        QCOMPARE(IniFile(m_path).value(section, key, u"default"_s), expected);
    }

    void setValues_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<Entries>("entries");
        QTest::addColumn<QByteArray>("after");
        // The Windows-1251 comment and value must pass through untouched.
        QTest::newRow("rewritten in place, the rest byte for byte, CRLF")
            << "; \xD2\xE0\xF0\r\n[OPTIONS]\r\nST = 16\r\nst=99\r\n\r\n[Other]\r\nN=\xCF\r\n"_ba
            << Entries{{"ST", "20"}, {"ZPK", "12,5"}}
            << "; \xD2\xE0\xF0\r\n[OPTIONS]\r\nST=20\r\nst=99\r\nZPK=12,5\r\n\r\n[Other]\r\nN=\xCF\r\n"_ba;
        QTest::newRow("section added after a last line without line break")
            << "[Other]\nA=1"_ba << Entries{{"MR", "Ч"}} << "[Other]\nA=1\n[Options]\nMR=\xD0\xA7\n"_ba;
        QTest::newRow("byte order mark before the header")
            << "\xEF\xBB\xBF[Options]\nST=1\n"_ba << Entries{{"ST", "2"}}
            << "\xEF\xBB\xBF[Options]\nST=2\n"_ba;
    }

    void setValues()
    {
        QFETCH(QByteArray, before);
        QFETCH(Entries, entries);
        QFETCH(QByteArray, after);
        QVERIFY(writeFile(m_path, before));
        IniFile(m_path).setValues(u"Options"_s, entries);
        QCOMPARE(readFile(m_path), after);
    }

    void createsMissingFile()
    {
        IniFile file(m_path);
        QCOMPARE(file.value(u"Options"_s, u"MR"_s, u"4"_s), u"4"_s);
        file.setValues(u"Options"_s, {{"ST", "16"}, {"MR", "4,5"}});
        QCOMPARE(readFile(m_path), "[Options]\nST=16\nMR=4,5\n"_ba);
    }

    void writeFailure_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("parent is a regular file") << u"blocker/VOZY.INI"_s;
        // Long enough that no temporary file fits beside it, so the old file cannot be replaced.
        QTest::newRow("old file cannot be replaced") << QString(251, u'x') + u".INI"_s;
    }

    void writeFailure()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(u"blocker"_s), "not a directory"));
        QVERIFY(writeFile(dir.filePath(QString(251, u'x') + u".INI"_s), "[Options]\r\nST=16\r\n"));
        const auto before = snapshot(dir.path());
        const QString path = dir.filePath(name);
        QCOMPARE(dataErrorOf([&] {
                     IniFile(path).setValues(u"Options"_s, {{"ST", "20"}});
                 }),
                 u"Unable to write to "_s + path);
        QCOMPARE(snapshot(dir.path()), before);
    }

    void refusesLineBreakInValue()
    {
        QVERIFY(writeFile(m_path, "[Options]\nST=16\n"));
        const Entries entries{{"MR", "5"}, {"ST", "1\n[Evil]\nX=1"}};
        QVERIFY(dataErrorOf([&] {
                    IniFile(m_path).setValues(u"Options"_s, entries);
                }).contains(u"перевод строки"));
        QCOMPARE(readFile(m_path), "[Options]\nST=16\n"_ba);
    }

private:
    static QMap<QString, QByteArray> snapshot(const QString &directory)
    {
        QMap<QString, QByteArray> files;
        for (const QString &name : QDir(directory).entryList(QDir::Files | QDir::Hidden))
            files.insert(name, readFile(directory + u'/' + name));
        return files;
    }

    QTemporaryDir m_dir;
    QString m_path;
};

QTEST_GUILESS_MAIN(IniFileTest)
#include "ini_file_test.moc"
