#include "app/login_window.h"
#include "app/main_window.h"
#include "app/vozy_main.h"
#include "data/clock.h"
#include "data/data_module.h"
#include "dispatch/cost_frame.h"
#include "dispatch/current_orders_tab.h"
#include "dispatch/current_orders_view.h"
#include "dispatch/driver_location_dialog.h"
#include "dispatch/order_entry.h"
#include "dispatch/positions_tab.h"
#include "dispatch/queue_window.h"
#include "dispatch/schedule_window.h"
#include "dispatch/shift_dialog.h"
#include "dispatch/tariff_window.h"
#include "registers/car_models_window.h"
#include "registers/city_structure_window.h"
#include "registers/colours_window.h"
#include "registers/driver_data_window.h"
#include "registers/drivers_list_window.h"
#include "registers/staff_data_window.h"
#include "registers/staff_list_window.h"
#include "registers/street_dialog.h"
#include "tests/app/shell_tests.h"
#include "tools/demo_data.h"
#include "tools/setup_store.h"
#include "ui/db_controls.h"
#include "ui/db_grid.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <memory>
#include <optional>

namespace {

// Keys go where the focus is, as the user's keyboard does.
void press(QKeyCombination key)
{
    QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
}

// Type-ahead in a list: a pause first, so that the letters begin a new search there.
void typeAhead(QWidget *list, const QString &letters)
{
    QTest::qWait(QApplication::keyboardInputInterval() + 20);
    typeText(list, letters);
}

int rowWith(const QAbstractItemModel &model, int column, const QString &text)
{
    for (int row = 0; row < model.rowCount(); ++row) {
        if (model.index(row, column).data().toString() == text)
            return row;
    }
    return -1;
}

void clickRow(DBGrid *grid, int row)
{
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(grid->model()->index(row, 0)).center());
}

// Chooses an entry of a drop-down by its text, as a click in its open list does.
void chooseIn(QComboBox *box, const QString &text)
{
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
}

void chooseInCell(DBGrid *grid, int row, int column, const QString &text)
{
    const QModelIndex cell = grid->model()->index(row, column);
    grid->setFocus();
    grid->edit(cell);
    auto *box = qobject_cast<QComboBox *>(grid->indexWidget(cell));
    QVERIFY(box);
    chooseIn(box, text);
}

QStringList entries(const QAbstractItemModel &model)
{
    QStringList result;
    for (int row = 0; row < model.rowCount(); ++row)
        result << model.index(row, 0).data().toString();
    return result;
}

// Runs `inside` on the modal window that `open` opens, and closes the window if `inside` left it open.
template <typename Window>
void withModal(const std::function<void()> &open, const std::function<void(Window &)> &inside)
{
    bool reached = false;
    whenModalAppears([&](QWidget *modal) {
        auto *window = qobject_cast<Window *>(modal);
        reached = window != nullptr;
        if (reached)
            inside(*window);
        if (modal->isVisible())
            modal->close();
    });
    open();
    QVERIFY2(reached, Window::staticMetaObject.className());
}

QStringList choices(const QComboBox *box)
{
    QStringList result;
    for (int i = 0; i < box->count(); ++i)
        result << box->itemText(i);
    return result;
}

// "Добавить" in the car models or colours window, the name typed, "Сохранить".
void addName(QPushButton *add, QLineEdit *box, QPushButton *save, const QString &name)
{
    QTest::mouseClick(add, Qt::LeftButton);
    typeText(box, name);
    QTest::mouseClick(save, Qt::LeftButton);
}

// The shift dialog, once it comes up: a driver chosen when one is named, the times typed, "   OK".
// What it showed first (callsign and surname) goes to `shown`.
void fillShiftWhenShown(const QString &start, const QString &end, const QString &driver = {},
                        QString *shown = nullptr)
{
    whenModalAppears([=](QWidget *modal) {
        auto &shift = *qobject_cast<TForm11 *>(modal);
        if (shown != nullptr)
            *shown = shift.DBText1->text() + ' ' + shift.DBLookupComboBox1->currentText();
        if (!driver.isEmpty())
            chooseIn(shift.DBLookupComboBox1, driver);
        typeText(shift.DBEdit1, start);
        typeText(shift.DBEdit2, end);
        QTest::mouseClick(shift.BitBtn1, Qt::LeftButton);
    });
}

// A district "Вокзальный" with its street "Привокзальная" and a distance of 8 km to Центральный,
// left pending as the distances page leaves a row: it has no save button.
void addStationDistrict(TForm5 &city)
{
    city.PageControl1->setCurrentIndex(0);
    QTest::mouseClick(city.Button13, Qt::LeftButton);
    typeIntoCell(city.DBGrid3, city.DBGrid3->model()->rowCount() - 1, 0, "Вокзальный");
    QTest::mouseClick(city.Button4, Qt::LeftButton);

    city.PageControl1->setCurrentIndex(1);
    withModal<TForm6>([&] { QTest::mouseClick(city.Button10, Qt::LeftButton); },
                      [](TForm6 &street) {
                          typeText(street.DBEdit1, "Привокзальная");
                          chooseIn(street.DBLookupComboBox1, "Вокзальный");
                          QTest::mouseClick(street.Button1, Qt::LeftButton);
                      });

    city.PageControl1->setCurrentIndex(2);
    QTest::mouseClick(city.Button6, Qt::LeftButton);
    const int added = city.DBGrid2->model()->rowCount() - 1;
    chooseInCell(city.DBGrid2, added, 0, "Вокзальный");
    chooseInCell(city.DBGrid2, added, 1, "Центральный");
    typeIntoCell(city.DBGrid2, added, 2, "8");
    QTest::mouseClick(city.Button5, Qt::LeftButton);
}

// Орлов, callsign 113, in a "Волга" added with the "+" beside "Тип:", white, plate Е113КХ; "Ок" goes on
// to his shift, 8 to 20.
void fillNewDriver(TForm4 &driver, QString *shiftShown)
{
    typeText(driver.DBEdit1, "113");
    typeText(driver.DBEdit2, "Орлов");
    withModal<TForm16>(
        [&] { QTest::mouseClick(driver.Button1, Qt::LeftButton); },
        [](TForm16 &models) { addName(models.Button1, models.DBEdit1, models.Button4, "Волга"); });
    chooseIn(driver.DBLookupComboBox1, "Волга");
    chooseIn(driver.DBLookupComboBox2, "Белый");
    typeText(driver.DBEdit5, "Е113КХ");
    fillShiftWhenShown("08:00:00", "20:00:00", {}, shiftShown);
    QTest::mouseClick(driver.Button4, Qt::LeftButton);
}

void fillNewDispatcher(TForm8 &dispatcher)
{
    typeText(dispatcher.DBEdit1, "4");
    typeText(dispatcher.DBEdit2, "Белова");
    QTest::mouseClick(dispatcher.Button3, Qt::LeftButton);
}

} // namespace

// The merged program driven as its people use it for a day, on the demo city: dispatchers take,
// price, complete and cancel orders; administrators change the tariff, the city and the registers,
// and the dispatch windows follow at once.
class WorkingDayTest : public QObject
{
    Q_OBJECT

private:
    std::optional<Shell> m_shell;
    std::unique_ptr<Workstation> m_workstation;

    Workstation &ws() { return *m_workstation; }
    TForm1 &main() { return m_workstation->mainWindow(); }
    OrderEntryTab &order() { return *m_workstation->orderEntry(); }
    CostFrame &cost() { return *qobject_cast<CostFrame *>(order().GroupBox5); }
    CurrentOrdersTab &journal() { return *main().findChild<CurrentOrdersTab *>(); }
    TestDatabase &db() { return m_shell->db; }

    void logIn(const QString &surname, const QString &password)
    {
        TForm0 &login = ws().login();
        QVERIFY(login.isVisible());
        login.ComboBox1->setCurrentIndex(login.ComboBox1->findText(surname));
        typeText(login.Edit1, password);
        QTest::mouseClick(login.Button1, Qt::LeftButton);
        QVERIFY(main().isVisible());
        QApplication::setActiveWindow(&main());
        QVERIFY(QTest::qWaitForWindowActive(&main()));
    }

    // "Внешняя очередь": the queue window comes up active; the dispatcher goes back to the main window.
    void showQueueWindow()
    {
        main().N29->trigger();
        QVERIFY(QTest::qWaitForWindowActive(ws().queueWindow()));
        QApplication::sendPostedEvents();
        QApplication::processEvents();
        QApplication::setActiveWindow(&main());
        QVERIFY(QTest::qWaitForWindowActive(&main()));
    }

    void handOver(const QString &surname, const QString &password)
    {
        main().N21->trigger(); // "Завершение смены"
        logIn(surname, password);
    }

    // F2, the pick-up district and street, a house, the destination; the order is left pending.
    void enterOrder(const QString &from, const QString &street, const QString &to)
    {
        main().PageControl1->setCurrentIndex(0);
        QApplication::setActiveWindow(&main());
        press(Qt::Key_F2);
        typeAhead(QApplication::focusWidget(), from);
        press(Qt::Key_Tab);
        typeAhead(QApplication::focusWidget(), street);
        press(Qt::Key_Tab);
        typeText(QApplication::focusWidget(), "7");
        for (int box = 0; box < 3; ++box)
            press(Qt::Key_Tab);
        typeAhead(QApplication::focusWidget(), to);
    }

    // "Посчитать": the distance and the fare as the cost frame shows them.
    QString price()
    {
        QTest::mouseClick(order().Button9, Qt::LeftButton);
        return cost().Distance->text() + " км, " + cost().Cost->text() + " руб.";
    }

    qint64 storeOrder()
    {
        press(Qt::CTRL | Qt::Key_Return);
        return db().scalar("SELECT max(Id) FROM gurnal").toLongLong();
    }

    // A queue record as the database has it: district and busy flag.
    QString standing(qint64 driver)
    {
        return db()
            .scalar(
                "SELECT group_concat(Raion || ':' || ifnull(Status, '-'), ' ') FROM vozyraion WHERE Vozy=?",
                {driver})
            .toString();
    }

    // A driver's row in the queue window: busy cell, district.
    QString inQueueWindow(const QString &callsign)
    {
        const QAbstractItemModel &queue = *ws().queueWindow()->DBGRID->model();
        const int row = rowWith(queue, 1, callsign);
        if (row < 0)
            return "absent";
        return QString(queue.index(row, 0).data(Qt::UserRole).toBool() ? "занят " : "свободен ") +
               queue.index(row, 2).data().toString();
    }

    QString onPositionsTab(const QString &surname)
    {
        const QAbstractItemModel &positions = *ws().positions()->DBGrid1->model();
        const int row = rowWith(positions, 1, surname);
        return row < 0 ? "absent" : positions.index(row, 2).data().toString();
    }

private slots:
    void initTestCase() { useRussianLocale(); }

    void init()
    {
        m_shell.emplace();
        SetupStore::addFirstAdministrator(db().db());
        DemoData::fill(db().db());
        m_shell->setDataBaseDir(db().dir());
        Clock::setFixed(QDateTime(QDate(2026, 12, 8), QTime(9, 30)));
        m_workstation = std::make_unique<Workstation>(db().dir(), m_shell->messages, m_shell->quit());
        QApplication::setKeyboardInputInterval(100);
    }

    void cleanup()
    {
        m_workstation.reset();
        m_shell.reset();
        Clock::clearFixed();
    }

    // Two orders priced and stored; on "Журнал" one is completed and the other cancelled, and both
    // drivers stand free where the orders took them, in every view at once. Then an administrator
    // raises the price per kilometre and the next fare follows, for every dispatcher after him.
    void ordersFromPricingToCompletion()
    {
        logIn("Иванова", "1234");
        showQueueWindow(); // it stays open all day
        enterOrder("Ц", "Л", "С");
        QCOMPARE(price(), QString("5,7 км, 67 руб."));
        const qint64 first = storeOrder();
        enterOrder("З", "И", "Ю");
        QCOMPARE(price(), QString("8,6 км, 96 руб."));
        const qint64 second = storeOrder();
        QCOMPARE(db().scalar("SELECT group_concat(IdVozy) FROM gurnal WHERE Id>=?", {first}),
                 QVariant("1,6"));
        QCOMPARE(standing(1), QString("2:1"));
        QCOMPARE(standing(6), QString("4:1"));

        main().PageControl1->setCurrentIndex(2);
        const QAbstractItemModel &current = *journal().OrdersGrid->model();
        QCOMPARE(current.rowCount(), 2);
        clickRow(journal().OrdersGrid, rowWith(current, 2, "Петров"));
        QTest::mouseClick(journal().Button7, Qt::LeftButton);
        QCOMPARE(current.rowCount(), 1);
        QCOMPARE(current.index(0, 2).data().toString(), QString("Козлов"));
        QTest::mouseClick(journal().Button8, Qt::LeftButton);
        QCOMPARE(current.rowCount(), 0);
        QCOMPARE(db().scalar("SELECT Status FROM gurnal WHERE Id=?", {first}), QVariant(0));
        QCOMPARE(db().count("gurnal", "Id=?", {second}), 0);
        QCOMPARE(standing(1), QString("2:0"));
        QCOMPARE(standing(6), QString("4:0"));
        QCOMPARE(inQueueWindow("101"), QString("свободен Северный"));
        QCOMPARE(inQueueWindow("106"), QString("свободен Южный"));
        QCOMPARE(onPositionsTab("Петров"), QString("Северный"));
        QCOMPARE(onPositionsTab("Козлов"), QString("Южный"));
        QCOMPARE(m_shell->messages.shown.size(), 0);

        handOver("Администратор", "");
        withModal<TForm23>([this] { main().N26->trigger(); },
                           [](TForm23 &tariff) {
                               tariff.Edit3->selectAll();
                               typeText(tariff.Edit3, "20");
                               QTest::mouseClick(tariff.Button2, Qt::LeftButton);
                           });
        enterOrder("Ц", "М", "С");
        QCOMPARE(price(), QString("5,7 км, 84 руб."));
        press(Qt::Key_Escape);
        handOver("Смирнова", "5678");
        enterOrder("Ц", "М", "С");
        QCOMPARE(price(), QString("5,7 км, 84 руб."));
        QCOMPARE(m_shell->messages.shown.size(), 0);
    }

    // A register that lists every street, opened from "Журнал", leaves the street filter off there, so
    // the current orders go on showing their streets; back on "Заказ" the streets are one district's.
    void theCurrentOrdersKeepTheirStreets_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("Список такси") << "N5";
        QTest::newRow("Диспетчер") << "N7";
        QTest::newRow("Схема города") << "N6";
        QTest::newRow("Журнал заказов") << "N11";
    }

    void theCurrentOrdersKeepTheirStreets()
    {
        QFETCH(QString, item);
        logIn("Администратор", "");
        enterOrder("С", "Л", "Ц");
        storeOrder();
        enterOrder("Ц", "Л", "С"); // the street filter now names Центральный
        storeOrder();
        main().PageControl1->setCurrentIndex(2);
        withModal<QDialog>([&] { main().findChild<QAction *>(item)->trigger(); }, [](QDialog &) {});
        const QAbstractItemModel &current = *journal().OrdersGrid->model();
        QCOMPARE(current.index(0, 5).data().toString(), QString("Лесная"));
        QCOMPARE(current.index(1, 5).data().toString(), QString("Ленина"));
        main().PageControl1->setCurrentIndex(0);
        QCOMPARE(entries(*order().DBLookupListBox2->model()).size(), 5);
        QCOMPARE(ws().dataModule()->Table5->filter(), QString("IdRion=1"));
    }

    // An order stored without a driver gets one from the queue window's context menu and can then
    // be completed.
    void aDriverGivenToAStoredOrder()
    {
        logIn("Иванова", "1234");
        enterOrder("Ц", "Л", "Ю");
        order().CheckBox2->click(); // "Автоназначение" off: no driver
        const qint64 stored = storeOrder();
        QVERIFY(db().scalar("SELECT IdVozy FROM gurnal WHERE Id=?", {stored}).isNull());

        main().PageControl1->setCurrentIndex(2);
        QTest::mouseClick(journal().Button7, Qt::LeftButton);
        QCOMPARE(m_shell->messages.texts(), QStringList{"Заказ не может быть выполнен! Не указан водитель."});
        showQueueWindow();
        TForm25 &queue = *ws().queueWindow();
        clickRow(queue.DBGRID, rowWith(*queue.DBGRID->model(), 1, "103"));
        queue.N1->trigger(); // "Назначить на текущий заказ"
        const QAbstractItemModel &current = *journal().OrdersGrid->model();
        QCOMPARE(current.index(0, 1).data().toString(), QString("103"));
        QCOMPARE(current.index(0, 2).data().toString(), QString("Соколов"));
        QTest::mouseClick(journal().Button7, Qt::LeftButton);
        QCOMPARE(current.rowCount(), 0);
        QCOMPARE(db().scalar("SELECT IdVozy || ':' || Status FROM gurnal WHERE Id=?", {stored}),
                 QVariant("3:0"));
        QCOMPARE(standing(3), QString("1:0"));
        QCOMPARE(m_shell->messages.shown.size(), 1);
    }

    // A new district with a street and a distance from the city structure window is ordered from and
    // priced at once; a new car model and colour are offered in the driver data window.
    void theCityAndTheCarsGrow()
    {
        logIn("Администратор", "");
        enterOrder("С", "Л", "Ц"); // the street filter now names Северный
        press(Qt::Key_Escape);
        withModal<TForm5>([this] { main().N6->trigger(); }, addStationDistrict);
        Dataset &streets = *ws().dataModule()->Table5;
        QVERIFY(streets.isFiltered());
        QCOMPARE(streets.filter(), QString("IdRion=2"));

        enterOrder("В", "П", "Ц");
        QCOMPARE(entries(*order().DBLookupListBox2->model()), QStringList{"Привокзальная"});
        QCOMPARE(price(), QString("8 км, 90 руб.")); // the pending distance is stored first
        const qint64 stored = storeOrder();
        QCOMPARE(
            db().scalar("SELECT r.Raion || '/' || u.Ulica FROM gurnal g JOIN raion r ON r.Id=g.IdOtkudaRaion "
                        "JOIN ulica u ON u.Id=g.IdOtkudaUlica WHERE g.Id=?",
                        {stored}),
            QVariant("Вокзальный/Привокзальная"));
        QVERIFY(!ws().dataModule()->rastoyan->isFiltered());
        QCOMPARE(db().count("rastoyan"), 37);

        withModal<TForm16>(
            [this] { main().N15->trigger(); },
            [](TForm16 &models) { addName(models.Button1, models.DBEdit1, models.Button4, "Волга"); });
        withModal<TForm17>(
            [this] { main().N13->trigger(); },
            [](TForm17 &colours) { addName(colours.Button6, colours.DBEdit1, colours.Button7, "Бежевый"); });
        QStringList models, colours;
        withModal<TForm3>([this] { main().N5->trigger(); },
                          [&](TForm3 &drivers) {
                              withModal<TForm4>([&] { QTest::mouseClick(drivers.Button3, Qt::LeftButton); },
                                                [&](TForm4 &driver) {
                                                    models = choices(driver.DBLookupComboBox1);
                                                    colours = choices(driver.DBLookupComboBox2);
                                                });
                          });
        QVERIFY2(models.contains("Волга"), qPrintable(models.join(',')));
        QVERIFY2(colours.contains("Бежевый"), qPrintable(colours.join(',')));
        QVERIFY(streets.isFiltered());
        QCOMPARE(streets.filter(), QString("IdRion=7"));
        QCOMPARE(m_shell->messages.shown.size(), 0);
    }

    // A new driver with his car and shift, and a new dispatcher; the driver goes on the line and gets
    // the next order of his district. With a second shift he is offered twice.
    void aNewDriverOnTheLine()
    {
        logIn("Администратор", "");
        QString shiftShown;
        withModal<TForm3>([this] { main().N5->trigger(); },
                          [&](TForm3 &drivers) {
                              withModal<TForm4>([&] { QTest::mouseClick(drivers.Button1, Qt::LeftButton); },
                                                [&](TForm4 &driver) { fillNewDriver(driver, &shiftShown); });
                          });
        withModal<TForm7>([this] { main().N7->trigger(); },
                          [](TForm7 &staff) {
                              withModal<TForm8>([&] { QTest::mouseClick(staff.Button2, Qt::LeftButton); },
                                                fillNewDispatcher);
                          });
        QCOMPARE(shiftShown, QString("113 Орлов"));
        const qint64 orlov = db().scalar("SELECT Id FROM taxisti WHERE Familiya='Орлов'").toLongLong();
        QCOMPARE(db().scalar(
                     "SELECT CAST(t.Number AS INTEGER) || '/' || a.Name || '/' || c.Color || '/' || "
                     "t.NumberAuto FROM taxisti t JOIN auto a ON a.Id=t.IdAuto JOIN color c ON c.Id=t.Idcvet "
                     "WHERE t.Id=?",
                     {orlov}),
                 QVariant("113/Волга/Белый/Е113КХ"));
        QCOMPARE(db().scalar("SELECT group_concat(Timestart || '-' || Timeend) FROM grafic WHERE IdTaxist=?",
                             {orlov}),
                 QVariant("08:00:00-20:00:00"));
        QCOMPARE(db().count("sotrud", "Family='Белова' AND Number=4"), 1);

        handOver("Иванова", "1234");
        main().PageControl1->setCurrentIndex(1);
        withModal<TForm13>([this] { QTest::mouseClick(ws().positions()->Button6, Qt::LeftButton); },
                           [](TForm13 &location) {
                               typeAhead(location.DBLookupListBox2, "О");
                               typeAhead(location.DBLookupComboBox1, "Сл");
                               // Free: ticked, then cleared (a box never touched leaves him out of
                               // the district's queue).
                               QTest::mouseClick(location.DBCheckBox1, Qt::LeftButton);
                               QTest::mouseClick(location.DBCheckBox1, Qt::LeftButton);
                               QTest::mouseClick(location.Button1, Qt::LeftButton);
                           });
        QCOMPARE(onPositionsTab("Орлов"), QString("Слобода"));

        enterOrder("Сл", "Ц", "Ц");
        QCOMPARE(order().DBText1->text(), QString("110")); // Алексеев stood there first
        storeOrder();
        enterOrder("Сл", "Ц", "Ц");
        QCOMPARE(order().DBText1->text(), QString("113"));
        QCOMPARE(order().DBText2->text(), QString("Волга"));
        const qint64 his = storeOrder();
        QCOMPARE(db().scalar("SELECT IdVozy FROM gurnal WHERE Id=?", {his}).toLongLong(), orlov);
        QCOMPARE(standing(orlov), QString("1:1"));

        handOver("Администратор", "");
        withModal<TForm9>([this] { main().N8->trigger(); },
                          [](TForm9 &schedule) {
                              fillShiftWhenShown("20:00:00", "08:00:00", "Орлов");
                              QTest::mouseClick(schedule.Button1, Qt::LeftButton);
                          });
        main().PageControl1->setCurrentIndex(1);
        QStringList surnames, callsigns;
        withModal<TForm13>([this] { QTest::mouseClick(ws().positions()->Button6, Qt::LeftButton); },
                           [&](TForm13 &location) {
                               surnames = entries(*location.DBLookupListBox2->model());
                               callsigns = entries(*location.DBLookupListBox1->model());
                               QTest::mouseClick(location.Button2, Qt::LeftButton);
                           });
        QCOMPARE(surnames.count("Орлов"), 2);
        QCOMPARE(callsigns.count("113"), 2);
        QCOMPARE(m_shell->messages.shown.size(), 0);
    }
};

SHELL_TEST(WorkingDayTest);

#include "working_day_test.moc"
