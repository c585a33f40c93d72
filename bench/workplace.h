#pragma once

#include "ui/messages.h"

#include <QStringList>

#include <functional>
#include <memory>

class CurrentOrdersTab;
class Dataset;
class OrderEntryTab;
class TDataModule2;
class TForm1;
class TForm14;
class Workstation;

// Messages that nobody reads: the benchmark fails when one is shown, as a working program would
// have stopped there.
class BenchMessages : public Messages
{
public:
    void inform(const QString &text) override { m_shown << text; }
    Answer ask(const QString &, const QString &text) override
    {
        m_shown << text;
        return Answer::Yes;
    }
    void error(const QString &text) override { m_shown << text; }
    const QStringList &shown() const { return m_shown; }

private:
    QStringList m_shown;
};

// The program as it starts on a store: the whole workstation built, offscreen, its login window
// shown; logIn() lets the first dispatcher in, and the main window comes up on "Заказ".
class Workplace
{
public:
    explicit Workplace(const QString &workingDir);
    ~Workplace();

    void logIn();

    // While off, the main window paints nothing: its handlers, models and layouts run as ever, so
    // that an operation's figure is the program's own work, not the toolkit's drawing of the whole
    // window (timed on its own, with repaintMainWindow()). Turned on, it paints what changed.
    void setPainting(bool on);
    void repaintMainWindow();

    Workstation &workstation() const { return *m_workstation; }
    TDataModule2 &dm() const;
    TForm1 &mainWindow() const;
    OrderEntryTab &orderEntry() const;
    CurrentOrdersTab &currentOrdersTab() const;
    TForm14 &journalWindow() const;
    // The current-orders view that the "Журнал" tab and the journal window show.
    Dataset &currentOrders() const;
    const BenchMessages &messages() const { return m_messages; }

private:
    BenchMessages m_messages;
    std::unique_ptr<Workstation> m_workstation;
};

// The dispatcher's operations, one function each, done by the windows' own buttons, lists and keys;
// those that end an operation end when the events it posted are handled, the result drawn where
// the window is painting.
namespace Operation {

// The events the steps posted handled, as the message loop does before the dispatcher sees the
// result: the layouts, then the repaints they ask for in turn.
void settle();

// An order as the tab's lists offer it: rows of the pick-up, street and destination lists.
struct NewOrder
{
    int pickup = 0;
    int street = 0;
    int destination = 1;
};

// The rows of the order entry's district lists that show `districtId`.
int districtRow(Workplace &w, qint64 districtId);

// "Новый", the pick-up district, street and destination chosen, house, flat and telephone typed;
// not yet painted.
void newOrder(Workplace &w, const NewOrder &order);
// The pick-up district and the destination of the order being entered chosen again.
void chooseDistricts(Workplace &w, int pickup, int destination);
// "Оформить"; the tab shows the stored order.
void storeOrder(Workplace &w);
// To the tab "Заказ" or "Журнал".
void showTab(Workplace &w, int tab);
// The "Журнал" tab's grid on its oldest order with a driver; false when there is none.
bool selectCompletableOrder(Workplace &w);
// "Выполнено" of the "Журнал" tab's chosen order.
void completeOrder(Workplace &w);
// "Журнал заказов" of the main window's menu: `inside` runs while the journal window is shown, then
// the window is closed with "Ок".
void withJournal(Workplace &w, const std::function<void(TForm14 &)> &inside);
// In the journal window: its grid on the row in the middle, then on the last row (Ctrl+End).
void browseJournal(TForm14 &journal);
// The journal window's grid scrolled to show `first` at the top, painted.
void scrollJournal(TForm14 &journal, int first);
// The same without the drawing: the grid scrolled and its rows' cells read as it draws them.
int readJournalRows(TForm14 &journal, int first, int rows);
// Keys typed into the focused telephone box of an order being entered.
void typeTelephone(Workplace &w, const QString &digits);
// "Посчитать" of the order being entered.
void fare(Workplace &w);

} // namespace Operation
