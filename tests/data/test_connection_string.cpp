#include "data/connection_string.h"
#include "data/data_error.h"

#include <QSqlDatabase>
#include <QTest>

// Connections to a server as they are written in the settings.
class TestConnectionString : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each connection as "key=value" pairs read back one per line, or the start of the error said.
    void readAsTheClientLibraryReadsIt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("pairs");
        QTest::addColumn<QString>("error");
        QTest::newRow("plain") << "host=/run/pg port=5432 dbname=vozy user=disp"
                               << QStringList{"host=/run/pg", "port=5432", "dbname=vozy", "user=disp"} << "";
        QTest::newRow("blanks around =, tabs between")
            << "  host = srv\tdbname=  vozy  " << QStringList{"host=srv", "dbname=vozy"} << "";
        QTest::newRow("quoted, with blanks")
            << "dbname='taxi base' user=x" << QStringList{"dbname=taxi base", "user=x"} << "";
        QTest::newRow("escapes in quotes")
            << R"(dbname='it\'s a \\ path')" << QStringList{R"(dbname=it's a \ path)"} << "";
        QTest::newRow("escapes unquoted")
            << R"(user=a\ b host=c\\d)" << QStringList{"user=a b", R"(host=c\d)"} << "";
        QTest::newRow("empty quoted value")
            << "application_name='' dbname=v" << QStringList{"application_name=", "dbname=v"} << "";
        QTest::newRow("a key given twice keeps the last")
            << "dbname=a dbname=b" << QStringList{"dbname=b"} << "";
        QTest::newRow("other keys of the client library")
            << "sslmode=require connect_timeout=5" << QStringList{"sslmode=require", "connect_timeout=5"}
            << "";
        QTest::newRow("no =") << "host=srv vozy" << QStringList{} << "Непонятное подключение";
        QTest::newRow("no name") << "=srv" << QStringList{} << "Непонятное подключение";
        QTest::newRow("unclosed quote") << "dbname='vozy" << QStringList{} << "Непонятное подключение";
        QTest::newRow("unknown key") << "host=srv databse=vozy" << QStringList{}
                                     << "неизвестный параметр «databse»";
        QTest::newRow("password") << "dbname=v password=secret" << QStringList{} << "Пароль к серверу";
        QTest::newRow("password in quotes") << "password = 'secret'" << QStringList{} << "Пароль к серверу";
    }

    void readAsTheClientLibraryReadsIt()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, pairs);
        QFETCH(QString, error);
        try {
            const ConnectionString parsed = ConnectionString::parse(text);
            QVERIFY2(error.isEmpty(), "accepted");
            QStringList read;
            for (const auto &[key, value] : parsed.pairs())
                read << key + '=' + value;
            QCOMPARE(read, pairs);
            // Spelt again, it reads the same.
            QCOMPARE(ConnectionString::parse(parsed.text()).pairs(), parsed.pairs());
        } catch (const DataError &e) {
            QVERIFY2(!error.isEmpty() && e.message().contains(error), qPrintable(e.message()));
            QVERIFY(!e.message().contains("secret"));
        }
    }

    void settingADatabaseReplacesOnlyIt()
    {
        ConnectionString c = ConnectionString::parse("host='/tmp/a b' dbname=postgres user=vozy");
        c.set("dbname", "vozy_test_1");
        QCOMPARE(c.text(), QString("host='/tmp/a b' dbname=vozy_test_1 user=vozy"));
        c.remove("dbname");
        QVERIFY(!c.contains("dbname"));
    }

    void theDriverGetsItsFieldsAndTheRestAsOptions()
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", "connection-string-test");
        ConnectionString::parse("host=srv port=6543 dbname=vozy user=disp sslmode=require "
                                "application_name='Рабочее место 2'")
            .applyTo(db);
        QCOMPARE(db.hostName(), QString("srv"));
        QCOMPARE(db.port(), 6543);
        QCOMPARE(db.databaseName(), QString("vozy"));
        QCOMPARE(db.userName(), QString("disp"));
        QCOMPARE(db.connectOptions(), QString("sslmode='require';application_name='Рабочее место 2'"));
        QVERIFY_THROWS_EXCEPTION(DataError, ConnectionString::parse("port=first").applyTo(db));
        QVERIFY_THROWS_EXCEPTION(DataError, ConnectionString::parse("options='-c a=1;b'").applyTo(db));
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase("connection-string-test");
    }
};

QTEST_GUILESS_MAIN(TestConnectionString)
#include "test_connection_string.moc"
