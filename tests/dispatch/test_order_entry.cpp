#include "dispatch/order_entry.h"
#include "dispatch/tariff_window.h"
#include "tests/dispatch/small_city.h"
#include "tests/support/store_fault.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSignalSpy>

#include <memory>

// Order entry: the idle and editing states, the driver taken from the pick-up district's queue or
// picked by hand, and "Оформить" moving him, busy, to the end of the destination's queue in one
// transaction.
class TestOrderEntry : public SmallCity
{
    Q_OBJECT

    std::unique_ptr<TForm23> m_tariff;
    std::unique_ptr<OrderEntryTab> m_tab;

    Dataset &journal() { return *dm().Gurnal; }
    Dataset &queue() { return *dm().Vozy_raion; }

    OrderEntryTab &tab()
    {
        if (!m_tab) {
            m_tariff = std::make_unique<TForm23>(m_messages);
            m_tab = std::make_unique<OrderEntryTab>(
                dm(), *m_tariff, [] { return QString("7"); }, m_messages);
            m_tab->resize(760, 460);
            m_tab->show();
        }
        return *m_tab;
    }
    void release() override
    {
        m_tab.reset();
        m_tariff.reset();
    }

    void newOrder() { QTest::mouseClick(tab().Button2, Qt::LeftButton); }
    void pickUp(const QString &district) { click(tab().DBLookupListBox1, district); }
    void street(const QString &name) { click(tab().DBLookupListBox2, name); }
    void destination(const QString &district) { click(tab().DBLookupListBox3, district); }
    void store() { QTest::mouseClick(tab().Button1, Qt::LeftButton); }
    // A driver picked by callsign, typed into the drop-down.
    void pickDriver(int callsign)
    {
        // Letters typed within the interval go on the search before; these begin a new one.
        QTest::qWait(QApplication::keyboardInputInterval() + 20);
        tab().DBLookupComboBox2->setFocus();
        typeText(tab().DBLookupComboBox2, QString::number(callsign));
    }
    QVariant orderDriver() { return journal().value("IdVozy"); }
    QVariant lastOrder(const char *field)
    {
        const QVariant value =
            m_store->scalar(QString("SELECT %1 FROM gurnal ORDER BY Id DESC LIMIT 1").arg(field));
        return value.isNull() ? QVariant() : value;
    }

    // Enabled or not, and painted silver or in the window colour, as the state gives.
    void expectState(bool editing)
    {
        OrderEntryTab &t = tab();
        const QColor silver(192, 192, 192);
        for (QWidget *data :
             QList<QWidget *>{t.DBLookupListBox1, t.DBLookupListBox2, t.DBLookupListBox3, t.DBLookupComboBox1,
                              t.DBLookupComboBox2, t.DBEdit1, t.DBEdit2, t.DBEdit3, t.DBEdit4}) {
            QVERIFY2(data->isEnabled() == editing, qPrintable(data->objectName()));
            QVERIFY2((data->palette().color(QPalette::Base) == silver) != editing,
                     qPrintable(data->objectName()));
        }
        // The drop-downs are drawn as buttons: silver there too.
        QCOMPARE(t.DBLookupComboBox1->palette().color(QPalette::Button) == silver, !editing);
        QCOMPARE(t.DBLookupComboBox2->palette().color(QPalette::Button) == silver, !editing);
        for (QWidget *control : QList<QWidget *>{t.Button1, t.Button10, t.CheckBox1, t.CheckBox2})
            QVERIFY2(control->isEnabled() == editing, qPrintable(control->objectName()));
        QCOMPARE(t.Button2->isEnabled(), !editing);
        QCOMPARE(t.isEditing(), editing);
    }

private Q_SLOTS:
    void idleAndEditing()
    {
        stand(Kuznetsov, Central);
        OrderEntryTab &t = tab();
        activate(&t);
        QSignalSpy editing(&t, &OrderEntryTab::editingChanged);
        expectState(false);
        QVERIFY(t.CheckBox1->isChecked() && t.CheckBox2->isChecked());
        QVERIFY(t.Button1->font().bold());
        QCOMPARE(t.GroupBox3->title(), QString());
        QCOMPARE(t.Button2->toolTip(), QString("Новый (F2)"));
        QCOMPARE(t.Button1->toolTip(), QString("Оформить (Ctrl+Enter)"));
        QCOMPARE(t.Button10->toolTip(), QString("Отмена (Esc)"));
        QVERIFY(t.Button9->isEnabled()); // the fare can be worked out in both states

        newOrder();
        expectState(true);
        QCOMPARE(journal().state(), Dataset::State::Insert);
        QCOMPARE(t.DBEdit1->maxLength(), 5);
        QCOMPARE(t.DBEdit4->maxLength(), 20);
        typeText(t.DBEdit3, "8-9 a0"); // erere
        QCOMPARE(t.DBEdit3->text(), QString("890"));

        QTest::keyClick(t.DBEdit3, Qt::Key_Escape);
        expectState(false);
        QCOMPARE(journal().state(), Dataset::State::Browse);
        QCOMPARE(editing.size(), 2);
        QCOMPARE(editing.at(0).at(0), QVariant(true));
        QCOMPARE(editing.at(1).at(0), QVariant(false));
        QCOMPARE(m_store->count("gurnal"), 0);
    }

    void focusFollowsTheOrderOfTheForm()
    {
        OrderEntryTab &t = tab();
        activate(&t);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
        QCOMPARE(QApplication::focusWidget(), t.DBLookupListBox1);
        // "Новый" is disabled while editing.
        const QList<QWidget *> expected{
            t.DBLookupListBox2,  t.DBEdit1,           t.DBEdit2,   t.DBEdit3,         t.DBLookupListBox3,
            t.DBLookupComboBox2, t.DBLookupComboBox1, t.CheckBox1, t.CheckBox2,       t.Button9,
            t.DBEdit4,           t.Button1,           t.Button10,  t.DBLookupListBox1};
        QList<QWidget *> visited;
        for (int i = 0; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget();
        }
        QCOMPARE(visited, expected);
    }

    // With both boxes ticked the order gets the free driver who has stood longest in the pick-up
    // district: the lowest Id, whatever the callsigns and whatever stands elsewhere.
    void theHeadOfThePickUpQueueIsTaken_data()
    {
        QTest::addColumn<QStringList>("pickUps");
        QTest::addColumn<QVariant>("driver");
        QTest::addColumn<int>("offered");
        QTest::newRow("lowest Id of three") << QStringList{"Центральный"} << QVariant(Sokolov) << 3;
        QTest::newRow("A then B: the head of B")
            << QStringList{"Центральный", "Северный"} << QVariant(Popov) << 1;
        QTest::newRow("none free: no driver") << QStringList{"Заводской"} << QVariant() << 0;
    }

    void theHeadOfThePickUpQueueIsTaken()
    {
        QFETCH(QStringList, pickUps);
        QFETCH(QVariant, driver);
        QFETCH(int, offered);
        stand(Petrov, Central, true); // busy
        stand(Popov, North);
        stand(Sokolov, Central);
        stand(Kuznetsov, Central);
        stand(Petrov, Works, QVariant()); // never marked: not free
        stand(Lebedev, Central);          // without a shift: offered, but without a name
        newOrder();
        for (const QString &district : pickUps)
            pickUp(district);
        QCOMPARE(orderDriver(), driver);
        QCOMPARE(tab().DBLookupComboBox2->count(), offered);
    }

    // "Оформить": a busy record with the highest Id ever given in the destination, the record he was
    // taken from gone; without a driver the queue stays as it was.
    void storingMovesTheDriverToTheEndOfTheDestination_data()
    {
        QTest::addColumn<QString>("pickUp");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QString>("queueAfter");
        QTest::newRow("to another district") << "Центральный"
                                             << "Северный"
                                             << "2:3@1/f 3:4@2/f 4:1@3/t 6:2@2/t";
        QTest::newRow("within the district") << "Центральный"
                                             << "Центральный"
                                             << "2:3@1/f 3:4@2/f 4:1@3/t 6:2@1/t";
        QTest::newRow("no free driver") << "Заводской"
                                        << "Северный"
                                        << "1:2@1/f 2:3@1/f 3:4@2/f 4:1@3/t";
    }

    void storingMovesTheDriverToTheEndOfTheDestination()
    {
        QFETCH(QString, pickUp);
        QFETCH(QString, destination);
        QFETCH(QString, queueAfter);
        stand(Kuznetsov, Central);
        stand(Sokolov, Central);
        stand(Popov, North);
        stand(Petrov, Works, true);
        m_store->db().execute(QString("DELETE FROM vozyraion WHERE Id = %1").arg(stand(Sokolov, Works)));
        newOrder();
        this->pickUp(pickUp);
        this->destination(destination);
        store();
        QCOMPARE(m_messages.shown.size(), 0);
        QCOMPARE(queueRows(), queueAfter);
        QCOMPARE(m_store->count("gurnal"), 1);
        QVERIFY(!tab().isEditing());
    }

    // A store that refuses the write: the message says why, the order stays on the screen as typed,
    // the journal and the queue are as they were, and the same "Оформить" stores it once it can.
    void aRefusedOrderStaysAsTypedUntilItCanBeStored_data() { StoreFault::addWriteFaultRows(); }

    void aRefusedOrderStaysAsTypedUntilItCanBeStored()
    {
        QFETCH(QString, fault);
        stand(Kuznetsov, Central);
        stand(Popov, North);
        newOrder();
        pickUp("Центральный");
        street("Мира");
        typeText(tab().DBEdit1, "12а");
        typeText(tab().DBEdit3, "2233445");
        destination("Северный");
        const QString before = m_store->dump();
        StoreFault injected(*m_store, StoreFault::kindNamed(fault));

        store();
        QCOMPARE(m_messages.errors().size(), 1);
        QVERIFY2(m_messages.errors().first().contains(StoreFault::said(StoreFault::kindNamed(fault))),
                 qPrintable(m_messages.errors().first()));
        QVERIFY(tab().isEditing());
        QCOMPARE(journal().state(), Dataset::State::Insert);
        QCOMPARE(tab().DBEdit1->text(), QString("12а"));
        QCOMPARE(tab().DBEdit3->text(), QString("2233445"));
        QCOMPARE(orderDriver(), QVariant(Kuznetsov));
        QCOMPARE(queue().state(), Dataset::State::Browse);
        QCOMPARE(m_store->dump(), before);

        injected.lift();
        store();
        QCOMPARE(m_messages.errors().size(), 1);
        QVERIFY(!tab().isEditing());
        QCOMPARE(m_store->count("gurnal"), 1);
        QCOMPARE(lastOrder("Dom"), QVariant("12а"));
        QCOMPARE(lastOrder("IdVozy"), QVariant(Kuznetsov));
        QCOMPARE(queueRows(), QString("2:4@2/f 3:2@2/t"));
    }

    // The head of the queue gone between the choice and "Оформить". Given an order at another
    // workstation (he stands busy elsewhere): nothing is stored, the dispatcher is told, and the next
    // head is offered for the order still pending. Only taken off the line: the order is his, and
    // nothing is deleted.
    void aDriverGivenElsewhereIsNotGivenTwice_data()
    {
        QTest::addColumn<bool>("givenElsewhere");
        QTest::newRow("given an order elsewhere") << true;
        QTest::newRow("taken off the line") << false;
    }

    void aDriverGivenElsewhereIsNotGivenTwice()
    {
        QFETCH(bool, givenElsewhere);
        const qint64 first = stand(Kuznetsov, Central);
        stand(Sokolov, Central);
        newOrder();
        pickUp("Центральный");
        destination("Северный");
        QCOMPARE(orderDriver().toLongLong(), qint64(Kuznetsov));
        m_store->db().execute(QString("DELETE FROM vozyraion WHERE Id = %1").arg(first));
        if (givenElsewhere)
            m_store->insert("vozyraion", {{"Vozy", Kuznetsov}, {"Status", true}, {"Raion", North}});
        const QString before = m_store->dump();
        const QString queueBefore = queueRows();
        store();
        if (!givenElsewhere) {
            QCOMPARE(m_messages.texts(), QStringList());
            QVERIFY(!tab().isEditing());
            QCOMPARE(lastOrder("IdVozy").toLongLong(), qint64(Kuznetsov));
            QCOMPARE(m_store->count("vozyraion", "Vozy = ? AND Status = 1", {Kuznetsov}), 1);
            return;
        }
        QCOMPARE(m_messages.texts(),
                 QStringList{"Этого водителя только что назначили на заказ на другом "
                             "рабочем месте. Заказ не оформлен: выберите водителя ещё раз."});
        QCOMPARE(m_store->dump(), before);
        QCOMPARE(queueRows(), queueBefore);
        QVERIFY(tab().isEditing());
        QCOMPARE(orderDriver().toLongLong(), qint64(Sokolov));
        store();
        QCOMPARE(m_store->count("gurnal"), 1);
        QCOMPARE(lastOrder("IdVozy").toLongLong(), qint64(Sokolov));
    }

    // Unticked "Автоназначение": a driver picked in A stays when the pick-up becomes B, as does the
    // street; storing moves him out of A and leaves B's queue alone.
    void aDriverPickedByHandIsMovedFromWhereHeStood()
    {
        stand(Kuznetsov, Central);
        stand(Sokolov, Central);
        stand(Popov, North);
        newOrder();
        QTest::mouseClick(tab().CheckBox2, Qt::LeftButton);
        QCOMPARE(orderDriver(), QVariant());
        pickUp("Центральный");
        QCOMPARE(entries(tab().DBLookupComboBox1->model()), (QStringList{"Кузнецов", "Соколов"}));
        pickDriver(103);
        QCOMPARE(orderDriver(), QVariant(Sokolov));
        QCOMPARE(tab().DBLookupComboBox1->currentText(), QString("Соколов"));
        QCOMPARE(tab().DBText2->text(), QString("ВАЗ-2107"));
        street("Мира");
        pickUp("Северный");
        QCOMPARE(orderDriver(), QVariant(Sokolov));
        QCOMPARE(journal().value("IdOtkudaUlica"), QVariant(2)); // the street stays, of another district
        QCOMPARE(entries(tab().DBLookupListBox2->model()), (QStringList{"Лесная", "Полевая"}));
        destination("Заводской");
        store();
        QCOMPARE(queueRows(), QString("1:2@1/f 3:4@2/f 4:3@3/t"));
        QCOMPARE(lastOrder("IdVozy"), QVariant(Sokolov));
        QCOMPARE(lastOrder("IdOtkudaRaion"), QVariant(North));
    }

    // The two boxes: toggling the filter with "Автоназначение" unticked clears the driver; ticking
    // it takes the first record of the view; the full view offers busy drivers of every district.
    void theQueueFilterAndAutoAssignmentBoxes()
    {
        stand(Kuznetsov, Central);
        stand(Popov, North, true);
        stand(Sokolov, Central);
        newOrder();
        pickUp("Центральный");
        QTest::mouseClick(tab().CheckBox2, Qt::LeftButton);
        pickDriver(103);
        QCOMPARE(orderDriver(), QVariant(Sokolov));
        QTest::mouseClick(tab().CheckBox1, Qt::LeftButton);
        QCOMPARE(orderDriver(), QVariant());
        QCOMPARE(entries(tab().DBLookupComboBox2->model()), (QStringList{"102", "104", "103"}));
        QTest::mouseClick(tab().CheckBox2, Qt::LeftButton);
        QCOMPARE(orderDriver(), QVariant(Kuznetsov));

        pickDriver(104); // busy in another district
        destination("Центральный");
        store();
        QCOMPARE(queueRows(), QString("1:2@1/f 3:3@1/f 4:4@1/t"));
        // The boxes keep their ticks from one order to the next.
        QVERIFY(!tab().CheckBox1->isChecked() && tab().CheckBox2->isChecked());
    }

    // Before any pick-up choice of the run the queue view is the whole table, filter on or not; later,
    // "Новый" offers the head of the last pick-up district's free queue, kept if none is chosen.
    void newTakesTheFirstRecordOfTheLastView()
    {
        stand(Popov, North);
        stand(Kuznetsov, Central);
        stand(Sokolov, Central);
        newOrder();
        QCOMPARE(orderDriver(), QVariant(Popov));
        pickUp("Центральный");
        QCOMPARE(orderDriver(), QVariant(Kuznetsov));
        destination("Северный");
        store();

        newOrder();
        QCOMPARE(orderDriver(), QVariant(Sokolov));
        destination("Заводской");
        store();
        QCOMPARE(queueRows(), QString("1:4@2/f 4:2@2/t 5:3@3/t"));
        QCOMPARE(lastOrder("IdOtkudaRaion"), QVariant());
    }

    // "Отмена" stores nothing and leaves the queue exactly as it was; without a destination nothing
    // is stored either, and the order stays pending.
    void nothingIsStoredWithoutADestinationOrAfterCancel()
    {
        stand(Kuznetsov, Central);
        stand(Sokolov, North);
        const QString before = queueRows();
        newOrder();
        pickUp("Центральный");
        street("Мира");
        store();
        QCOMPARE(m_messages.texts(), QStringList{"Не выбран район назначения!"});
        QVERIFY(tab().isEditing());
        QCOMPARE(journal().state(), Dataset::State::Insert);
        QCOMPARE(journal().value("IdOtkudaUlica"), QVariant(2));

        QTest::mouseClick(tab().Button10, Qt::LeftButton);
        QVERIFY(!tab().isEditing());
        QCOMPARE(queueRows(), before);
        QCOMPARE(m_store->count("gurnal"), 0);
        if (!TestDatabase::onServer()) // the server hands out identities from sequences of its own
            QCOMPARE(m_store->scalar("SELECT seq FROM sqlite_sequence WHERE name = 'vozyraion'"),
                     QVariant(2));
    }

    // A whole order without the mouse: F2, the pick-up district by its first letters, Tab, the street,
    // Tab, house, flat and telephone, the destination, Ctrl+Enter.
    void aWholeOrderByKeyboard()
    {
        stand(Kuznetsov, Central);
        stand(Popov, North);
        stand(Sokolov, North);
        OrderEntryTab &t = tab();
        activate(&t);
        int keys = 0; // presses that are not characters of the order
        const auto press = [&keys](QKeyCombination key) {
            QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
            ++keys;
        };
        const auto type = [](const QString &data) { typeText(QApplication::focusWidget(), data); };
        press(Qt::Key_F2);
        type("Се");
        press(Qt::Key_Tab);
        type("По");
        press(Qt::Key_Tab);
        type("12а/3");
        press(Qt::Key_Tab);
        type("007");
        press(Qt::Key_Tab);
        type("0612345");
        press(Qt::Key_Tab);
        type("За");
        press(Qt::CTRL | Qt::Key_Return);

        QCOMPARE(keys, 7);
        QCOMPARE(m_messages.shown.size(), 0);
        QVERIFY(!t.isEditing());
        const QVariantMap stored{{"IdOtkudaRaion", North}, {"IdOtkudaUlica", 4},  {"IdKudaRaion", Works},
                                 {"IdVozy", Popov},        {"Dom", "12а/3"},      {"Kvartira", 7.0},
                                 {"Telefon", 612345.0},    {"Iinfo", QVariant()}, {"Ttime", "09:05:03"},
                                 {"DDate", "2026-12-08"},  {"IdOperator", 7},     {"Status", 1},
                                 {"Km", QVariant()}};
        for (auto it = stored.begin(); it != stored.end(); ++it)
            QVERIFY2(lastOrder(qPrintable(it.key())) == it.value(), qPrintable(it.key()));
        QCOMPARE(queueRows(), QString("1:2@1/f 3:3@2/f 4:4@3/t"));
    }

    // A store failure anywhere among the three writes leaves the queue and the journal as they were
    // and the order pending; the retry stores it once, with one busy record for the driver.
    void aFailedStoreChangesNothingAndARetryStoresOnce_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::newRow("the new queue record") << "BEFORE INSERT ON vozyraion";
        QTest::newRow("the source record's deletion") << "BEFORE DELETE ON vozyraion";
        QTest::newRow("the order") << "BEFORE INSERT ON gurnal";
    }

    void aFailedStoreChangesNothingAndARetryStoresOnce()
    {
        QFETCH(QString, trigger);
        stand(Kuznetsov, Central);
        stand(Sokolov, Central);
        const QString before = queueRows();
        newOrder();
        pickUp("Центральный");
        destination("Северный");
        m_store->refuse(trigger, "диск переполнен");
        store();
        QCOMPARE(m_messages.errors(), QStringList{"диск переполнен"});
        QCOMPARE(queueRows(), before);
        QCOMPARE(m_store->count("gurnal"), 0);
        QVERIFY(tab().isEditing());
        QCOMPARE(journal().state(), Dataset::State::Insert);
        QCOMPARE(queue().state(), Dataset::State::Browse);
        QCOMPARE(orderDriver(), QVariant(Kuznetsov));

        m_store->allow();
        store();
        // The server's sequence does not take back an identity given to a record that was undone.
        const QString after = queueRows();
        QVERIFY2(after == "2:3@1/f 3:2@2/t" || (TestDatabase::onServer() && after == "2:3@1/f 4:2@2/t"),
                 qPrintable(after));
        QCOMPARE(m_store->count("gurnal"), 1);
        QVERIFY(!tab().isEditing());
    }

    // A change still pending in the queue (a row being edited in the queue window) is stored before
    // the order's writes begin: their failure does not take it along.
    void aPendingQueueRowSurvivesAFailedStore()
    {
        stand(Kuznetsov, Central);
        stand(Sokolov, Central);
        newOrder();
        pickUp("Центральный");
        destination("Северный");
        queue().moveTo(1);
        queue().edit();
        queue().setValue("Raion", Works);
        m_store->refuse("BEFORE INSERT ON gurnal", "нет");
        store();
        QCOMPARE(m_messages.errors(), QStringList{"нет"});
        QCOMPARE(queueRows(), QString("1:2@1/f 2:3@3/f"));
    }

    // After "Оформить" the driver's record is busy in another district, outside the queue view: the
    // car frame and the driver lists still show him.
    void theStoredOrdersDriverIsShownOutsideTheView()
    {
        stand(Kuznetsov, Central);
        newOrder();
        pickUp("Центральный");
        destination("Северный");
        store();
        QCOMPARE(queue().recordCount(), 0);
        OrderEntryTab &t = tab();
        QCOMPARE(t.DBText1->text(), QString("102"));
        QCOMPARE(t.DBText2->text(), QString("ВАЗ-2107"));
        QCOMPARE(t.DBText3->text(), QString("А102ВС"));
        QCOMPARE(t.DBLookupComboBox2->placeholderText(), QString("102"));
        QCOMPARE(t.DBLookupComboBox1->placeholderText(), QString("Кузнецов"));
    }
};

QTEST_MAIN(TestOrderEntry)
#include "test_order_entry.moc"
