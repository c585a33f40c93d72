#include "platform/alias_config.h"
#include "tests/platform/test_helpers.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class AliasConfigTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir.emplace();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir->path());
        m_path = m_dir->filePath(u"Lumivark/aliases.cfg"_s);
    }

    // No file and no directory yet, where QSettings keeps the program's settings.
    void firstStartCreatesTheFile()
    {
        AliasConfig config(AliasConfig::defaultPath());
        QCOMPARE(config.aliasNames(), QStringList());
        setup_alias(config, u"VOZY"_s, u"PARADOX"_s, u"/new/"_s);
        QCOMPARE(AliasConfig(m_path).aliasNames(), QStringList{u"VOZY"_s});
    }

    void setup_data()
    {
        QTest::addColumn<QByteArray>("vozyBefore");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("vozy");
        const QStringList added{"PATH=/new/", "DEFAULT DRIVER=PARADOX", "TYPE=STANDARD"};
        QTest::newRow("missing: added") << QByteArray() << QStringList{"DEMOS", "VOZY"} << added;
        QTest::newRow("other path: first line replaced, the rest kept")
            << "[VOZY]\nPATH=/old\nLANGID=ru\n"_ba << QStringList{"DEMOS", "VOZY"}
            << QStringList{"PATH=/new/", "LANGID=ru"};
        QTest::newRow("same path, CRLF: unchanged")
            << "[VOZY]\r\nPATH=/new/\r\nDEFAULT DRIVER=DBASE\r\n"_ba << QStringList{"DEMOS", "VOZY"}
            << QStringList{"PATH=/new/", "DEFAULT DRIVER=DBASE"};
        QTest::newRow("no parameters")
            << "[VOZY]\n"_ba << QStringList{"DEMOS", "VOZY"} << QStringList{"PATH=/new/"};
        QTest::newRow("name in another case is another alias")
            << "[vozy]\nPATH=/old\n"_ba << QStringList{"DEMOS", "vozy", "VOZY"} << added;
    }

    // Checked after a reload, so that it holds for the next start too.
    void setup()
    {
        QFETCH(QByteArray, vozyBefore);
        QFETCH(QStringList, names);
        QFETCH(QStringList, vozy);
        QVERIFY(writeFile(m_path, "[DEMOS]\nPATH=/demos\n\n" + vozyBefore));
        AliasConfig config(m_path);
        setup_alias(config, u"VOZY"_s, u"PARADOX"_s, u"/new/"_s);

        const AliasConfig reloaded(m_path);
        QCOMPARE(reloaded.aliasNames(), names);
        QCOMPARE(reloaded.params(u"VOZY"_s), vozy);
        QCOMPARE(reloaded.params(u"DEMOS"_s), QStringList{u"PATH=/demos"_s});
    }

    void malformed_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("parameter before any alias") << "PATH=/x\n[VOZY]\n"_ba;
        QTest::newRow("line without '='") << "[VOZY]\nPATH\n"_ba;
        QTest::newRow("alias twice") << "[VOZY]\nPATH=/a\n[VOZY]\nPATH=/b\n"_ba;
    }

    void malformed()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(writeFile(m_path, bytes));
        QVERIFY(dataErrorOf([&] { AliasConfig config(m_path); }).contains(m_path));
    }

    void saveFailure()
    {
        QVERIFY(writeFile(m_path, "a regular file"));
        AliasConfig config(m_path + u"/aliases.cfg"_s);
        const QString message =
            dataErrorOf([&] { setup_alias(config, u"VOZY"_s, u"PARADOX"_s, u"/new/"_s); });
        QVERIFY(message.contains(config.path()));
    }

private:
    std::optional<QTemporaryDir> m_dir;
    QString m_path;
};

QTEST_GUILESS_MAIN(AliasConfigTest)
#include "alias_config_test.moc"
