#include "data/data_source.h"
#include "dispatch/current_orders_tab.h"
#include "tests/support/store_fault.h"
#include "tests/ui/ui_test_case.h"
#include "ui/db_controls.h"
#include "ui/db_grid.h"

#include <QAbstractItemModelTester>
#include <QPushButton>

namespace {

// The journal tab as the main window holds it: the journal window's current-orders view and the tab.
struct JournalTab
{
    JournalTab(TDataModule2 &dm, Messages &messages)
        : view(makeCurrentOrdersView(dm, nullptr))
        , DataSource1(view.get(), "DataSource1")
        , tab(&DataSource1, dm, messages)
    {
        tab.resize(900, 300);
        tab.show();
    }

    GridModel &grid() const { return *tab.OrdersGrid->gridModel(); }

    void choose(qint64 order)
    {
        const QModelIndex cell = grid().index(view->positionOf(order), 2);
        QTest::mouseClick(tab.OrdersGrid->viewport(), Qt::LeftButton, Qt::NoModifier,
                          tab.OrdersGrid->visualRect(cell).center());
    }

    QStringList row(int position) const
    {
        QStringList texts;
        for (int column = 0; column < grid().columnCount(); ++column)
            texts << grid().index(position, column).data().toString();
        return texts;
    }

    std::unique_ptr<Dataset> view;
    DataSource DataSource1;
    CurrentOrdersTab tab;
};

} // namespace

// The journal tab: the current orders, and "Выполнено" and "Отменить", which end an order and free its
// driver where he stands, in one write.
class TestCurrentOrders : public UiTestCase
{
    Q_OBJECT

    // Drivers 1 and 4 are busy (driver 1 twice over), driver 2 is free, driver 3 is off the line.
    void fill() override
    {
        for (const char *name : {"Центр", "Северный", "Южный"})
            insert("raion", {{"Raion", name}});
        insert("ulica", {{"IdRion", 1}, {"Ulica", "Ленина"}});
        insert("auto", {{"Name", "Волга"}});
        insert("auto", {{"Name", "Жигули"}});
        const QVariantList drivers[] = {{101, "Иванов", 1, "А123ВС"},
                                        {102, "Петров", 2, "В456ОР"},
                                        {103, "Сидоров", 2, "Е789КХ"},
                                        {104, "Козлов", 1, "К012МН"}};
        for (const QVariantList &d : drivers) {
            const qint64 id = insert(
                "taxisti", {{"Number", d[0]}, {"Familiya", d[1]}, {"IdAuto", d[2]}, {"NumberAuto", d[3]}});
            insert("grafic", {{"IdTaxist", id}});
        }
        queueRecord(1, 2, true);
        queueRecord(2, 1, false);
        queueRecord(1, 3, true);
        queueRecord(4, 3, true);

        order(1, true, "14:05:00", "12а", 7, 89161234567.0);
        order(1, true);
        order(QVariant(), true);
        order(3, true, "09:30:00", "3/1", 120, 2233445);
        order(4, false);
        order(4, true);
    }

    void queueRecord(int driver, int district, bool busy)
    {
        insert("vozyraion", {{"Vozy", driver}, {"Raion", district}, {"Status", busy}});
    }

    void order(const QVariant &driver, bool current, const char *time = "10:00:00", const char *house = "1",
               double flat = 1, double telephone = 1)
    {
        insert("gurnal", {{"IdVozy", driver},
                          {"IdOtkudaUlica", 1},
                          {"IdKudaRaion", 2},
                          {"Ttime", time},
                          {"Dom", house},
                          {"Kvartira", flat},
                          {"Telefon", telephone},
                          {"DDate", "2026-12-07"},
                          {"Status", current}});
    }

    // Each order as "Id current" or "Id done"; a cancelled one is gone.
    QStringList journalTable()
    {
        QStringList orders;
        for (qint64 id = 1; id <= 6; ++id) {
            const QVariant status = m_store->scalar("SELECT Status FROM gurnal WHERE Id = ?", {id});
            if (status.isValid())
                orders << QString::number(id) + (status.toBool() ? " current" : " done");
        }
        return orders;
    }

    // Each queue record, in queue order, as "driver@district free" or "driver@district busy".
    QStringList queueTable()
    {
        QStringList records;
        for (qint64 id = 1; id <= 4; ++id) {
            records << QStringLiteral("%1@%2 %3")
                           .arg(m_store->scalar("SELECT Vozy FROM vozyraion WHERE Id = ?", {id}).toInt())
                           .arg(m_store->scalar("SELECT Raion FROM vozyraion WHERE Id = ?", {id}).toInt())
                           .arg(m_store->scalar("SELECT Status FROM vozyraion WHERE Id = ?", {id}).toBool()
                                    ? "busy"
                                    : "free");
        }
        return records;
    }

    const QStringList Journal{"1 current", "2 current", "3 current", "4 current", "5 done", "6 current"};
    const QStringList Queue{"1@2 busy", "2@1 free", "1@3 busy", "4@3 busy"};

private Q_SLOTS:
    void showsTheCurrentOrders()
    {
        JournalTab journal(dm(), m_messages);
        QAbstractItemModelTester tester(&journal.grid());
        GridModel &grid = journal.grid();
        QStringList titles;
        for (int column = 0; column < grid.columnCount(); ++column)
            titles << grid.headerData(column, Qt::Horizontal).toString();
        QCOMPARE(titles, QStringList({"Время", "№", "Таксист", "Авто", "Авто№", "С улицы", "Дом", "Кв",
                                      "В район", "Телефон"}));
        QCOMPARE(grid.rowCount(), 5);
        QCOMPARE(journal.row(0), QStringList({"14:05:00", "101", "Иванов", "Волга", "А123ВС", "Ленина", "12а",
                                              "7", "Северный", "89161234567"}));
        // Driver 3 left the line: no callsign or surname through the queue, but his car still shows.
        QCOMPARE(journal.row(3), QStringList({"09:30:00", "", "", "Жигули", "Е789КХ", "Ленина", "3/1", "120",
                                              "Северный", "2233445"}));

        QVERIFY(QTest::qWaitForWindowActive(&journal.tab));
        journal.tab.Button7->setFocus();
        QTest::keyClick(journal.tab.Button7, Qt::Key_Tab);
        QVERIFY(journal.tab.Button8->hasFocus());
    }

    void endingAnOrder_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<qint64>("order");
        QTest::addColumn<QStringList>("journalAfter");
        QTest::addColumn<QStringList>("queueAfter");
        QTest::addColumn<QStringList>("messages");

        QTest::newRow("done: every record of the driver free, though his other order is current")
            << "Button7" << qint64(1)
            << QStringList{"1 done", "2 current", "3 current", "4 current", "5 done", "6 current"}
            << QStringList{"1@2 free", "2@1 free", "1@3 free", "4@3 busy"} << QStringList();
        QTest::newRow("done: the driver left the line")
            << "Button7" << qint64(4)
            << QStringList{"1 current", "2 current", "3 current", "4 done", "5 done", "6 current"} << Queue
            << QStringList();
        QTest::newRow("done: no driver") << "Button7" << qint64(3) << Journal << Queue
                                         << QStringList{"Заказ не может быть выполнен! Не указан водитель."};
        QTest::newRow("cancelled: freed where he stands")
            << "Button8" << qint64(6)
            << QStringList{"1 current", "2 current", "3 current", "4 current", "5 done"}
            << QStringList{"1@2 busy", "2@1 free", "1@3 busy", "4@3 free"} << QStringList();
        QTest::newRow("cancelled: no driver, nobody freed")
            << "Button8" << qint64(3)
            << QStringList{"1 current", "2 current", "4 current", "5 done", "6 current"} << Queue
            << QStringList();
    }

    void endingAnOrder()
    {
        QFETCH(QString, button);
        QFETCH(qint64, order);
        QFETCH(QStringList, journalAfter);
        QFETCH(QStringList, queueAfter);
        QFETCH(QStringList, messages);
        JournalTab journal(dm(), m_messages);
        journal.choose(order);
        QCOMPARE(journal.view->currentId(), order);

        QTest::mouseClick(journal.tab.findChild<QPushButton *>(button), Qt::LeftButton);

        QCOMPARE(m_messages.texts(), messages);
        QCOMPARE(journalTable(), journalAfter);
        QCOMPARE(queueTable(), queueAfter);
        // The grid lists exactly the current orders; a done one has left it.
        QCOMPARE(journal.grid().rowCount(), int(journalAfter.filter("current").size()));
        QCOMPARE(journal.view->state(), Dataset::State::Browse);
    }

    void withNoCurrentOrderNeitherButtonDoesAnything()
    {
        m_store->db().execute("UPDATE gurnal SET Status = 0");
        JournalTab journal(dm(), m_messages);
        QCOMPARE(journal.grid().rowCount(), 0);
        QTest::mouseClick(journal.tab.Button7, Qt::LeftButton);
        QTest::mouseClick(journal.tab.Button8, Qt::LeftButton);
        QCOMPARE(m_messages.texts(), QStringList());
        QCOMPARE(m_store->count("gurnal", "Status = 0"), 6);
        QCOMPARE(queueTable(), Queue);
    }

    // An order stored without a driver and given one afterwards, as the queue window's
    // "Назначить на текущий заказ" does, can be completed; the driver is freed.
    void anOrderGivenADriverLaterCanBeCompleted()
    {
        JournalTab journal(dm(), m_messages);
        journal.choose(3);
        journal.view->edit();
        journal.view->setValue("IdVozy", 4);
        journal.view->post();
        QTest::mouseClick(journal.tab.Button7, Qt::LeftButton);
        QCOMPARE(m_messages.texts(), QStringList());
        QCOMPARE(journalTable(),
                 QStringList({"1 current", "2 current", "3 done", "4 current", "5 done", "6 current"}));
        QCOMPARE(queueTable(), QStringList({"1@2 busy", "2@1 free", "1@3 busy", "4@3 free"}));
    }

    // Every view of the queue shows the freed driver at once: the district view the order tab offers
    // drivers from, its drop-down, and the grids over it.
    void theQueueShowsTheFreedDriverAtOnce()
    {
        Dataset &positions = *dm().Vozy_raion;
        positions.setFilter("Raion=3 and Status=False");
        positions.setFiltered(true);
        GridModel districtView(&positions, {GridColumn{"№", "TTVozyNumber"}});
        QAbstractItemModelTester tester(&districtView);
        DBLookupComboBox callsigns(dm().DSGurnal, "VozyNumber", m_messages);
        JournalTab journal(dm(), m_messages);
        QCOMPARE(districtView.rowCount(), 0);
        QCOMPARE(callsigns.count(), 0);

        journal.choose(1);
        QTest::mouseClick(journal.tab.Button7, Qt::LeftButton);
        QCOMPARE(districtView.rowCount(), 1);
        QCOMPARE(districtView.index(0, 0).data().toString(), QString("101"));
        QCOMPARE(callsigns.count(), 1);

        journal.choose(6);
        QTest::mouseClick(journal.tab.Button8, Qt::LeftButton);
        QCOMPARE(districtView.rowCount(), 2);
        QCOMPARE(districtView.index(1, 0).data().toString(), QString("104"));
        QCOMPARE(callsigns.count(), 2);
    }

    // The journal change and the freeing are one write: a store failure in either leaves both tables
    // as they were, the error shown and the order still current and chosen.
    void aStoreFailureChangesNothing_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<qint64>("order");
        QTest::addColumn<QString>("trigger");

        QTest::newRow("done: the queue refuses") << "Button7" << qint64(1) << "BEFORE UPDATE ON vozyraion";
        QTest::newRow("done: the journal refuses") << "Button7" << qint64(1) << "BEFORE UPDATE ON gurnal";
        QTest::newRow("cancelled: the queue refuses")
            << "Button8" << qint64(6) << "BEFORE UPDATE ON vozyraion";
        QTest::newRow("cancelled: the journal refuses")
            << "Button8" << qint64(6) << "BEFORE DELETE ON gurnal";
    }

    void aStoreFailureChangesNothing()
    {
        QFETCH(QString, button);
        QFETCH(qint64, order);
        QFETCH(QString, trigger);
        m_store->refuse(trigger, "Сбой записи");
        JournalTab journal(dm(), m_messages);
        journal.choose(order);

        QTest::mouseClick(journal.tab.findChild<QPushButton *>(button), Qt::LeftButton);

        QCOMPARE(m_messages.errors(), QStringList{"Сбой записи"});
        QCOMPARE(journalTable(), Journal);
        QCOMPARE(queueTable(), Queue);
        QCOMPARE(journal.view->state(), Dataset::State::Browse);
        QCOMPARE(journal.view->currentId(), order);
        QCOMPARE(journal.grid().rowCount(), 5);
    }

    // A store held by another program, or refusing writes: the message, nothing changed, and the same
    // click works once the store is free.
    void aBusyStoreRefusesUntilItIsFree_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("journalAfter");
        QTest::addColumn<QStringList>("queueAfter");
        const QStringList done{"1 done", "2 current", "3 current", "4 current", "5 done", "6 current"};
        const QStringList cancelled{"1 current", "2 current", "3 current", "4 current", "5 done"};
        const QStringList driver1Free{"1@2 free", "2@1 free", "1@3 free", "4@3 busy"};
        const QStringList driver4Free{"1@2 busy", "2@1 free", "1@3 busy", "4@3 free"};
        for (const char *fault : {"locked", "read-only"}) {
            QTest::addRow("done, %s", fault) << "Button7" << fault << done << driver1Free;
            QTest::addRow("cancelled, %s", fault) << "Button8" << fault << cancelled << driver4Free;
        }
    }

    void aBusyStoreRefusesUntilItIsFree()
    {
        QFETCH(QString, button);
        QFETCH(QString, fault);
        QFETCH(QStringList, journalAfter);
        QFETCH(QStringList, queueAfter);
        const qint64 order = button == "Button7" ? 1 : 6;
        StoreFault injected(*m_store, StoreFault::kindNamed(fault));
        JournalTab journal(dm(), m_messages);
        journal.choose(order);
        QPushButton *clicked = journal.tab.findChild<QPushButton *>(button);

        QTest::mouseClick(clicked, Qt::LeftButton);
        QCOMPARE(m_messages.errors().size(), 1);
        QVERIFY2(m_messages.errors().first().contains(StoreFault::said(StoreFault::kindNamed(fault))),
                 qPrintable(m_messages.errors().first()));
        QCOMPARE(journalTable(), Journal);
        QCOMPARE(queueTable(), Queue);
        QCOMPARE(journal.view->currentId(), order);

        injected.lift();
        QTest::mouseClick(clicked, Qt::LeftButton);
        QCOMPARE(m_messages.errors().size(), 1);
        QCOMPARE(journalTable(), journalAfter);
        QCOMPARE(queueTable(), queueAfter);
        QCOMPARE(journal.grid().rowCount(), 4);
    }

    // Two workstations end one order, the second before the news of the first has come: it changes
    // nothing (its driver, busy again meanwhile, stays busy), says why, and lets the order leave its
    // view.
    void anOrderEndedAtAnotherWorkstationIsLeftAsItIs_data()
    {
        QTest::addColumn<QString>("theirs");
        QTest::addColumn<QString>("mine");
        QTest::addColumn<qint64>("order");
        QTest::addColumn<QString>("message");
        const QString done = "Этот заказ уже выполнен на другом рабочем месте.";
        const QString cancelled = "Этот заказ уже отменён на другом рабочем месте.";
        QTest::newRow("done, then done") << "Button7"
                                         << "Button7" << qint64(1) << done;
        QTest::newRow("done, then cancelled") << "Button7"
                                              << "Button8" << qint64(1) << done;
        QTest::newRow("cancelled, then done") << "Button8"
                                              << "Button7" << qint64(6) << cancelled;
        QTest::newRow("cancelled, then cancelled") << "Button8"
                                                   << "Button8" << qint64(6) << cancelled;
    }

    void anOrderEndedAtAnotherWorkstationIsLeftAsItIs()
    {
        QFETCH(QString, theirs);
        QFETCH(QString, mine);
        QFETCH(qint64, order);
        QFETCH(QString, message);
        const std::unique_ptr<Database> otherStore = m_store->anotherWorkstation();
        TDataModule2 other(*otherStore);
        ScriptedMessages otherMessages;
        JournalTab there(other, otherMessages);
        JournalTab here(dm(), m_messages);
        there.choose(order);
        here.choose(order);
        // The handlers are called without an event between them: the server's news of the first
        // would come through the event loop.
        const auto press = [](JournalTab &tab, const QString &button) {
            if (button == "Button7")
                tab.tab.Button7Click();
            else
                tab.tab.Button8Click();
        };
        press(there, theirs);
        QVERIFY(otherMessages.texts().isEmpty());
        const qint64 driver = order == 1 ? 1 : 4;
        m_store->db().execute(QString("UPDATE vozyraion SET Status = 1 WHERE Vozy = %1").arg(driver));
        const QStringList journalBefore = journalTable();
        const QStringList queueBefore = queueTable();
        QCOMPARE(here.view->currentId(), order);

        press(here, mine);

        QCOMPARE(m_messages.texts(), QStringList{message});
        QCOMPARE(journalTable(), journalBefore);
        QCOMPARE(queueTable(), queueBefore);
        QCOMPARE(here.view->positionOf(order), -1);
        QCOMPARE(here.grid().rowCount(), 4);
    }
};

QTEST_MAIN(TestCurrentOrders)
#include "test_current_orders.moc"
