#include "data/data_module.h"
#include "data/database.h"
#include "data/password_coder.h"
#include "tools/demo_data.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

// The set-up tool: an empty store with its first administrator, the demo city, and its refusal to
// touch a store that is already there.
class TestSetup : public QObject
{
    Q_OBJECT

private:
    struct Run
    {
        int exitCode;
        QString out;
        QString err;
    };
    Run runTool(const QStringList &args, const QString &configHome)
    {
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
        tool.setProcessEnvironment(env);
        tool.start(QStringLiteral(VOZY_SETUP_PATH), args);
        if (!tool.waitForFinished(30000))
            return {-1, {}, QStringLiteral("timed out")};
        return {tool.exitCode(), QString::fromUtf8(tool.readAllStandardOutput()),
                QString::fromUtf8(tool.readAllStandardError())};
    }
    static int count(Database &db, const QString &sql)
    {
        QSqlQuery q = db.prepare(sql);
        Database::exec(q);
        return q.next() ? q.value(0).toInt() : -1;
    }

private Q_SLOTS:
    void emptyStoreHasTheFirstAdministrator()
    {
        QTemporaryDir work, config;
        const Run run = runTool({work.path()}, config.path());
        QCOMPARE(run.exitCode, 0);
        auto db = Database::open(Database::storeFile(work.path()));
        QCOMPARE(count(*db, QStringLiteral("SELECT COUNT(*) FROM sotrud")), 1);
        QSqlQuery q = db->prepare(QStringLiteral("SELECT sotrud.Family, pwl.G, pwl.Pwl IS NULL FROM pwl JOIN "
                                                 "sotrud ON pwl.IdOperator = sotrud.Id"));
        Database::exec(q);
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("Администратор"));
        QCOMPARE(q.value(1).toInt(), 1);
        QCOMPARE(q.value(2).toInt(), 1); // no password yet
        QVERIFY(!q.next());
        for (const char *table : {"taxisti", "raion", "gurnal", "vozyraion", "rastoyan"})
            QCOMPARE(count(*db, QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table))), 0);
        QVERIFY(!QFile::exists(config.filePath(QStringLiteral("Lumivark/ARM_Vozy.conf"))));
    }

    void demoStoreIsASmallCity()
    {
        QTemporaryDir work, config;
        const Run run = runTool({QStringLiteral("--demo"), work.path()}, config.path());
        QCOMPARE(run.exitCode, 0);
        auto db = Database::open(Database::storeFile(work.path()));
        const std::pair<const char *, int> expected[] = {
            {"SELECT COUNT(*) FROM gorod", 2},
            {"SELECT COUNT(*) FROM raion", 6},
            {"SELECT COUNT(*) FROM ulica", 30},
            {"SELECT COUNT(*) FROM rastoyan", 36},
            {"SELECT COUNT(*) FROM auto", 6},
            {"SELECT COUNT(*) FROM color", 6},
            {"SELECT COUNT(*) FROM taxisti", 12},
            {"SELECT COUNT(*) FROM grafic", 12},
            {"SELECT COUNT(*) FROM vozyraion WHERE Status = 0", 10},
            {"SELECT COUNT(*) FROM vozyraion", 10},
            {"SELECT COUNT(*) FROM pwl", 3},
            {"SELECT COUNT(*) FROM pwl WHERE G = 1", 1},
            // every ordered pair of districts, each to itself included, once
            {"SELECT COUNT(DISTINCT IdRaion1 || '-' || IdRaion2) FROM rastoyan", 36},
            {"SELECT COUNT(*) FROM rastoyan WHERE IdRaion1 = IdRaion2", 6},
            // every driver has a schedule row, every queue record a driver with one
            {"SELECT COUNT(*) FROM taxisti WHERE Id NOT IN (SELECT IdTaxist FROM grafic)", 0},
            {"SELECT COUNT(*) FROM vozyraion WHERE Vozy NOT IN (SELECT IdTaxist FROM grafic)", 0},
            {"SELECT COUNT(*) FROM ulica WHERE IdRion NOT IN (SELECT Id FROM raion)", 0},
            // done orders of the last three days, so that the report of yesterday has rows
            {"SELECT COUNT(DISTINCT DDate) FROM gurnal WHERE DDate >= date('now', 'localtime', '-3 day')", 3},
            {"SELECT COUNT(*) FROM gurnal WHERE Status <> 0 OR IdVozy NOT IN (SELECT Id FROM taxisti)", 0},
        };
        for (const auto &[sql, n] : expected)
            QCOMPARE(count(*db, QString::fromLatin1(sql)), n);

        for (const DemoData::Dispatcher &d : DemoData::dispatchers) {
            QSqlQuery q = db->prepare(QStringLiteral("SELECT pwl.Pwl, pwl.G FROM pwl JOIN sotrud ON "
                                                     "pwl.IdOperator = sotrud.Id WHERE sotrud.Family = ?"));
            q.addBindValue(QString::fromUtf8(d.surname));
            Database::exec(q);
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toByteArray(), coder(QString::fromUtf8(d.password)));
            QCOMPARE(q.value(1).toInt(), 0);
        }
        // The data module opens it and the queue shows names through the schedule.
        TDataModule2 dm(*db);
        QCOMPARE(dm.Vozy_raion->text(QStringLiteral("TTVozy")), QStringLiteral("Петров"));
        QCOMPARE(dm.Vozy_raion->text(QStringLiteral("TTRaion")), QStringLiteral("Центральный"));
        // The demo registers its directory for the settings when none is registered yet.
        QFile registry(config.filePath(QStringLiteral("Lumivark/ARM_Vozy.conf")));
        QVERIFY(registry.open(QIODevice::ReadOnly));
        QVERIFY(registry.readAll().contains("DataBaseDir"));
    }

    void refusesAnExistingStore()
    {
        QTemporaryDir work, config;
        QCOMPARE(runTool({work.path()}, config.path()).exitCode, 0);
        QFile store(Database::storeFile(work.path()));
        const QDateTime before = QFileInfo(store).lastModified();
        const QByteArray content = [&] {
            store.open(QIODevice::ReadOnly);
            return store.readAll();
        }();
        store.close();
        const Run again = runTool({QStringLiteral("--demo"), work.path()}, config.path());
        QCOMPARE(again.exitCode, 1);
        QVERIFY2(again.err.contains(QStringLiteral("уже существует")), qPrintable(again.err));
        QVERIFY(store.open(QIODevice::ReadOnly));
        QCOMPARE(store.readAll(), content);
        QCOMPARE(QFileInfo(store).lastModified(), before);
    }

    // Whoever runs it, a directory under a regular file cannot be made, and a store whose journal's
    // place is taken by a directory cannot be finished: the tool says so and leaves no store behind,
    // so that it can be run again once the cause is gone.
    void aDirectoryThatCannotBeWrittenLeavesNoStore_data()
    {
        QTest::addColumn<QString>("blocker");
        QTest::addColumn<QString>("said");
        QTest::newRow("under a regular file") << "file"
                                              << "Не удалось создать каталог";
        QTest::newRow("the store cannot be finished") << "bd/vozy.db-wal/"
                                                      << "Не удалось создать базу данных";
    }

    void aDirectoryThatCannotBeWrittenLeavesNoStore()
    {
        QFETCH(QString, blocker);
        QFETCH(QString, said);
        QTemporaryDir root, config;
        QString work = root.path();
        const QString blocking = root.filePath(blocker);
        if (blocker.endsWith(u'/')) {
            QVERIFY(QDir().mkpath(blocking));
        } else {
            QFile file(blocking);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("a file, not a directory") > 0);
            work = blocking + QStringLiteral("/work");
        }
        const Run run = runTool({work}, config.path());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(said), qPrintable(run.err));
        QVERIFY(!QFileInfo::exists(Database::storeFile(work)));

        QVERIFY(QFileInfo(blocking).isDir() ? QDir(blocking).removeRecursively() : QFile::remove(blocking));
        QCOMPARE(runTool({work}, config.path()).exitCode, 0);
        QCOMPARE(
            count(*Database::open(Database::storeFile(work)), QStringLiteral("SELECT COUNT(*) FROM pwl")), 1);
    }

    // The demo registers its directory unless a directory that still exists is registered.
    void demoRegistersItsDirectory_data()
    {
        QTest::addColumn<QString>(
            "registered"); // "": none; "gone": a removed directory; "kept": one that exists
        QTest::addColumn<bool>("demoBecomesIt");
        QTest::newRow("none") << QString() << true;
        QTest::newRow("gone") << QStringLiteral("gone") << true;
        QTest::newRow("kept") << QStringLiteral("kept") << false;
    }

    void demoRegistersItsDirectory()
    {
        QFETCH(QString, registered);
        QFETCH(bool, demoBecomesIt);
        QTemporaryDir work, config, other;
        const QString before = registered.isEmpty() ? QString() : other.filePath(registered);
        if (registered == QStringLiteral("kept"))
            QVERIFY(QDir().mkpath(before));
        const QString file = config.filePath(QStringLiteral("Lumivark/ARM_Vozy.conf"));
        if (!before.isEmpty()) {
            QSettings settings(file, QSettings::IniFormat);
            settings.setValue(QStringLiteral("Key/DataBaseDir"), before);
        }
        QCOMPARE(runTool({QStringLiteral("--demo"), work.path()}, config.path()).exitCode, 0);
        QSettings settings(file, QSettings::IniFormat);
        const QString after = settings.value(QStringLiteral("Key/DataBaseDir")).toString();
        QCOMPARE(QDir(after).absolutePath(), QDir(demoBecomesIt ? work.path() : before).absolutePath());
    }

    void refusesWrongArguments()
    {
        QTemporaryDir config;
        QCOMPARE(runTool({}, config.path()).exitCode, 2);
        QCOMPARE(runTool({QStringLiteral("--unknown"), QStringLiteral("x")}, config.path()).exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(TestSetup)
#include "test_setup.moc"
