#include "app/login_window.h"
#include "app/main_window.h"
#include "app/vozy_main.h"
#include "data/clock.h"
#include "data/data_module.h"
#include "dispatch/current_orders_view.h"
#include "dispatch/driver_location_dialog.h"
#include "dispatch/order_entry.h"
#include "dispatch/positions_tab.h"
#include "dispatch/queue_window.h"
#include "tests/app/shell_tests.h"
#include "ui/db_controls.h"
#include "ui/db_grid.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <memory>
#include <optional>

// The dispatch tabs in the main window: placed once the data module exists, switched with their
// filters, locked while an order is entered, and the queue window behind "Внешняя очередь".
class DispatchShellTest : public QObject
{
    Q_OBJECT

private:
    std::optional<Shell> m_shell;
    std::unique_ptr<Workstation> m_workstation;

    Workstation &ws() { return *m_workstation; }
    TForm1 &main() { return m_workstation->mainWindow(); }
    TDataModule2 &dm() { return *m_workstation->dataModule(); }

    void logIn()
    {
        TForm0 &login = ws().login();
        login.ComboBox1->setCurrentIndex(0);
        typeText(login.Edit1, "1234");
        QTest::mouseClick(login.Button1, Qt::LeftButton);
        QApplication::setActiveWindow(&main());
        QVERIFY(QTest::qWaitForWindowActive(&main()));
    }

    void press(QKeyCombination key)
    {
        QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
    }

private slots:
    void initTestCase() { useRussianLocale(); }

    void init()
    {
        m_shell.emplace();
        m_shell->entry(m_shell->employee("Иванова"), "1234");
        TestDatabase &db = m_shell->db;
        for (const char *district : {"Центральный", "Северный"})
            db.insert("raion", {{"Raion", district}});
        db.insert("ulica", {{"IdRion", 1}, {"Ulica", "Ленина"}});
        db.insert("ulica", {{"IdRion", 2}, {"Ulica", "Лесная"}});
        for (const char *surname : {"Петров", "Кузнецов"}) {
            const qint64 driver =
                db.insert("taxisti", {{"Familiya", surname}, {"Number", 100 + db.count("taxisti")}});
            db.insert("grafic", {{"IdTaxist", driver}});
        }
        db.insert("vozyraion", {{"Vozy", 1}, {"Raion", 2}, {"Status", 1}});
        Clock::setFixed(QDateTime(QDate(2026, 12, 8), QTime(10, 0)));
        m_workstation = std::make_unique<Workstation>(db.dir(), m_shell->messages, m_shell->quit());
        QApplication::setKeyboardInputInterval(100);
    }

    void cleanup()
    {
        m_workstation.reset();
        m_shell.reset();
        Clock::clearFixed();
    }

    // "Заказ" narrows the streets and the queue; the other tabs show them whole, and "Журнал" re-reads
    // the current orders. While an order is entered the other tabs cannot be chosen.
    void switchingTabs()
    {
        logIn();
        QCOMPARE(main().centralWidget()->size(), QSize(776, 512));
        QCOMPARE(main().PageControl1->currentIndex(), 0);
        QVERIFY(main().GroupBox1->isAncestorOf(ws().positions()));
        QVERIFY(!dm().Table5->isFiltered() && ws().currentOrders()->Table1->isFiltered());
        OrderEntryTab &order = *ws().orderEntry();
        QTest::mouseClick(order.Button2, Qt::LeftButton);
        QVERIFY(!main().PageControl1->isTabEnabled(1) && !main().PageControl1->isTabEnabled(2));
        typeText(order.DBLookupListBox1, "Ц");
        QTest::mouseClick(order.Button10, Qt::LeftButton);
        QVERIFY(main().PageControl1->isTabEnabled(1) && main().PageControl1->isTabEnabled(2));

        const int currentBefore = ws().currentOrders()->Table1->recordCount();
        m_shell->db.db().execute("INSERT INTO gurnal (Status) VALUES (1)"); // behind the datasets' backs
        main().PageControl1->setCurrentIndex(1);
        QVERIFY(!dm().Table5->isFiltered() && !dm().Vozy_raion->isFiltered());
        QCOMPARE(ws().positions()->DBGrid1->model()->rowCount(), 1); // the busy driver shows
        main().PageControl1->setCurrentIndex(2);
        QCOMPARE(ws().currentOrders()->Table1->recordCount(), currentBefore + 1);
        main().PageControl1->setCurrentIndex(0);
        QVERIFY(dm().Table5->isFiltered() && dm().Vozy_raion->isFiltered());
        QCOMPARE(dm().Table5->filter(), QString("IdRion=1"));
        QCOMPARE(dm().Vozy_raion->filter(), QString("Raion=1 and Status=False"));
    }

    // "Внешняя очередь" ticks and shows, unticks and hides; the window's own close button unticks it.
    void theExternalQueue()
    {
        logIn();
        TForm25 &queue = *ws().queueWindow();
        QVERIFY(!queue.isVisible());
        main().N29->trigger();
        QVERIFY(main().N29->isChecked() && queue.isVisible());
        main().N29->trigger();
        QVERIFY(!main().N29->isChecked() && !queue.isVisible());
        main().N29->trigger();
        queue.close();
        QVERIFY(!main().N29->isChecked());
        main().N29->trigger();
        m_shell->messages.answerNext(Messages::Answer::Yes);
        QTest::mouseClick(main().Button3, Qt::LeftButton);
        QCOMPARE(m_shell->quits, 1);
    }

    // A driver put on the line, then an order from his district to another by keyboard alone: he ends
    // busy at the end of the destination's queue, on "Расположение" and in "Очередь".
    void aDriverOnTheLineAndAnOrderByKeyboard()
    {
        logIn();
        main().N29->trigger();
        main().PageControl1->setCurrentIndex(1);
        whenModalAppears([this](QWidget *) {
            TForm13 &dialog = *ws().locationDialog();
            typeText(dialog.DBLookupListBox2, "Ку");
            typeText(dialog.DBLookupComboBox1, "Ц");
            QTest::mouseClick(dialog.DBCheckBox1, Qt::LeftButton);
            QTest::mouseClick(dialog.DBCheckBox1, Qt::LeftButton); // ticked, then cleared: free
            QTest::mouseClick(dialog.Button1, Qt::LeftButton);
        });
        QTest::mouseClick(ws().positions()->Button6, Qt::LeftButton);
        main().PageControl1->setCurrentIndex(0);
        QApplication::setActiveWindow(&main());

        press(Qt::Key_F2);
        typeText(QApplication::focusWidget(), "Ц");
        press(Qt::Key_Tab);
        typeText(QApplication::focusWidget(), "Л");
        for (int box = 0; box < 4; ++box)
            press(Qt::Key_Tab);
        typeText(QApplication::focusWidget(), "С");
        press(Qt::CTRL | Qt::Key_Return);
        QCOMPARE(m_shell->messages.shown.size(), 0);
        QCOMPARE(
            m_shell->db.scalar("SELECT IdVozy || '/' || IdOtkudaRaion || '/' || IdKudaRaion FROM gurnal"),
            QVariant("2/1/2"));

        main().PageControl1->setCurrentIndex(1);
        const QAbstractItemModel &positions = *ws().positions()->DBGrid1->model();
        QCOMPARE(positions.rowCount(), 2);
        QCOMPARE(positions.index(1, 1).data().toString(), QString("Кузнецов"));
        QCOMPARE(positions.index(1, 2).data().toString(), QString("Северный"));
        const QAbstractItemModel &floating = *ws().queueWindow()->DBGRID->model();
        QCOMPARE(floating.index(1, 0).data(Qt::UserRole), QVariant(true));
        QCOMPARE(floating.index(1, 1).data().toString(), QString("101"));
    }
};

SHELL_TEST(DispatchShellTest);

#include "dispatch_shell_test.moc"
