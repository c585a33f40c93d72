// A dispatcher at one of several workstations on one server database, for the tests of two
// workstations doing the same thing at the same moment: the program's windows driven by lines on
// standard input, one answer line each on standard output. A MOMENT is a time on the machine's
// monotonic clock in microseconds (std::chrono::steady_clock), the same for every process on it: the
// test gives both workstations nearly the same moment to click at.
//   rival_dispatcher CONNECTION
// Taking an order:
// "new FROM HEAD TO": a new order from district FROM to district TO, once the queue record HEAD (put
//   there by another workstation) has reached this workstation's queue view; answers "ready DRIVER"
//   with the driver the order got.
// "store MOMENT": presses "Оформить" at that moment; answers "stored DRIVER" when the order was stored,
//   or "pending DRIVER MESSAGE" when it is still being entered, with the driver it is offered now and
//   the message the dispatcher was shown.
// Ending an order:
// "choose ORDER": once the order ORDER (stored by another workstation) has reached this workstation's
//   current orders, makes it the current one there; answers "chosen".
// "end done|cancel MOMENT": presses "Выполнено" or "Отменить" at that moment; answers "ended" when
//   the order was ended here, or "refused MESSAGE" with the message the dispatcher was shown.
// The drivers register, as an administrator keeps it:
// "find DRIVER": once the driver (added by another workstation) has reached this workstation's list,
//   makes him the current one there; answers "found".
// "edit DRIVER SURNAME": the driver found, "Изменить", and the surname typed over in the data window;
//   answers "editing". The next line is then "save MOMENT": "Ок" at that moment, the workstation going
//   on with its events until then, and the window closed if it stays open; answers "saved", or
//   "refused MESSAGE" with the message shown, or "still editing" when the list is left editing the
//   driver.
// "delete MOMENT": "Удалить" on the driver found at that moment, the workstation going on with its
//   events until then, answered Yes; answers "deleted", or "refused MESSAGE".
#include "data/data_error.h"
#include "data/data_module.h"
#include "data/data_source.h"
#include "data/database.h"
#include "data/dataset.h"
#include "dispatch/current_orders_tab.h"
#include "dispatch/order_entry.h"
#include "dispatch/shift_dialog.h"
#include "dispatch/tariff_window.h"
#include "registers/calendar_window.h"
#include "registers/driver_data_window.h"
#include "registers/drivers_list_window.h"
#include "tests/support/ui_support.h"
#include "ui/db_controls.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

namespace {

void answer(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

QStringList nextLine()
{
    std::string line;
    if (!std::getline(std::cin, line))
        return {};
    return QString::fromStdString(line).split(QLatin1Char(' '));
}

// Another workstation's rows reach this one by the server's notifications.
bool waitForRecord(Dataset &dataset, qint64 id)
{
    QElapsedTimer waited;
    waited.start();
    while (dataset.positionOf(id) < 0) {
        if (waited.elapsed() > 5000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

// Waits for the moment, without a look at the events meanwhile (a dispatcher's click that comes
// before the workstation hears of the other's), or, `working`, going on with them (a person about to
// click, the workstation receiving the other's changes meanwhile).
void waitFor(qint64 moment, bool working)
{
    using namespace std::chrono;
    while (duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count() < moment) {
        if (working)
            QCoreApplication::processEvents();
    }
}

// The windows of one workstation that the tests drive, over one data module.
class Workstation
{
public:
    explicit Workstation(Database &store)
        : m_dm(store)
        , m_tariff(m_messages)
        , m_entry(
              m_dm, m_tariff, [] { return QStringLiteral("1"); }, m_messages)
        , m_currentOrders(makeCurrentOrdersView(m_dm, nullptr))
        , m_DataSource1(m_currentOrders.get(), QStringLiteral("DataSource1"))
        , m_orders(&m_DataSource1, m_dm, m_messages)
        , m_shift(m_dm, m_messages)
        , m_driverData(m_dm, m_calendar, nullptr, nullptr, m_messages)
        , m_drivers(m_dm, m_driverData, m_shift, m_messages)
    {
    }

    // False for a line that is no command.
    bool run(const QStringList &words)
    {
        const QString &command = words.first();
        // The two clicks on one order come before either workstation hears of the other's.
        if (command != QLatin1String("end"))
            QCoreApplication::processEvents();
        m_messages.shown.clear();
        if (command == QLatin1String("new") && words.size() == 4)
            return newOrder(words.at(1).toLongLong(), words.at(2).toLongLong(), words.at(3).toLongLong());
        if (command == QLatin1String("store") && words.size() == 2)
            return store(words.at(1).toLongLong());
        if (command == QLatin1String("choose") && words.size() == 2)
            return choose(*m_currentOrders, words.at(1).toLongLong(), QStringLiteral("chosen"));
        if (command == QLatin1String("end") && words.size() == 3)
            return end(words.at(1), words.at(2).toLongLong());
        if (command == QLatin1String("find") && words.size() == 2)
            return choose(*m_dm.Table1, words.at(1).toLongLong(), QStringLiteral("found"));
        if (command == QLatin1String("edit") && words.size() == 3)
            return edit(words.at(1).toLongLong(), words.at(2));
        if (command == QLatin1String("delete") && words.size() == 2)
            return remove(words.at(1).toLongLong());
        return false;
    }

private:
    bool newOrder(qint64 from, qint64 head, qint64 to)
    {
        Dataset &journal = *m_dm.Gurnal;
        m_entry.Button2->click();
        journal.setValue(QStringLiteral("IdOtkudaRaion"), from);
        m_entry.DBLookupListBox1Click();
        if (!waitForRecord(*m_dm.Vozy_raion, head))
            return false;
        m_entry.DBLookupListBox1Click(); // the head as it stands now
        journal.setValue(QStringLiteral("IdKudaRaion"), to);
        answer(QStringLiteral("ready ") + journal.text(QStringLiteral("IdVozy")));
        return true;
    }

    bool store(qint64 moment)
    {
        Dataset &journal = *m_dm.Gurnal;
        const QString driver = journal.text(QStringLiteral("IdVozy"));
        waitFor(moment, false);
        m_entry.Button1->click();
        if (m_entry.isEditing())
            answer(
                QStringLiteral("pending %1 %2").arg(journal.text(QStringLiteral("IdVozy")), lastMessage()));
        else
            answer(QStringLiteral("stored ") + driver);
        return true;
    }

    bool choose(Dataset &dataset, qint64 id, const QString &reply)
    {
        if (!waitForRecord(dataset, id) || !dataset.gotoId(id))
            return false;
        answer(reply);
        return true;
    }

    bool end(const QString &how, qint64 moment)
    {
        QPushButton *button = how == QLatin1String("done") ? m_orders.Button7 : m_orders.Button8;
        waitFor(moment, false);
        button->click();
        answerOutcome(QStringLiteral("ended"));
        return true;
    }

    // The data window is modal: it is filled and then saved from within its own event loop.
    bool edit(qint64 driver, const QString &surname)
    {
        if (!waitForRecord(*m_dm.Table1, driver) || !m_dm.Table1->gotoId(driver))
            return false;
        bool toldToSave = false;
        QTimer::singleShot(0, &m_driverData, [&] {
            m_driverData.DBEdit2->selectAll();
            typeText(m_driverData.DBEdit2, surname);
            answer(QStringLiteral("editing"));
            const QStringList words = nextLine();
            toldToSave = words.size() == 2 && words.first() == QLatin1String("save");
            if (toldToSave) {
                waitFor(words.at(1).toLongLong(), true);
                m_driverData.Button4->click();
            }
            m_driverData.close(); // by its title-bar button, when "Ок" did not close it
        });
        m_drivers.Button3->click();
        if (!toldToSave)
            return false;
        if (m_dm.Table1->state() != Dataset::State::Browse)
            answer(QStringLiteral("still editing"));
        else
            answerOutcome(QStringLiteral("saved"));
        return true;
    }

    bool remove(qint64 moment)
    {
        waitFor(moment, true);
        m_messages.answerNext(Messages::Answer::Yes);
        m_drivers.Button2->click();
        answerOutcome(QStringLiteral("deleted"), 1); // the question asked before deleting
        return true;
    }

    // `success` when the workstation said nothing past the first `expected` messages.
    void answerOutcome(const QString &success, int expected = 0)
    {
        if (m_messages.shown.size() <= expected)
            answer(success);
        else
            answer(QStringLiteral("refused ") + lastMessage());
    }

    QString lastMessage() const
    {
        return m_messages.shown.isEmpty() ? QString() : m_messages.shown.last().text;
    }

    ScriptedMessages m_messages;
    TDataModule2 m_dm;
    TForm23 m_tariff;
    OrderEntryTab m_entry;
    std::unique_ptr<Dataset> m_currentOrders;
    DataSource m_DataSource1;
    CurrentOrdersTab m_orders;
    TForm10 m_calendar;
    TForm11 m_shift;
    TForm4 m_driverData;
    TForm3 m_drivers;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (app.arguments().size() != 2)
        return 2;
    try {
        const auto store = Database::openServer(app.arguments().at(1));
        Workstation workstation(*store);
        answer(QStringLiteral("started"));
        for (QStringList words = nextLine(); !words.isEmpty(); words = nextLine()) {
            if (!workstation.run(words))
                return 2;
        }
    } catch (const DataError &e) {
        std::fprintf(stderr, "rival_dispatcher: %s\n", qPrintable(e.message()));
        return 3;
    }
    return 0;
}
