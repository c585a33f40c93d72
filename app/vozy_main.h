#pragma once

#include <QString>

#include <functional>
#include <memory>

class AccessLevel;
class CurrentOrdersView;
class Database;
class HelpKeys;
class HelpWindow;
class Messages;
class OrderEntryTab;
class PositionsTab;
class QApplication;
class StoreLock;
class TDataModule2;
class TForm0;
class TForm1;
class TForm6;
class TForm10;
class TForm11;
class TForm13;
class TForm14;
class TForm16;
class TForm17;
class TForm18;
class TForm23;
class TForm25;

// The program entry: sets up the application, builds the workstation, runs the message loop.
int vozyMain(int argc, char *argv[]);

// What the program sets on the application before any window: its title and names, its icon, Qt's
// own Russian translations, the help topics. The program ends only by its own rules, never because
// its last window was closed or hidden.
void setUpApplication(QApplication &app);

// The whole program as one object graph, built in the order of start-up, so that a test can start
// it in one process and drive it without a message loop.
class Workstation
{
public:
    // Creates the windows and the data module from the store in workingDir and shows the login
    // window. `quit` ends the program (in the program, leaving the message loop).
    Workstation(const QString &workingDir, Messages &messages, std::function<void()> quit);
    ~Workstation();

    // False when the store could not be opened (missing, damaged, read-only, or already in use by
    // another copy of the program) or the data module could not open its tables: the reason was
    // shown and the program does not run.
    bool started() const { return m_started; }

    AccessLevel &access() const { return *m_access; }
    HelpWindow &help() const { return *m_help; }
    TForm0 &login() const { return *m_login; }
    TForm1 &mainWindow() const { return *m_main; }
    TDataModule2 *dataModule() const { return m_dataModule.get(); }
    TForm6 *streetDialog() const { return m_streetDialog.get(); }
    TForm16 *carModelsWindow() const { return m_carModelsWindow.get(); }
    TForm17 *coloursWindow() const { return m_coloursWindow.get(); }
    TForm10 *calendarWindow() const { return m_calendarWindow.get(); }
    TForm11 *shiftWindow() const { return m_shiftWindow.get(); }
    TForm13 *locationDialog() const { return m_locationDialog.get(); }
    CurrentOrdersView *currentOrders() const { return m_currentOrders.get(); }
    OrderEntryTab *orderEntry() const { return m_orderEntry; }
    PositionsTab *positions() const { return m_positions; }
    TForm14 *journalWindow() const { return m_journalWindow.get(); }
    TForm18 *accessWindow() const { return m_accessWindow.get(); }
    TForm23 *tariffWindow() const { return m_tariffWindow.get(); }
    TForm25 *queueWindow() const { return m_queueWindow.get(); }

private:
    void createShownWindows();
    void fillTabs();

    Messages &m_messages;
    bool m_started = false;

    // Declared in the order of destruction backwards: the store outlives the data module, which
    // outlives every window bound to it.
    std::unique_ptr<AccessLevel> m_access;
    std::unique_ptr<HelpWindow> m_help;
    std::unique_ptr<HelpKeys> m_helpKeys;
    std::unique_ptr<StoreLock> m_storeLock;
    std::unique_ptr<Database> m_store;
    std::unique_ptr<TDataModule2> m_dataModule;
    std::unique_ptr<CurrentOrdersView> m_currentOrders; // the journal window's, outliving the tabs
    std::unique_ptr<TForm0> m_login;
    std::unique_ptr<TForm1> m_main;
    std::unique_ptr<TForm6> m_streetDialog;
    std::unique_ptr<TForm10> m_calendarWindow;
    std::unique_ptr<TForm11> m_shiftWindow;
    std::unique_ptr<TForm13> m_locationDialog;
    std::unique_ptr<TForm14> m_journalWindow;
    std::unique_ptr<TForm16> m_carModelsWindow;
    std::unique_ptr<TForm17> m_coloursWindow;
    std::unique_ptr<TForm18> m_accessWindow;
    std::unique_ptr<TForm23> m_tariffWindow;
    std::unique_ptr<TForm25> m_queueWindow;
    // The tabs' contents belong to the main window.
    OrderEntryTab *m_orderEntry = nullptr;
    PositionsTab *m_positions = nullptr;
};
