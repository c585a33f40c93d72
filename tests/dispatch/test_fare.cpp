#include "data/data_error.h"
#include "dispatch/cost_frame.h"
#include "dispatch/fare.h"
#include "dispatch/tariff_window.h"
#include "tests/ui/ui_test_case.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

// The fare: the distance of the order's pair of districts, in that direction only, priced by the
// running tariff; and the cost frame that shows both.
class TestFare : public UiTestCase
{
    Q_OBJECT

    Dataset &distances() { return *dm().rastoyan; }

    void fill() override
    {
        for (const char *name : {"Центр", "Северный", "Южный"})
            insert("raion", {{"Raion", name}});
        distanceRecord(1, 2, 7.5);
        distanceRecord(2, 3, 3);
        distanceRecord(1, 2, 99); // the same pair again: never used
        distanceRecord(2, 2, 1);
        distanceRecord(3, 1, QVariant());
    }

    void distanceRecord(int from, int to, const QVariant &km)
    {
        insert("rastoyan", {{"IdRaion1", from}, {"IdRaion2", to}, {"KM", km}});
    }

    // A stored order from one district to another, the journal's current row.
    void storedOrder(const QVariant &from, const QVariant &to)
    {
        Dataset &orders = *dm().Gurnal;
        orders.append();
        orders.setValue("IdOtkudaRaion", from);
        orders.setValue("IdKudaRaion", to);
        orders.post();
    }

private Q_SLOTS:
    void price_data()
    {
        QTest::addColumn<double>("km");
        QTest::addColumn<QString>("mr");
        QTest::addColumn<QString>("pc");
        QTest::addColumn<QString>("zpk");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("error");

        QTest::newRow("within the minimum: the fixed price") << 3.0 << "4"
                                                             << "50"
                                                             << "10"
                                                             << "50"
                                                             << "";
        QTest::newRow("at the minimum: still the fixed price") << 4.0 << "4"
                                                               << "50"
                                                               << "10"
                                                               << "50"
                                                               << "";
        QTest::newRow("beyond: per kilometre") << 7.5 << "4"
                                               << "50"
                                               << "10"
                                               << "85"
                                               << "";
        QTest::newRow("no rounding error shows") << 12.3 << "4"
                                                 << "50"
                                                 << "10"
                                                 << "133"
                                                 << "";
        QTest::newRow("fraction in the locale's notation") << 4.35 << "4"
                                                           << "50"
                                                           << "10"
                                                           << "53,5"
                                                           << "";
        QTest::newRow("fractional tariff, the locale's separator") << 5.0 << "2,5"
                                                                   << "50"
                                                                   << "7,5"
                                                                   << "68,75"
                                                                   << "";
        QTest::newRow("fractional tariff, the other separator")
            << 5.0 << "2.5"
            << "50"
            << "10"
            << ""
            << "'2.5' is not a valid floating point value";
        QTest::newRow("MR not a number") << 3.0 << "четыре"
                                         << "50"
                                         << "10"
                                         << ""
                                         << "'четыре' is not a valid floating point value";
        QTest::newRow("PC not a number, within MR: shown as typed") << 3.0 << "4"
                                                                    << "50 руб"
                                                                    << "10"
                                                                    << "50 руб"
                                                                    << "";
        QTest::newRow("PC not a number, beyond MR") << 7.5 << "4"
                                                    << "50 руб"
                                                    << "10"
                                                    << ""
                                                    << "'50 руб' is not a valid floating point value";
        QTest::newRow("ZPK not a number, within MR: not read") << 3.0 << "4"
                                                               << "50"
                                                               << ""
                                                               << "50"
                                                               << "";
        QTest::newRow("ZPK not a number, beyond MR") << 7.5 << "4"
                                                     << "50"
                                                     << ""
                                                     << ""
                                                     << "'' is not a valid floating point value";
        QTest::newRow("negative tariff: as the formula says") << 7.5 << "4"
                                                              << "50"
                                                              << "-10"
                                                              << "15"
                                                              << "";
        QTest::newRow("huge MR: within it") << 7.5 << "1e300"
                                            << "50"
                                            << "10"
                                            << "50"
                                            << "";
        QTest::newRow("beyond what a number holds") << 7.5 << "1e309"
                                                    << "50"
                                                    << "10"
                                                    << ""
                                                    << "'1e309' is not a valid floating point value";
        QTest::newRow("a price past the largest number") << 7.5 << "4"
                                                         << "1e308"
                                                         << "1e308"
                                                         << ""
                                                         << "Floating point overflow";
    }

    void price()
    {
        QFETCH(double, km);
        QFETCH(QString, mr);
        QFETCH(QString, pc);
        QFETCH(QString, zpk);
        QFETCH(QString, shown);
        QFETCH(QString, error);
        QString result, raised;
        try {
            result = Fare::price(km, {mr, pc, zpk});
        } catch (const DataError &e) {
            raised = e.message();
        }
        QCOMPARE(result, shown);
        QCOMPARE(raised, error);
    }

    void distance_data()
    {
        QTest::addColumn<QVariant>("from");
        QTest::addColumn<QVariant>("to");
        QTest::addColumn<QVariant>("km"); // null: no data

        QTest::newRow("the pair's first record") << QVariant(1) << QVariant(2) << QVariant(7.5);
        QTest::newRow("only the reverse pair is recorded") << QVariant(2) << QVariant(1) << QVariant();
        QTest::newRow("within a district, with its record") << QVariant(2) << QVariant(2) << QVariant(1.0);
        QTest::newRow("within a district, without one") << QVariant(1) << QVariant(1) << QVariant();
        QTest::newRow("a record without KM") << QVariant(3) << QVariant(1) << QVariant();
        QTest::newRow("no pick-up district") << QVariant() << QVariant(2) << QVariant();
        QTest::newRow("no destination") << QVariant(1) << QVariant() << QVariant();
    }

    void distance()
    {
        QFETCH(QVariant, from);
        QFETCH(QVariant, to);
        QFETCH(QVariant, km);
        const std::optional<double> found = Fare::distance(distances(), from, to);
        QCOMPARE(found ? QVariant(*found) : QVariant(), km);
        // The distances list still shows every record.
        QVERIFY(!distances().isFiltered());
        QCOMPARE(distances().filter(), QString());
        QCOMPARE(distances().recordCount(), 5);
    }

    // A distance record left pending by the city structure is settled before the pair is looked for.
    void aPendingDistanceRecordIsSettledFirst_data()
    {
        QTest::addColumn<bool>("appended");
        QTest::addColumn<QVariantMap>("typed");
        QTest::addColumn<int>("district"); // a trip within it
        QTest::addColumn<QVariant>("km");
        QTest::addColumn<int>("records");

        QTest::newRow("a new record, filled in: stored")
            << true << QVariantMap{{"IdRaion1", 1}, {"IdRaion2", 1}, {"KM", 2.5}} << 1 << QVariant(2.5) << 6;
        QTest::newRow("a new record, untouched: dropped") << true << QVariantMap() << 1 << QVariant() << 5;
        QTest::newRow("a changed record: stored")
            << false << QVariantMap{{"KM", 1.5}} << 2 << QVariant(1.5) << 5;
    }

    void aPendingDistanceRecordIsSettledFirst()
    {
        QFETCH(bool, appended);
        QFETCH(QVariantMap, typed);
        QFETCH(int, district);
        QFETCH(QVariant, km);
        QFETCH(int, records);
        distances().moveTo(3); // the record from Северный to itself
        appended ? distances().append() : distances().edit();
        for (auto it = typed.constBegin(); it != typed.constEnd(); ++it)
            distances().setValue(it.key(), it.value());

        const std::optional<double> found = Fare::distance(distances(), district, district);

        QCOMPARE(found ? QVariant(*found) : QVariant(), km);
        QCOMPARE(distances().state(), Dataset::State::Browse);
        QCOMPARE(m_store->count("rastoyan"), records);
        QVERIFY(!distances().isFiltered());
    }

    // "Посчитать" through the frame: the figures of the order being entered or shown, kept until the
    // next calculation; a tariff that is not a number shows the distance and then the error.
    void theFrameShowsTheFiguresUntilTheNext()
    {
        TForm23 tariff(m_messages);
        CostFrame frame(dm(), tariff, m_messages);
        frame.show();
        const auto figures = [&frame] { return QStringList{frame.Distance->text(), frame.Cost->text()}; };
        const auto press = [&frame] { QTest::mouseClick(frame.Button9, Qt::LeftButton); };
        QCOMPARE(figures(), QStringList({"", ""}));

        press(); // an empty journal: no order
        QCOMPARE(figures(), QStringList({"Нет данных", "Нет данных"}));
        storedOrder(1, 2);
        press();
        QCOMPARE(figures(), QStringList({"7,5", "85"}));

        Dataset &orders = *dm().Gurnal;
        orders.append(); // "Новый" leaves the figures alone
        QCOMPARE(figures(), QStringList({"7,5", "85"}));
        orders.setValue("IdOtkudaRaion", 2);
        press();
        QCOMPARE(figures(), QStringList({"Нет данных", "Нет данных"}));
        orders.setValue("IdKudaRaion", 3);
        press();
        QCOMPARE(figures(), QStringList({"3", "50"}));
        orders.cancel(); // "Отмена" too
        QCOMPARE(figures(), QStringList({"3", "50"}));

        // The running tariff is read at each calculation, as typed and never saved.
        tariff.Edit2->setText("сорок");
        press(); // the shown order again: 7.5 km
        QCOMPARE(figures(), QStringList({"7,5", "50"}));
        QCOMPARE(m_messages.errors(), QStringList{"'сорок' is not a valid floating point value"});
        tariff.Edit2->setText("40");
        tariff.Edit3->setText("12");
        press();
        QCOMPARE(figures(), QStringList({"7,5", "82"}));
    }

    // A store failure while the pending distance record is stored: the error, the figures as they
    // were, the record still pending, and no filter left on the distances.
    void aStoreFailureLeavesNoFilterBehind()
    {
        TForm23 tariff(m_messages);
        CostFrame frame(dm(), tariff, m_messages);
        storedOrder(1, 2);
        m_store->refuse("BEFORE INSERT ON rastoyan", "Сбой записи");
        distances().append();
        distances().setValue("KM", 4);

        QTest::mouseClick(frame.Button9, Qt::LeftButton);

        QCOMPARE(m_messages.errors(), QStringList{"Сбой записи"});
        QCOMPARE(frame.Distance->text(), QString());
        QCOMPARE(distances().state(), Dataset::State::Insert);
        QVERIFY(!distances().isFiltered());
        QCOMPARE(distances().filter(), QString());
    }
};

QTEST_MAIN(TestFare)
#include "test_fare.moc"
