#include "data/orders_report.h"
#include "data/value_text.h"
#include "tests/support/test_database.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QTest>

#include <memory>

// The orders-by-date report as one grouped query gives what walking the drivers with the report's
// detail dataset gives: the same drivers, in the same order, with the same counts.
class TestOrdersReport : public QObject
{
    Q_OBJECT

private:
    // The report as the detail dataset walks it: every driver in the drivers' order, his orders of
    // the date through the master link and the date filter.
    static QVector<DriverOrders> walk(TDataModule2 &dm, const QDate &date)
    {
        std::unique_ptr<Dataset> detail(makeReportDetail(dm, nullptr));
        detail->setFilter(QStringLiteral("DDate='%1'").arg(ValueText::formatDate(date)));
        detail->setFiltered(true);
        QVector<DriverOrders> rows;
        Dataset &drivers = *dm.Table1;
        for (int position = 0; position < drivers.recordCount(); ++position) {
            drivers.moveTo(position);
            if (detail->recordCount() > 0)
                rows.append({drivers.currentId(), drivers.value("Number"), drivers.value("Familiya"),
                             drivers.value("Name"), drivers.value("Otchestvo"), detail->recordCount()});
        }
        return rows;
    }

private Q_SLOTS:
    void groupedQueryGivesTheWalksRows_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {11u, 12u, 13u, 14u})
            QTest::addRow("seed %u", seed) << seed;
    }
    void groupedQueryGivesTheWalksRows()
    {
        QFETCH(quint32, seed);
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        QRandomGenerator random(seed);
        TestDatabase store;
        QVector<qint64> drivers;
        for (int i = 0; i < 8; ++i) {
            QVariantMap fields{{"Familiya", QStringLiteral("Фамилия %1").arg(i)}, {"Number", 100 - i}};
            if (i % 3 != 0) { // some drivers without a name or patronymic
                fields.insert("Name", QStringLiteral("Имя %1").arg(i));
                fields.insert("Otchestvo", "Отчество");
            }
            drivers << store.insert("taxisti", fields);
        }
        store.db().execute(QStringLiteral("DELETE FROM taxisti WHERE Id = %1").arg(drivers.takeAt(3)));
        const QDate first(2026, 12, 6);
        for (int i = 0; i < 120; ++i) {
            QVariantMap order{{"DDate", first.addDays(random.bounded(3)).toString(Qt::ISODate)},
                              {"Status", random.bounded(2)}};
            const int who = random.bounded(int(drivers.size()) + 2);
            if (who < drivers.size())
                order.insert("IdVozy", drivers.at(who));
            else if (who == drivers.size())
                order.insert("IdVozy", 999); // a driver deleted since: no row of the drivers' table
            store.insert("gurnal", order);
        }
        TDataModule2 &dm = store.module();
        for (int day = 0; day < 4; ++day) { // the last date has no orders
            const QDate date = first.addDays(day);
            const QVector<DriverOrders> expected = walk(dm, date);
            const QVector<DriverOrders> rows = ordersOfDate(store.db(), date);
            QCOMPARE(rows.size(), expected.size());
            for (int i = 0; i < rows.size(); ++i) {
                QCOMPARE(rows[i].driverId, expected[i].driverId);
                QCOMPARE(rows[i].number, expected[i].number);
                QCOMPARE(rows[i].familiya, expected[i].familiya);
                QCOMPARE(rows[i].name, expected[i].name);
                QCOMPARE(rows[i].otchestvo, expected[i].otchestvo);
                QCOMPARE(rows[i].orders, expected[i].orders);
            }
            if (day < 3)
                QVERIFY(!rows.isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(TestOrdersReport)
#include "test_orders_report.moc"
