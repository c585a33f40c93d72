#include "dispatch/order_entry.h"
#include "dispatch/tariff_window.h"
#include "tests/dispatch/small_city.h"
#include "ui/suggestion_list.h"

#include <QPushButton>

#include <memory>

// Repeat callers on the tab "Заказ": the addresses of earlier orders offered under the telephone box
// while an order is entered, and the address taken from them as the dispatcher would have chosen it.
class TestRepeatCaller : public SmallCity
{
    Q_OBJECT

    std::unique_ptr<TForm23> m_tariff;
    std::unique_ptr<OrderEntryTab> m_tab;

    Dataset &journal() { return *dm().Gurnal; }

    OrderEntryTab &tab()
    {
        if (!m_tab) {
            m_tariff = std::make_unique<TForm23>(m_messages);
            m_tab = std::make_unique<OrderEntryTab>(
                dm(), *m_tariff, [] { return QString("7"); }, m_messages);
            m_tab->resize(760, 460);
            activate(m_tab.get());
        }
        return *m_tab;
    }
    void release() override
    {
        m_tab.reset();
        m_tariff.reset();
    }

    void fill() override
    {
        SmallCity::fill();
        earlierOrder(612345, Central, 1, "5", 12, "2026-11-01");
        earlierOrder(612399, North, 3, "7а", QVariant(), "2026-11-20");
        earlierOrder(612345, Central, 1, "5", 12, "2026-12-01");
        earlierOrder(555123, 9, 9, "3", QVariant(), "2026-12-02"); // district and street deleted since
    }

    void earlierOrder(double telephone, qint64 district, qint64 street, const QString &house,
                      const QVariant &flat, const QString &date)
    {
        insert("gurnal", {{"Telefon", telephone},
                          {"IdOtkudaRaion", district},
                          {"IdOtkudaUlica", street},
                          {"Dom", house},
                          {"Kvartira", flat},
                          {"DDate", date},
                          {"Ttime", "10:00:00"},
                          {"Status", 0}});
    }

    static void press(QKeyCombination key)
    {
        QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
    }

    // F2, then F3 and the digits.
    void typeTelephone(const QString &digits)
    {
        activate(&tab());
        press(Qt::Key_F2);
        press(Qt::Key_F3);
        QCOMPARE(QApplication::focusWidget(), tab().DBEdit3);
        typeText(tab().DBEdit3, digits);
    }

    // The lines of the list as "cell|cell|...", or nothing when it is hidden.
    QStringList shownLines()
    {
        QStringList lines;
        const SuggestionList *list = tab().CallerList;
        for (int row = 0; list->isVisible() && row < list->model()->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < list->model()->columnCount(); ++column)
                cells << list->model()->index(row, column).data().toString();
            lines << cells.join('|');
        }
        return lines;
    }

private Q_SLOTS:
    // From the third digit on, one line per number and address, the latest first; the box keeps the
    // focus, and the list stands under it.
    void theDigitsOfferTheAddressesOfEarlierOrders_data()
    {
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QStringList>("lines");
        const QStringList both{"612345|Центральный|Ленина|5|12|01.12.2026|2",
                               "612399|Северный|Лесная|7а||20.11.2026|1"};
        QTest::newRow("three digits") << "612" << both;
        QTest::newRow("the whole number") << "612399" << QStringList{both.at(1)};
        QTest::newRow("a leading zero, dropped as stored") << "06123" << both;
        QTest::newRow("district and street deleted since")
            << "555" << QStringList{"555123|||3||02.12.2026|1"};
        QTest::newRow("two digits") << "61" << QStringList();
        QTest::newRow("no earlier order") << "613" << QStringList();
    }
    void theDigitsOfferTheAddressesOfEarlierOrders()
    {
        QFETCH(QString, digits);
        QFETCH(QStringList, lines);
        typeTelephone(digits);
        QCOMPARE(shownLines(), lines);
        QCOMPARE(QApplication::focusWidget(), tab().DBEdit3);
        QCOMPARE(tab().DBEdit3->text(), digits);
        const QRect box(tab().DBEdit3->mapTo(&tab(), QPoint(0, 0)), tab().DBEdit3->size());
        QVERIFY(!tab().CallerList->geometry().intersects(box));
        QVERIFY(tab().rect().contains(tab().CallerList->geometry()));
    }

    // Taking a line chooses its pick-up district as the list would (the street filter, the queue
    // view and the head of the district's queue follow), fills the number, street, house and flat,
    // and moves on to the destination.
    void takingALineFillsTheAddress_data()
    {
        QTest::addColumn<QList<QKeyCombination>>("keys");
        QTest::addColumn<QVariantList>("address"); // telephone, district, street, house, flat
        QTest::addColumn<QVariant>("driver");
        QTest::addColumn<QStringList>("streets");
        const QVariantList first{612345.0, Central, 1, "5", 12.0};
        const QVariantList second{612399.0, North, 3, "7а", QVariant()};
        const QStringList central{"Ленина", "Мира"};
        QTest::newRow("Enter: the first line")
            << QList<QKeyCombination>{Qt::Key_Return} << first << QVariant(Kuznetsov) << central;
        QTest::newRow("Down, Enter: the second")
            << QList<QKeyCombination>{Qt::Key_Down, Qt::Key_Enter} << second << QVariant(Popov)
            << QStringList{"Лесная", "Полевая"};
        QTest::newRow("past the last line and back")
            << QList<QKeyCombination>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Return} << first
            << QVariant(Kuznetsov) << central;
    }
    void takingALineFillsTheAddress()
    {
        QFETCH(QList<QKeyCombination>, keys);
        QFETCH(QVariantList, address);
        QFETCH(QVariant, driver);
        QFETCH(QStringList, streets);
        stand(Sokolov, North, true);
        stand(Kuznetsov, Central);
        stand(Lebedev, Central);
        stand(Popov, North);
        typeTelephone("612");
        for (QKeyCombination key : keys)
            press(key);
        QVERIFY(tab().CallerList->isHidden());
        const QStringList fields{"Telefon", "IdOtkudaRaion", "IdOtkudaUlica", "Dom", "Kvartira"};
        for (int i = 0; i < fields.size(); ++i)
            QVERIFY2(journal().value(fields.at(i)) == address.at(i), qPrintable(fields.at(i)));
        QCOMPARE(journal().value("IdVozy"), driver);
        QCOMPARE(entries(tab().DBLookupListBox2->model()), streets);
        QCOMPARE(tab().DBEdit3->text(), address.at(0).toString());
        QCOMPARE(QApplication::focusWidget(), tab().DBLookupListBox3);
        QVERIFY(tab().isEditing());
    }

    // A click makes a line current and leaves the focus in the box; a double click takes it.
    void theMouseChoosesWithoutTakingTheFocus()
    {
        stand(Popov, North);
        typeTelephone("612");
        SuggestionList *list = tab().CallerList;
        const QPoint second = list->visualRect(list->model()->index(1, 1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, second);
        QCOMPARE(list->currentLine(), 1);
        QCOMPARE(QApplication::focusWidget(), tab().DBEdit3);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, second);
        QCOMPARE(journal().value("IdOtkudaRaion"), QVariant(North));
        QCOMPARE(journal().value("IdVozy"), QVariant(Popov));
        QCOMPARE(QApplication::focusWidget(), tab().DBLookupListBox3);
    }

    // Esc closes the list and keeps the digits and the order; the next Esc is the tab's "Отмена".
    void escClosesTheListAndKeepsTheDigits()
    {
        typeTelephone("612");
        QVERIFY(tab().CallerList->isVisible());
        press(Qt::Key_Escape);
        QVERIFY(tab().CallerList->isHidden());
        QCOMPARE(tab().DBEdit3->text(), QString("612"));
        QVERIFY(tab().isEditing());
        QCOMPARE(journal().state(), Dataset::State::Insert);
        press(Qt::Key_Escape);
        QVERIFY(!tab().isEditing());
        QCOMPARE(m_store->count("gurnal"), 4);
    }

    // Idle, F3 goes nowhere and nothing is offered, not even for the number the stored order shows;
    // storing with the list open closes it.
    void theListNeverShowsWhileIdle()
    {
        typeTelephone("612");
        press(Qt::Key_Tab);
        typeText(QApplication::focusWidget(), "Се");
        press(Qt::CTRL | Qt::Key_Return); // the destination is all "Оформить" asks for
        QVERIFY(!tab().isEditing());
        QCOMPARE(m_store->count("gurnal"), 5);
        QCOMPARE(tab().DBEdit3->text(), QString("612"));
        press(Qt::Key_F3);
        QCOMPARE(QApplication::focusWidget(), tab().Button2);
        typeText(tab().DBEdit3, "345");
        QVERIFY(tab().CallerList->isHidden());

        press(Qt::Key_F2);
        click(tab().DBLookupListBox3, "Северный");
        press(Qt::Key_F3);
        typeText(tab().DBEdit3, "612");
        QVERIFY(tab().CallerList->isVisible());
        press(Qt::CTRL | Qt::Key_Return);
        QVERIFY(!tab().isEditing());
        QVERIFY(tab().CallerList->isHidden());
    }

    // A repeat caller's order without the mouse: F2, F3, the first digits, Enter, the destination by
    // its first letters, Ctrl+Enter.
    void aRepeatOrderByKeyboardAlone()
    {
        stand(Kuznetsov, Central);
        stand(Popov, North);
        int keys = 0; // presses that are not characters of the order
        const auto key = [&keys](QKeyCombination combination) {
            press(combination);
            ++keys;
        };
        activate(&tab());
        key(Qt::Key_F2);
        key(Qt::Key_F3);
        typeText(QApplication::focusWidget(), "612");
        key(Qt::Key_Return);
        typeText(QApplication::focusWidget(), "За");
        key(Qt::CTRL | Qt::Key_Return);

        QCOMPARE(keys, 4);
        QCOMPARE(tab().DBEdit3->toolTip(), QString("Телефон (F3)"));
        QCOMPARE(m_messages.shown.size(), 0);
        QVERIFY(!tab().isEditing());
        const QVariantMap stored{{"IdOtkudaRaion", Central}, {"IdOtkudaUlica", 1},  {"IdKudaRaion", Works},
                                 {"IdVozy", Kuznetsov},      {"Dom", "5"},          {"Kvartira", 12.0},
                                 {"Telefon", 612345.0},      {"Ttime", "09:05:03"}, {"DDate", "2026-12-08"},
                                 {"IdOperator", 7},          {"Status", 1}};
        for (auto it = stored.begin(); it != stored.end(); ++it)
            QVERIFY2(
                m_store->scalar(QString("SELECT %1 FROM gurnal ORDER BY Id DESC LIMIT 1").arg(it.key())) ==
                    it.value(),
                qPrintable(it.key()));
        QCOMPARE(queueRows(), QString("2:4@2/f 3:2@3/t"));
    }
};

QTEST_MAIN(TestRepeatCaller)
#include "test_repeat_caller.moc"
