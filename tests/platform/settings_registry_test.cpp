#include "platform/settings_registry.h"
#include "tests/platform/test_helpers.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The value is written by hand into the file where the program is documented to look for it.
class SettingsRegistryTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir.emplace();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir->path());
        m_conf = m_dir->filePath(u"Lumivark/ARM_Vozy.conf"_s);
    }

    void settingsFilePath_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("without separator") << "/srv/vozy"_ba << u"/srv/vozy/VOZY.INI"_s;
        QTest::newRow("with separator") << "/srv/vozy/"_ba << u"/srv/vozy/VOZY.INI"_s;
        QTest::newRow("with backslash") << "C:\\\\Vozy\\\\"_ba << u"C:\\Vozy\\VOZY.INI"_s;
    }

    void settingsFilePath()
    {
        QFETCH(QByteArray, value);
        QFETCH(QString, expected);
        QVERIFY(writeFile(m_conf, "[Key]\nDataBaseDir=" + value + "\n"));
        QCOMPARE(::settingsFilePath(), expected);
    }

    void absentValue_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("conf");
        QTest::newRow("no settings file") << u"Other/ARM_Vozy.conf"_s << "[Key]\nDataBaseDir=/srv\n"_ba;
        QTest::newRow("no such value") << u"Lumivark/ARM_Vozy.conf"_s << "[Other]\nDataBaseDir=/srv\n"_ba;
        QTest::newRow("empty value") << u"Lumivark/ARM_Vozy.conf"_s << "[Key]\nDataBaseDir=\n"_ba;
    }

    void absentValue()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, conf);
        QVERIFY(writeFile(m_dir->filePath(file), conf));
        QCOMPARE(readreg(u"Software\\Lumivark\\ARM_Vozy\\Key"_s, u"DataBaseDir"_s), QString());
        QCOMPARE(db_dir(), QString());
        QVERIFY(dataErrorOf([] { ::settingsFilePath(); }).startsWith(u"Не задан каталог базы данных"));
    }

    void notAString_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("list") << "/a, /b"_ba;
        QTest::newRow("integer") << "@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)"_ba;
    }

    void notAString()
    {
        QFETCH(QByteArray, value);
        QVERIFY(writeFile(m_conf, "[Key]\nDataBaseDir=" + value + "\n"));
        QCOMPARE(dataErrorOf([] { db_dir(); }), u"Invalid data type for 'DataBaseDir'"_s);
    }

private:
    std::optional<QTemporaryDir> m_dir;
    QString m_conf;
};

QTEST_GUILESS_MAIN(SettingsRegistryTest)
#include "settings_registry_test.moc"
