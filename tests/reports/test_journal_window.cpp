#include "app/access_modes.h"
#include "data/data_source.h"
#include "reports/journal_window.h"
#include "tests/support/store_fault.h"
#include "tests/ui/ui_test_case.h"
#include "ui/db_grid.h"

#include <QAbstractItemModelTester>
#include <QPushButton>

namespace {

// The journal window over the current-orders view, as the program creates them at start-up.
struct Journal
{
    Journal(TDataModule2 &dm, Messages &messages)
        : view(makeCurrentOrdersView(dm, nullptr))
        , DataSource1(view.get(), "DataSource1")
        , window(view.get(), &DataSource1, dm, access, messages)
    {
    }

    GridModel &grid() const { return *window.DBGrid1->gridModel(); }

    QStringList row(int position) const
    {
        QStringList texts;
        for (int column = 0; column < grid().columnCount(); ++column)
            texts << grid().index(position, column).data().toString();
        return texts;
    }

    void choose(qint64 order)
    {
        const QModelIndex cell = grid().index(view->positionOf(order), 1);
        QTest::mouseClick(window.DBGrid1->viewport(), Qt::LeftButton, Qt::NoModifier,
                          window.DBGrid1->visualRect(cell).center());
    }

    AccessLevel access;
    std::unique_ptr<Dataset> view;
    DataSource DataSource1;
    TForm14 window;
};

} // namespace

// The order journal: every order while it is shown, current orders only once it is gone, and an
// administrator's deletion that leaves the driver busy.
class TestJournalWindow : public UiTestCase
{
    Q_OBJECT

    // Driver 101 stands busy in a queue; driver 102 stands in none. Order 2 is done.
    void fill() override
    {
        insert("raion", {{"Raion", "Центр"}});
        insert("raion", {{"Raion", "Северный"}});
        insert("ulica", {{"IdRion", 1}, {"Ulica", "Ленина"}});
        insert("ulica", {{"IdRion", 2}, {"Ulica", "Лесная"}});
        insert("sotrud", {{"Family", "Иванова"}});
        const qint64 ivanov = insert("taxisti", {{"Number", 101}, {"Familiya", "Иванов"}});
        const qint64 petrov = insert("taxisti", {{"Number", 102}, {"Familiya", "Петров"}});
        insert("grafic", {{"IdTaxist", ivanov}});
        insert("vozyraion", {{"Vozy", ivanov}, {"Raion", 2}, {"Status", true}});
        order(ivanov, 1, 1, 2, "14:05:00", true);
        order(petrov, 2, 2, 1, "15:10:00", false);
        order(petrov, 1, 1, 2, "16:20:00", true);
    }

    void order(qint64 driver, int fromDistrict, int street, int toDistrict, const char *time, bool current)
    {
        insert("gurnal", {{"IdOperator", 1},
                          {"IdVozy", driver},
                          {"IdOtkudaRaion", fromDistrict},
                          {"IdOtkudaUlica", street},
                          {"IdKudaRaion", toDistrict},
                          {"Ttime", time},
                          {"DDate", "2026-12-07"},
                          {"Status", current}});
    }

    QList<qint64> viewIds(const Dataset &view) const
    {
        QList<qint64> ids;
        for (int i = 0; i < view.recordCount(); ++i)
            ids << view.idAt(i);
        return ids;
    }

private Q_SLOTS:
    // The driver's callsign and surname come from the drivers' table, queue or no queue; the done
    // order shows here and not on the tab.
    void listsEveryOrderWhileShown()
    {
        Journal journal(dm(), m_messages);
        QAbstractItemModelTester tester(&journal.grid());
        QCOMPARE(viewIds(*journal.view), QList<qint64>({1, 3}));

        journal.window.show();
        QStringList titles;
        for (int column = 0; column < journal.grid().columnCount(); ++column)
            titles << journal.grid().headerData(column, Qt::Horizontal).toString();
        QCOMPARE(titles, QStringList({"Дата", "Время", "Диспетчер", "№", "Таксист", "Из района", "С улицы",
                                      "В район"}));
        QCOMPARE(journal.grid().rowCount(), 3);
        QCOMPARE(journal.row(0), QStringList({"07.12.2026", "14:05:00", "Иванова", "101", "Иванов", "Центр",
                                              "Ленина", "Северный"}));
        QCOMPARE(journal.row(1), QStringList({"07.12.2026", "15:10:00", "Иванова", "102", "Петров",
                                              "Северный", "Лесная", "Центр"}));
        QVERIFY(journal.grid().index(0, 3).data(Qt::FontRole).value<QFont>().bold());
    }

    // Whichever way the window closes, the view holds the current orders again.
    void currentOrdersOnlyAfterItCloses_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Ок") << "ok";
        QTest::newRow("Esc") << "escape";
        QTest::newRow("title bar") << "close";
    }
    void currentOrdersOnlyAfterItCloses()
    {
        QFETCH(QString, how);
        Journal journal(dm(), m_messages);
        const std::map<QString, std::function<void()>> closeBy{
            {"ok", [&] { QTest::mouseClick(journal.window.Button2, Qt::LeftButton); }},
            {"escape", [&] { QTest::keyClick(&journal.window, Qt::Key_Escape); }},
            {"close", [&] { journal.window.close(); }}};
        journal.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&journal.window));
        QCOMPARE(viewIds(*journal.view), QList<qint64>({1, 2, 3}));
        closeBy.at(how)();
        QVERIFY(!journal.window.isVisible());
        QVERIFY(journal.view->isFiltered());
        QCOMPARE(viewIds(*journal.view), QList<qint64>({1, 3}));
        QVERIFY(m_messages.shown.isEmpty());
    }

    // Only an administrator's Yes deletes; the deleted order leaves the tab too, and its driver
    // stays busy in his queue.
    void deletingAnOrder_data()
    {
        QTest::addColumn<bool>("administrator");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QList<qint64>>("journalAfter");
        QTest::addColumn<QList<qint64>>("currentAfter");
        QTest::addColumn<int>("questions");
        QTest::newRow("administrator, Yes") << true << true << QList<qint64>{2, 3} << QList<qint64>{3} << 1;
        QTest::newRow("administrator, No")
            << true << false << QList<qint64>{1, 2, 3} << QList<qint64>{1, 3} << 1;
        QTest::newRow("dispatcher") << false << true << QList<qint64>{1, 2, 3} << QList<qint64>{1, 3} << 0;
    }
    void deletingAnOrder()
    {
        QFETCH(bool, administrator);
        QFETCH(bool, yes);
        QFETCH(QList<qint64>, journalAfter);
        QFETCH(QList<qint64>, currentAfter);
        QFETCH(int, questions);
        Journal journal(dm(), m_messages);
        QVERIFY(!journal.window.Button1->isEnabled());
        administrator ? journal.access.adm_on() : journal.access.adm_off();
        QCOMPARE(journal.window.Button1->isEnabled(), administrator);
        journal.window.show();
        journal.choose(1);
        m_messages.answerNext(yes ? Messages::Answer::Yes : Messages::Answer::No);

        journal.window.Button1Click(); // what the button would do, were it enabled
        QCOMPARE(m_messages.shown.size(), questions);
        QCOMPARE(viewIds(*journal.view), journalAfter);
        journal.window.close();
        QCOMPARE(viewIds(*journal.view), currentAfter);
        QCOMPARE(m_store->count("vozyraion", "Status = 1"), 1);
    }

    // "Удалить" on a store that refuses it: the message says why, the order stays chosen and stored,
    // and the same "Удалить" deletes it once the store takes it.
    void aRefusedDeletionLeavesTheOrder_data() { StoreFault::addWriteFaultRows(); }

    void aRefusedDeletionLeavesTheOrder()
    {
        QFETCH(QString, fault);
        Journal journal(dm(), m_messages);
        journal.access.adm_on();
        journal.window.show();
        journal.choose(3);
        const QString before = m_store->dump();
        StoreFault injected(*m_store, StoreFault::kindNamed(fault));

        m_messages.answerNext(Messages::Answer::Yes);
        QTest::mouseClick(journal.window.Button1, Qt::LeftButton);
        QCOMPARE(m_messages.errors().size(), 1);
        QVERIFY2(m_messages.errors().first().contains(StoreFault::said(StoreFault::kindNamed(fault))),
                 qPrintable(m_messages.errors().first()));
        QCOMPARE(m_store->dump(), before);
        QCOMPARE(viewIds(*journal.view), QList<qint64>({1, 2, 3}));
        QCOMPARE(journal.view->currentId(), qint64(3));

        injected.lift();
        m_messages.answerNext(Messages::Answer::Yes);
        QTest::mouseClick(journal.window.Button1, Qt::LeftButton);
        QCOMPARE(m_messages.errors().size(), 1);
        QCOMPARE(viewIds(*journal.view), QList<qint64>({1, 2}));
    }

    void theQuestionAndAnEmptyJournal()
    {
        Journal journal(dm(), m_messages);
        journal.access.adm_on();
        journal.window.show();
        m_messages.answerNext(Messages::Answer::No);
        QTest::mouseClick(journal.window.Button1, Qt::LeftButton);
        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_messages.shown.first().caption, QString("Подтверждение удаления"));
        QCOMPARE(m_messages.shown.first().text, QString(" Внимание: Объект будет удалён. Удалить объект? "));

        m_store->db().execute("DELETE FROM gurnal");
        m_store->db().notifyWritten("gurnal");
        QTest::mouseClick(journal.window.Button1, Qt::LeftButton);
        QCOMPARE(m_messages.shown.size(), 1);
    }

    void tabLeavesTheGrid()
    {
        Journal journal(dm(), m_messages);
        journal.access.adm_on();
        journal.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&journal.window));
        QVERIFY(journal.window.DBGrid1->hasFocus());
        QTest::keyClick(journal.window.DBGrid1, Qt::Key_Tab);
        QVERIFY(journal.window.Button1->hasFocus());
        QTest::keyClick(journal.window.Button1, Qt::Key_Tab);
        QVERIFY(journal.window.Button2->hasFocus());
    }
};

QTEST_MAIN(TestJournalWindow)
#include "test_journal_window.moc"
