#include "bench/workplace.h"

#include "app/login_window.h"
#include "app/main_window.h"
#include "app/vozy_main.h"
#include "data/data_module.h"
#include "data/dataset.h"
#include "dispatch/cost_frame.h"
#include "dispatch/current_orders_tab.h"
#include "dispatch/current_orders_view.h"
#include "dispatch/order_entry.h"
#include "reports/journal_window.h"
#include "ui/db_controls.h"
#include "ui/db_grid.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>

namespace {

// A key as the keyboard sends it, to `widget`.
void press(QWidget *widget, int key, Qt::KeyboardModifiers modifiers = {}, const QString &text = {})
{
    QKeyEvent down(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(widget, &down);
    QKeyEvent up(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(widget, &up);
}

void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        press(widget, c.isDigit() ? Qt::Key_0 + c.digitValue() : Qt::Key_A, {}, QString(c));
}

void chooseRow(DBLookupListBox *list, int row)
{
    list->selectionModel()->setCurrentIndex(list->model()->index(row, 0),
                                            QItemSelectionModel::ClearAndSelect);
}

void click(QPushButton *button)
{
    button->click();
}

} // namespace

Workplace::Workplace(const QString &workingDir)
    : m_workstation(std::make_unique<Workstation>(workingDir, m_messages, [] {}))
{
    if (!m_workstation->started())
        throw std::runtime_error(m_messages.shown().join(' ').toStdString());
    Operation::settle();
}

Workplace::~Workplace() = default;

void Workplace::logIn()
{
    TForm0 &login = m_workstation->login();
    login.ComboBox1->setCurrentIndex(login.ComboBox1->findText(QStringLiteral("Диспетчер 1")));
    login.Edit1->setText(QStringLiteral("пароль"));
    click(login.Button1);
    Operation::settle();
    if (!mainWindow().isVisible())
        throw std::runtime_error("the first dispatcher could not log in");
    QApplication::setActiveWindow(&mainWindow());
    Operation::settle();
}

void Workplace::setPainting(bool on)
{
    mainWindow().setUpdatesEnabled(on);
    Operation::settle();
}

void Workplace::repaintMainWindow()
{
    mainWindow().repaint();
}

TDataModule2 &Workplace::dm() const
{
    return *m_workstation->dataModule();
}

TForm1 &Workplace::mainWindow() const
{
    return m_workstation->mainWindow();
}

OrderEntryTab &Workplace::orderEntry() const
{
    return *m_workstation->orderEntry();
}

CurrentOrdersTab &Workplace::currentOrdersTab() const
{
    return *mainWindow().findChild<CurrentOrdersTab *>();
}

TForm14 &Workplace::journalWindow() const
{
    return *m_workstation->journalWindow();
}

Dataset &Workplace::currentOrders() const
{
    return *m_workstation->currentOrders()->Table1;
}

namespace Operation {

void settle()
{
    for (int pass = 0; pass < 3; ++pass)
        QApplication::processEvents();
}

int districtRow(Workplace &w, qint64 districtId)
{
    const QAbstractItemModel &list = *w.orderEntry().DBLookupListBox1->model();
    const QString name = QStringLiteral("Район %1").arg(districtId);
    for (int row = 0; row < list.rowCount(); ++row) {
        if (list.index(row, 0).data().toString() == name)
            return row;
    }
    throw std::runtime_error(("no district " + name).toStdString());
}

void newOrder(Workplace &w, const NewOrder &order)
{
    OrderEntryTab &tab = w.orderEntry();
    click(tab.Button2);
    chooseRow(tab.DBLookupListBox1, order.pickup);
    chooseRow(tab.DBLookupListBox2, order.street);
    typeText(tab.DBEdit1, QStringLiteral("12"));
    typeText(tab.DBEdit2, QStringLiteral("7"));
    typeText(tab.DBEdit3, QStringLiteral("5551234"));
    chooseRow(tab.DBLookupListBox3, order.destination);
}

void chooseDistricts(Workplace &w, int pickup, int destination)
{
    chooseRow(w.orderEntry().DBLookupListBox1, pickup);
    chooseRow(w.orderEntry().DBLookupListBox3, destination);
    settle();
}

void storeOrder(Workplace &w)
{
    click(w.orderEntry().Button1);
    settle();
    if (!w.messages().shown().isEmpty())
        throw std::runtime_error(w.messages().shown().join(' ').toStdString());
}

void showTab(Workplace &w, int tab)
{
    w.mainWindow().PageControl1->setCurrentIndex(tab);
    settle();
}

bool selectCompletableOrder(Workplace &w)
{
    DBGrid &grid = *w.currentOrdersTab().OrdersGrid;
    const Dataset &current = w.currentOrders();
    for (int row = 0; row < current.recordCount(); ++row) {
        if (!current.valueAt(row, "IdVozy").isNull()) {
            grid.setCurrentIndex(grid.model()->index(row, 0));
            return true;
        }
    }
    return false;
}

void completeOrder(Workplace &w)
{
    click(w.currentOrdersTab().Button7);
    settle();
}

void withJournal(Workplace &w, const std::function<void(TForm14 &)> &inside)
{
    TForm14 &journal = w.journalWindow();
    // The window is modal: the steps run inside its own message loop, once it is up.
    QTimer::singleShot(0, &journal, [&] {
        settle();
        inside(journal);
        click(journal.Button2);
        settle();
    });
    w.mainWindow().N11->trigger();
    settle();
}

void browseJournal(TForm14 &journal)
{
    DBGrid &grid = *journal.DBGrid1;
    grid.rowScrollBar()->setValue(grid.rowScrollBar()->maximum() / 2);
    grid.setCurrentIndex(grid.indexAt(grid.viewport()->rect().center()));
    press(&grid, Qt::Key_End, Qt::ControlModifier);
    settle();
}

void scrollJournal(TForm14 &journal, int first)
{
    DBGrid &grid = *journal.DBGrid1;
    grid.rowScrollBar()->setValue(first);
    grid.viewport()->repaint();
}

int readJournalRows(TForm14 &journal, int first, int rows)
{
    DBGrid &grid = *journal.DBGrid1;
    grid.rowScrollBar()->setValue(first);
    const QAbstractItemModel &model = *grid.model();
    int characters = 0;
    const int top = grid.rowAt(0);
    const int end = std::min(top + rows, model.rowCount());
    for (int row = top; row < end; ++row) {
        for (int column = 0; column < model.columnCount(); ++column)
            characters += int(model.index(row, column).data().toString().size());
    }
    return characters;
}

void typeTelephone(Workplace &w, const QString &digits)
{
    typeText(w.orderEntry().DBEdit3, digits);
    settle();
}

void fare(Workplace &w)
{
    click(w.orderEntry().Button9);
    settle();
}

} // namespace Operation
