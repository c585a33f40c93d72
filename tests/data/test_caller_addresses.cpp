#include "data/caller_addresses.h"
#include "data/database.h"
#include "data/schema.h"
#include "tests/support/test_database.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <memory>

// The addresses of earlier orders from a number: one line per number and address, the latest first,
// at most eight, whichever way they are read; the callers kept by the journal's writes; their indexes.
class TestCallerAddresses : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> m_store;

    qint64 order(double telephone, const QVariant &district, const QVariant &street, const QVariant &house,
                 const QVariant &flat, const QString &date)
    {
        return m_store->insert("gurnal", {{"Telefon", telephone},
                                          {"IdOtkudaRaion", district},
                                          {"IdOtkudaUlica", street},
                                          {"Dom", house},
                                          {"Kvartira", flat},
                                          {"DDate", date},
                                          {"Status", 0}});
    }

    QString planOf(const QString &statement)
    {
        QSqlQuery plan = m_store->db().prepare("EXPLAIN QUERY PLAN " + statement);
        for (qsizetype i = 0; i < statement.count('?'); ++i)
            plan.addBindValue(QVariant());
        Database::exec(plan);
        QString detail;
        while (plan.next())
            detail += plan.value(3).toString() + '\n';
        return detail;
    }

    // Lines as "telephone district street house flat date count", joined by "; ".
    static QString lines(const QList<CallerAddress> &addresses)
    {
        QStringList lines;
        for (const CallerAddress &a : addresses)
            lines << QStringList{a.telephone,
                                 a.districtName,
                                 a.streetName,
                                 a.house.toString(),
                                 a.flat.toString(),
                                 a.lastDate.toString(Qt::ISODate),
                                 QString::number(a.orders)}
                         .join(' ');
        return lines.join("; ");
    }

    // Eight orders, seven of numbers beginning with 6 or 5.
    void someOrders()
    {
        order(612345, 1, 1, "5", 12, "2026-11-01");
        order(612345, 1, 1, "5", 12, "2026-11-03");
        order(612399, 2, 3, "7а", QVariant(), "2026-11-04");
        order(612345, 2, 3, "1", QVariant(), "2026-11-05");
        order(89161234567.0, 1, 2, "10", 3, "2026-11-06");
        order(712345, 1, 1, "5", 12, "2026-11-06");
        order(612345, 1, 1, "5", 12, "2026-11-07");
        order(555123, 9, 9, "3", QVariant(), "2026-11-08");
    }

    // `orders` orders from `addresses` numbers 7770000 + k, each a run of orders in turn: the last
    // run's number is the latest caller.
    void runsOfOrders(int orders, int addresses)
    {
        Database::Transaction transaction(m_store->db());
        QSqlQuery insert = m_store->db().prepare(
            "INSERT INTO gurnal (Telefon, IdOtkudaRaion, Dom, DDate) VALUES (?, 1, ?, '2026-12-01')");
        for (int i = 0; i < orders; ++i) {
            const int k = i * addresses / orders;
            insert.bindValue(0, 7770000.0 + k);
            insert.bindValue(1, QString::number(k));
            Database::exec(insert);
        }
        transaction.commit();
    }

private Q_SLOTS:
    void init()
    {
        m_store = std::make_unique<TestDatabase>();
        m_store->insert("raion", {{"Raion", "Центральный"}});
        m_store->insert("raion", {{"Raion", "Северный"}});
        m_store->insert("ulica", {{"IdRion", 1}, {"Ulica", "Ленина"}});
        m_store->insert("ulica", {{"IdRion", 1}, {"Ulica", "Мира"}});
        m_store->insert("ulica", {{"IdRion", 2}, {"Ulica", "Лесная"}});
    }
    void cleanup() { m_store.reset(); }

    void addressesOfEarlierOrders_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        const QString both = "612345 Центральный Ленина 5 12 2026-11-07 3; "
                             "612345 Северный Лесная 1  2026-11-05 1; "
                             "612399 Северный Лесная 7а  2026-11-04 1";
        QTest::newRow("three digits") << "612" << both;
        QTest::newRow("more digits") << "61234"
                                     << "612345 Центральный Ленина 5 12 2026-11-07 3; "
                                        "612345 Северный Лесная 1  2026-11-05 1";
        QTest::newRow("the whole number") << "612399"
                                          << "612399 Северный Лесная 7а  2026-11-04 1";
        QTest::newRow("a long number") << "8916"
                                       << "89161234567 Центральный Мира 10 3 2026-11-06 1";
        QTest::newRow("leading zero dropped as stored") << "0612" << both;
        QTest::newRow("deleted district and street") << "555"
                                                     << "555123   3  2026-11-08 1";
        QTest::newRow("no earlier order") << "999"
                                          << "";
        QTest::newRow("more digits than stored") << "6123450"
                                                 << "";
        QTest::newRow("two digits") << "61"
                                    << "";
        QTest::newRow("two after the zero") << "061"
                                            << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("not digits") << "612'; DELETE FROM gurnal; --"
                                    << "";
        QTest::newRow("other digits") << "61٢"
                                      << "";
        QTest::newRow("longer than any number") << "1234567890123456"
                                                << "";
    }
    void addressesOfEarlierOrders()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        someOrders();
        QCOMPARE(lines(CallerAddresses(m_store->db()).find(typed)), expected);
        QCOMPARE(m_store->count("gurnal"), 8);
    }

    // The callers follow every write of the journal: stored, deleted and changed orders.
    void theCountsFollowTheJournal_data()
    {
        QTest::addColumn<QString>("write");
        QTest::addColumn<QString>("expected");
        const QString r1 = "612345 Центральный Ленина 5 12 ";
        const QString r2 = "612345 Северный Лесная 1  2026-11-05 1";
        const QString other = "612399 Северный Лесная 7а  2026-11-04 1";
        QTest::newRow("an order stored")
            << "INSERT INTO gurnal (Telefon, IdOtkudaRaion, IdOtkudaUlica, Dom, Kvartira, DDate) "
               "VALUES (612399, 2, 3, '7а', NULL, '2026-12-01')"
            << "612399 Северный Лесная 7а  2026-12-01 2; " + r1 + "2026-11-07 3; " + r2;
        QTest::newRow("the last order of an address deleted")
            << "DELETE FROM gurnal WHERE Id = 7" << r2 + "; " + other + "; " + r1 + "2026-11-03 2";
        QTest::newRow("an earlier order deleted")
            << "DELETE FROM gurnal WHERE Id = 1" << r1 + "2026-11-07 2; " + r2 + "; " + other;
        QTest::newRow("the only order of an address deleted")
            << "DELETE FROM gurnal WHERE Id = 3" << r1 + "2026-11-07 3; " + r2;
        QTest::newRow("an address changed") << "UPDATE gurnal SET Dom = '6' WHERE Id = 7"
                                            << "612345 Центральный Ленина 6 12 2026-11-07 1; " + r2 + "; " +
                                                   other + "; " + r1 + "2026-11-03 2";
        QTest::newRow("a number changed")
            << "UPDATE gurnal SET Telefon = 712399 WHERE Id = 3" << r1 + "2026-11-07 3; " + r2;
        QTest::newRow("a number cleared")
            << "UPDATE gurnal SET Telefon = NULL WHERE Id = 4" << r1 + "2026-11-07 3; " + other;
        QTest::newRow("an order done") << "UPDATE gurnal SET Status = 1, Dom = Dom WHERE Id = 7"
                                       << r1 + "2026-11-07 3; " + r2 + "; " + other;
    }
    void theCountsFollowTheJournal()
    {
        QFETCH(QString, write);
        QFETCH(QString, expected);
        someOrders();
        m_store->db().execute(write);
        QCOMPARE(lines(CallerAddresses(m_store->db()).find("612")), expected);
    }

    // A few addresses are sorted at once; among many, the latest are read in the order of their last
    // orders. A regular caller's orders are counted however many there are.
    void theLatestEightWhateverTheOrders_data()
    {
        QTest::addColumn<int>("orders");
        QTest::addColumn<int>("addresses");
        QTest::addColumn<QString>("typed");
        QTest::newRow("few addresses") << 12 << 12 << "777";
        QTest::newRow("many addresses") << 2400 << 1200 << "777";
        QTest::newRow("a regular caller") << 3000 << 1 << "7770000";
        QTest::newRow("regular callers, three digits") << 3000 << 3 << "777";
    }
    void theLatestEightWhateverTheOrders()
    {
        QFETCH(int, orders);
        QFETCH(int, addresses);
        QFETCH(QString, typed);
        runsOfOrders(orders, addresses);
        const QList<CallerAddress> found = CallerAddresses(m_store->db()).find(typed);
        QStringList expected;
        for (int k = addresses - 1; k >= 0 && k >= addresses - 8; --k)
            expected << QString("%1 Центральный  %2  2026-12-01 %3")
                            .arg(7770000 + k)
                            .arg(k)
                            .arg(orders / addresses);
        QCOMPARE(lines(found), expected.join("; "));
    }

    // Every statement of a look-up, and the journal's look-up when an address's last order goes, is
    // a search of an index: no pass over the journal or the callers.
    void lookUpsSearchIndexes_data()
    {
        QTest::addColumn<QString>("statement");
        for (const QString &sql : CallerAddresses::statements())
            QTest::newRow(qPrintable(sql.left(70))) << sql;
        QTest::newRow("the last order found again")
            << "SELECT max(Id) FROM gurnal WHERE Telefon = ? AND IdOtkudaRaion IS ? AND IdOtkudaUlica IS ? "
               "AND Dom IS ? AND Kvartira IS ?";
    }
    void lookUpsSearchIndexes()
    {
        QFETCH(QString, statement);
        SKIP_ON_SERVER("the server plans by the table's size");
        const QString plan = planOf(statement);
        QVERIFY2(plan.contains("SEARCH"), qPrintable(plan));
        QVERIFY2(!plan.contains("SCAN gurnal"), qPrintable(plan)); // the journal or the callers
    }

    // The latest addresses of numbers with the same first three digits come in the order of the index.
    void theLatestOfManyAreNotSorted()
    {
        SKIP_ON_SERVER("the server plans by the table's size");
        const QStringList walk = CallerAddresses::statements().filter("gurnal_callers_Head");
        QCOMPARE(walk.size(), 1);
        const QString plan = planOf(walk.first());
        QVERIFY2(!plan.contains("TEMP B-TREE"), qPrintable(plan));
    }

    // A store made before the callers were kept gets them, counted from its journal, when it is next
    // opened.
    void anOlderStoreGetsTheIndexesAtItsNextStart()
    {
        SKIP_ON_SERVER("a file of an older version");
        QTemporaryDir dir;
        const QString file = Database::storeFile(dir.path());
        QDir().mkpath(QFileInfo(file).absolutePath());
        {
            QSqlDatabase older = QSqlDatabase::addDatabase("QSQLITE", "older");
            older.setDatabaseName(file);
            QVERIFY(older.open());
            QSqlQuery query(older);
            for (const QString &statement : Schema::migration(1))
                QVERIFY2(query.exec(statement), qPrintable(statement));
            QVERIFY(query.exec("PRAGMA user_version=1"));
            for (const char *date : {"2026-11-01", "2026-11-03"})
                QVERIFY(
                    query.exec(QString("INSERT INTO gurnal (Telefon, Dom, DDate) VALUES (612345, '5', '%1')")
                                   .arg(date)));
            QVERIFY(
                query.exec("INSERT INTO gurnal (Telefon, Dom, DDate) VALUES (612345, '6', '2026-11-02')"));
            older.close();
        }
        QSqlDatabase::removeDatabase("older");

        auto store = Database::open(file);
        QCOMPARE(store->schemaVersion(), Schema::latestVersion());
        QSqlQuery added = store->prepare(
            "SELECT group_concat(name, ' ') FROM (SELECT name FROM sqlite_master "
            "WHERE name LIKE 'gurnal\\_%' ESCAPE '\\' AND name NOT LIKE '%blocks%' ORDER BY name)");
        Database::exec(added);
        QVERIFY(added.next());
        QCOMPARE(added.value(0).toString(),
                 QString("gurnal_DDate_IdVozy gurnal_IdOperator gurnal_IdVozy_DDate gurnal_Status "
                         "gurnal_Telefon gurnal_callers gurnal_callers_Head "
                         "gurnal_callers_delete gurnal_callers_insert "
                         "gurnal_callers_update"));
        QCOMPARE(lines(CallerAddresses(*store).find("612")),
                 QString("612345   6  2026-11-02 1; 612345   5  2026-11-03 2"));
    }
};

QTEST_GUILESS_MAIN(TestCallerAddresses)
#include "test_caller_addresses.moc"
