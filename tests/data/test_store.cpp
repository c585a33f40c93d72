#include "data/data_error.h"
#include "data/database.h"
#include "data/schema.h"
#include "data/statement.h"
#include "tests/support/test_database.h"

#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTest>

#include <memory>

// The store itself: its file, its tables, transactions and the one statement the program runs.
class TestStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tablePathsResolveWhateverTheSpelling_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("table");
        QTest::newRow("backslash, upper extension") << "bd\\gurnal.DB"
                                                    << "gurnal";
        QTest::newRow("slash, lower extension") << "bd/pwl.db"
                                                << "pwl";
        QTest::newRow("mixed case") << "BD\\Raion.Db"
                                    << "raion";
        QTest::newRow("bare name") << "sotrud"
                                   << "sotrud";
        QTest::newRow("blanks around") << "  bd\\vozyraion.db "
                                       << "vozyraion";
    }
    void tablePathsResolveWhateverTheSpelling()
    {
        QFETCH(QString, path);
        QFETCH(QString, table);
        QCOMPARE(Schema::table(path).name, table);
    }

    void unknownTableIsAClearError()
    {
        try {
            Schema::table(QStringLiteral("bd\\nosuch.db"));
            QFAIL("an unknown table must be refused");
        } catch (const DataError &e) {
            QCOMPARE(e.message(), QStringLiteral("Таблица не найдена: bd\\nosuch.db"));
        }
    }

    void everyTableHasItsFieldsInOrder()
    {
        TestDatabase store;
        const bool server = TestDatabase::onServer();
        QCOMPARE(Schema::tables().size(), 12);
        for (const TableDef &t : Schema::tables()) {
            QSqlQuery q = store.db().prepare(
                server
                    ? QStringLiteral("SELECT column_name FROM information_schema.columns WHERE table_name = "
                                     "'%1' ORDER BY ordinal_position")
                          .arg(t.name)
                    : QStringLiteral("SELECT name FROM pragma_table_info('%1') ORDER BY cid").arg(t.name));
            Database::exec(q);
            QStringList columns;
            while (q.next())
                columns << q.value(0).toString();
            QStringList expected;
            for (const FieldDef &f : t.fields)
                expected << (server ? f.name.toLower() : f.name);
            QCOMPARE(columns, expected);
            QCOMPARE(t.fields.first().name, QStringLiteral("Id"));
        }
        if (server) {
            QCOMPARE(
                store.scalar(QStringLiteral("SELECT indexdef FROM pg_indexes WHERE indexname = 'secidvozy'"))
                    .toString(),
                QStringLiteral("CREATE INDEX secidvozy ON public.gurnal USING btree (idvozy)"));
            QCOMPARE(store.db().schemaVersion(), Schema::latestVersion());
            return;
        }
        QCOMPARE(
            store.scalar(QStringLiteral("SELECT sql FROM sqlite_master WHERE name='SecIdVozy'")).toString(),
            QStringLiteral("CREATE INDEX \"SecIdVozy\" ON \"gurnal\" (\"IdVozy\")"));
        QCOMPARE(store.db().schemaVersion(), Schema::latestVersion());
        QCOMPARE(store.scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
    }

    void lookupsAndViewsUseIndexes_data()
    {
        QTest::addColumn<QString>("query");
        QTest::newRow("queue by driver") << "SELECT * FROM vozyraion WHERE Vozy = 3";
        QTest::newRow("district view") << "SELECT * FROM vozyraion WHERE Raion = 3 AND Status = 0";
        QTest::newRow("schedule by driver") << "SELECT * FROM grafic WHERE IdTaxist = 3";
        QTest::newRow("current orders") << "SELECT COUNT(*) FROM gurnal WHERE Status = 1";
        QTest::newRow("orders of a driver")
            << "SELECT * FROM gurnal WHERE IdVozy = 3 AND DDate = '2026-12-07'";
        QTest::newRow("streets of a district") << "SELECT * FROM ulica WHERE IdRion = 3";
        QTest::newRow("report: orders of a date per driver")
            << "SELECT IdVozy, COUNT(*) FROM gurnal WHERE DDate = '2026-12-07' GROUP BY IdVozy";
        QTest::newRow("row by id") << "SELECT * FROM taxisti WHERE Id = 3";
    }
    void lookupsAndViewsUseIndexes()
    {
        QFETCH(QString, query);
        SKIP_ON_SERVER("the server plans by the table's size");
        TestDatabase store;
        QSqlQuery plan = store.db().prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + query);
        Database::exec(plan);
        QString detail;
        while (plan.next())
            detail += plan.value(3).toString() + QLatin1Char('\n');
        QVERIFY2(detail.contains(QStringLiteral("USING")), qPrintable(detail));
        QVERIFY2(!detail.contains(QStringLiteral("SCAN")), qPrintable(detail));
    }

    void openRefusesAMissingStoreAndCreateAnExistingOne()
    {
        if (TestDatabase::onServer()) {
            const QString connection = TestDatabase::createServerDatabase();
            const auto drop = qScopeGuard([&] { TestDatabase::dropServerDatabase(connection); });
            QVERIFY_THROWS_EXCEPTION(DataError, Database::openServer(connection)); // an empty database
            QVERIFY_THROWS_EXCEPTION(DataError, Database::createServer(connection + " password=secret"));
            Database::createServer(connection);
            QVERIFY_THROWS_EXCEPTION(DataError, Database::createServer(connection));
            auto reopened = Database::openServer(connection);
            QCOMPARE(reopened->schemaVersion(), Schema::latestVersion());
            return;
        }
        QTemporaryDir dir;
        const QString file = Database::storeFile(dir.path());
        QVERIFY_THROWS_EXCEPTION(DataError, Database::open(file));
        QVERIFY(!QFile::exists(file)); // opening never creates
        Database::create(file);
        QVERIFY_THROWS_EXCEPTION(DataError, Database::create(file));
        auto reopened = Database::open(file);
        QCOMPARE(reopened->schemaVersion(), Schema::latestVersion());
    }

    void openRefusesAForeignFile()
    {
        SKIP_ON_SERVER("a file");
        QTemporaryDir dir;
        const QString file = Database::storeFile(dir.path());
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("this is not a database at all, just some text that is long enough");
        f.close();
        QVERIFY_THROWS_EXCEPTION(DataError, Database::open(file));
    }

    void transactionKeepsAllOrNothing()
    {
        TestDatabase store;
        TDataModule2 &dm = store.module();
        store.insert(QStringLiteral("vozyraion"),
                     {{QStringLiteral("Vozy"), 1}, {QStringLiteral("Raion"), 1}});
        dm.Vozy_raion->refresh();
        {
            Database::Transaction t(store.db());
            dm.Vozy_raion->append();
            dm.Vozy_raion->setValue(QStringLiteral("Vozy"), 1);
            dm.Vozy_raion->setValue(QStringLiteral("Raion"), 2);
            dm.Vozy_raion->post();
            dm.Vozy_raion->first();
            dm.Vozy_raion->deleteRecord();
            QCOMPARE(dm.Vozy_raion->recordCount(), 1);
            // no commit: as if the journal store had failed
        }
        QCOMPARE(store.count(QStringLiteral("vozyraion")), 1);
        QCOMPARE(dm.Vozy_raion->recordCount(), 1);
        QCOMPARE(dm.Vozy_raion->value(QStringLiteral("Raion")).toInt(), 1);
        {
            Database::Transaction outer(store.db());
            store.insert(QStringLiteral("gorod"), {{QStringLiteral("Gorod"), QStringLiteral("А")}});
            {
                Database::Transaction inner(store.db());
                store.insert(QStringLiteral("gorod"), {{QStringLiteral("Gorod"), QStringLiteral("Б")}});
            }
            outer.commit();
        }
        QCOMPARE(store.count(QStringLiteral("gorod")), 1);
    }

    void statementRunsWithBoundValuesAndTellsTheDatasets()
    {
        TestDatabase store;
        TDataModule2 &dm = store.module();
        for (int driver : {4, 4, 5})
            store.insert(QStringLiteral("vozyraion"), {{QStringLiteral("Vozy"), driver},
                                                       {QStringLiteral("Raion"), 1},
                                                       {QStringLiteral("Status"), 1}});
        dm.Vozy_raion->setFilter(QStringLiteral("Raion=1 and Status=False"));
        dm.Vozy_raion->setFiltered(true);
        QCOMPARE(dm.Vozy_raion->recordCount(), 0);
        QCOMPARE(dm.Query1.sql(), QStringLiteral("UPDATE bd\\vozyraion.db SET Status=false WHERE (Vozy=4)"));
        QCOMPARE(dm.Query1.execute(), 2);
        QCOMPARE(dm.Vozy_raion->recordCount(), 2);
        QCOMPARE(store.count(QStringLiteral("vozyraion"), QStringLiteral("Status = 0")), 2);
    }

    void statementRefusesWhatItCannotRead_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("not an update") << "DELETE FROM bd\\vozyraion.db";
        QTest::newRow("injected text")
            << "UPDATE bd\\vozyraion.db SET Status=false WHERE (Vozy=4); DROP TABLE gurnal";
        QTest::newRow("unknown field") << "UPDATE bd\\vozyraion.db SET Busy=false";
        QTest::newRow("unknown table") << "UPDATE bd\\nosuch.db SET Status=false";
        QTest::newRow("value of another kind") << "UPDATE bd\\vozyraion.db SET Status=false WHERE (Vozy=abc)";
        QTest::newRow("identity") << "UPDATE bd\\vozyraion.db SET Id=1";
        QTest::newRow("a field set twice") << "UPDATE bd\\vozyraion.db SET Status=false, Status=true";
    }
    void statementRefusesWhatItCannotRead()
    {
        QFETCH(QString, sql);
        TestDatabase store;
        store.insert(QStringLiteral("vozyraion"),
                     {{QStringLiteral("Vozy"), 4}, {QStringLiteral("Status"), 1}});
        Statement statement(store.db(), sql);
        QVERIFY_THROWS_EXCEPTION(DataError, statement.execute());
        QCOMPARE(store.count(QStringLiteral("vozyraion"), QStringLiteral("Status = 1")), 1);
        QCOMPARE(store.count(QStringLiteral("gurnal")), 0);
    }

    void moduleOpenFailsWithTheStoresMessage()
    {
        TestDatabase store;
        store.db().execute(QStringLiteral("DROP TABLE rastoyan"));
        try {
            TDataModule2 dm(store.db());
            QFAIL("a missing table must stop the module");
        } catch (const DataError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("rastoyan")), qPrintable(e.message()));
        }
    }

    // A statement fails inside a transaction and the failure is caught. Given a step of its own, the
    // transaction goes on and stores the rest. Without one, the embedded store goes on as well; the
    // server has given the transaction up, and its commit must say so rather than store nothing quietly.
    void aCaughtFailureInsideATransaction_data()
    {
        QTest::addColumn<bool>("ownStep");
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("a step of its own") << true << QStringList{"до", "после"};
        QTest::newRow("no step of its own")
            << false << (TestDatabase::onServer() ? QStringList() : QStringList{"до", "после"});
    }
    void aCaughtFailureInsideATransaction()
    {
        QFETCH(bool, ownStep);
        QFETCH(QStringList, stored);
        TestDatabase store;
        store.refuse(QStringLiteral("BEFORE INSERT ON gorod"), QStringLiteral("запрещено"),
                     QStringLiteral("NEW.Gorod = 'плохо'"));
        const auto add = [&store](const char *city) {
            store.insert(QStringLiteral("gorod"), {{QStringLiteral("Gorod"), QString::fromUtf8(city)}});
        };
        bool committed = false;
        try {
            Database::Transaction transaction(store.db());
            add("до");
            try {
                if (ownStep)
                    store.db().recoverable([&] { add("плохо"); });
                else
                    add("плохо");
                QFAIL("the store must refuse the row");
            } catch (const DataError &e) {
                QVERIFY2(e.message() == QStringLiteral("запрещено"), qPrintable(e.message()));
            }
            if (ownStep || !TestDatabase::onServer())
                add("после");
            transaction.commit();
            committed = true;
        } catch (const DataError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("отменил изменения")), qPrintable(e.message()));
        }
        QCOMPARE(committed, !stored.isEmpty());
        QStringList cities;
        QSqlQuery rows = store.db().prepare(QStringLiteral("SELECT Gorod FROM gorod ORDER BY Id"));
        Database::exec(rows);
        while (rows.next())
            cities << rows.value(0).toString();
        QCOMPARE(cities, stored);
        add("потом"); // the connection works on
        QCOMPARE(store.count(QStringLiteral("gorod")), stored.size() + 1);
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "test_store.moc"
