#pragma once

#include "app/access_modes.h"
#include "ui/messages.h"

#include <QStringList>

#include <memory>

class Database;
class Dataset;
class TDataModule2;
class TForm0;

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

// The program's own objects that the measured operations work through, as the program creates
// them at start: the store, the data module with every table open, the current-orders view of the
// journal window, and the login window, shown.
class Workplace
{
public:
    explicit Workplace(const QString &workingDir);
    ~Workplace();

    Database &store() const { return *m_store; }
    TDataModule2 &dm() const { return *m_module; }
    Dataset &currentOrders() const { return *m_currentOrders; }
    const BenchMessages &messages() const { return m_messages; }

    // The queue record the order's driver was taken from (order entry keeps it).
    qint64 source = 0;

private:
    std::unique_ptr<Database> m_store;
    std::unique_ptr<TDataModule2> m_module;
    std::unique_ptr<Dataset> m_currentOrders;
    AccessLevel m_access;
    BenchMessages m_messages;
    std::unique_ptr<TForm0> m_login;
};

// The operations, one function each, done through the data module the way their windows do them
// (the order-entry tab, the current-orders tab, the journal and report windows are built against
// the same datasets); each switches to its window's handler when the window is in the program.
namespace Operation {

struct NewOrder
{
    qint64 pickup = 1;
    qint64 destination = 2;
    int street = 0; // position in the pick-up district's street list
};

// "Новый", the pick-up district, street and destination chosen, the address typed.
void newOrder(Workplace &w, const NewOrder &order);
// "Оформить": queue append, queue delete and the journal row in one transaction.
void storeOrder(Workplace &w, qint64 operatorId);
// The idle tab shows the stored order: its fields, display fields and the lists' chosen rows.
void showStoredOrder(Workplace &w);
// "Выполнено" of the current order of the "Журнал" tab: its update and the statement that frees
// the driver, in one transaction.
void completeOrder(Workplace &w);
// The main window's tab switch to "Журнал" (filters off, current orders re-read and shown) and
// back to "Заказ" (filters on, the queue and street lists shown).
void switchTabs(Workplace &w);
// The journal window: opened with every order, its top rows shown, the middle, the last row, closed.
void openJournal(Workplace &w);
void closeJournal(Workplace &w);
void browseJournal(Workplace &w);
// 30 rows of the journal window's grid from a position, every column read as the grid paints it.
int showJournalRows(Workplace &w, int first);
// "Посчитать": the distance of a pair of districts through the distance dataset, and the fare.
double fare(Workplace &w, qint64 from, qint64 to);

} // namespace Operation
