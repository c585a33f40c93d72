#include "app/main_window.h"

#include "app/access_modes.h"
#include "app/access_window.h"
#include "app/help_keys.h"
#include "app/login_window.h"
#include "data/clock.h"
#include "data/data_module.h"
#include "data/dataset.h"
#include "data/value_text.h"
#include "dispatch/order_entry.h"
#include "dispatch/queue_window.h"
#include "dispatch/schedule_window.h"
#include "dispatch/shift_dialog.h"
#include "dispatch/tariff_window.h"
#include "help/about_window.h"
#include "help/agreement_window.h"
#include "help/help_window.h"
#include "registers/calendar_window.h"
#include "registers/car_models_window.h"
#include "registers/city_structure_window.h"
#include "registers/colours_window.h"
#include "registers/driver_data_window.h"
#include "registers/drivers_list_window.h"
#include "registers/staff_data_window.h"
#include "registers/staff_list_window.h"
#include "reports/journal_window.h"
#include "reports/report_date_window.h"
#include "reports/report_layout.h"
#include "ui/drawn_icon.h"
#include "ui/error_guard.h"
#include "ui/messages.h"

#include <QAction>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr QSize ClientArea(776, 512);

// The tab images: an order form, a map pin, a journal.
QIcon orderIcon()
{
    return drawnIcon([](QPainter &p) {
        p.setPen(QColor(60, 60, 60));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 1.5, 11, 13));
        p.setPen(QPen(QColor(40, 90, 170), 1.2));
        for (double y : {5.0, 8.0, 11.0})
            p.drawLine(QPointF(4.5, y), QPointF(11.5, y));
    });
}

QIcon positionsIcon()
{
    return drawnIcon([](QPainter &p) {
        QPainterPath pin;
        pin.moveTo(8, 15);
        pin.cubicTo(3, 9, 3, 7, 3, 6);
        pin.arcTo(QRectF(3, 1, 10, 10), 180, -180);
        pin.cubicTo(13, 7, 13, 9, 8, 15);
        p.setPen(QColor(120, 20, 20));
        p.setBrush(QColor(210, 40, 40));
        p.drawPath(pin);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8, 6), 2, 2);
    });
}

QIcon journalIcon()
{
    return drawnIcon([](QPainter &p) {
        p.setPen(QColor(30, 60, 30));
        p.setBrush(QColor(60, 140, 70));
        p.drawRect(QRectF(2.5, 1.5, 11, 13));
        p.setBrush(QColor(245, 240, 220));
        p.drawRect(QRectF(5.5, 3.5, 6, 3));
        p.drawLine(QPointF(4.5, 1.5), QPointF(4.5, 14.5));
    });
}

} // namespace

TForm1::TForm1(TForm0 &login, AccessLevel &access, HelpWindow &help, Messages &messages,
               std::function<void()> quit, QWidget *parent)
    : QMainWindow(parent)
    , m_login(login)
    , m_access(access)
    , m_help(help)
    , m_messages(messages)
    , m_quit(std::move(quit))
{
    buildForm();
    FormCreate();
}

void TForm1::buildForm()
{
    setObjectName("TForm1");
    setWindowTitle("АРМ \"Оперативный возар\"");
    // A minimise button and no maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setHelpTopic(this, HelpWindow::MainWindowTopic);

    auto *client = new QWidget(this);
    client->setObjectName("ClientArea");
    setCentralWidget(client);
    buildTabs();

    Label1 = new QLabel(client);
    Label1->setObjectName("Label1");
    QFont clockFont = Label1->font();
    clockFont.setPixelSize(16);
    clockFont.setBold(true);
    Label1->setFont(clockFont);
    Button3 = new QPushButton("Выход", client);
    Button3->setObjectName("Button3");
    connect(Button3, &QPushButton::clicked, this, &TForm1::close);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(Label1);
    bottom->addStretch();
    bottom->addWidget(Button3);
    auto *layout = new QVBoxLayout(client);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(bottom);

    buildMenu();

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    Timer1->start();

    resize(ClientArea.width(), ClientArea.height() + menuBar()->sizeHint().height());
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry())
                 .topLeft());
}

// The tabs are frames for now; order entry, positions and current orders fill them.
void TForm1::buildTabs()
{
    PageControl1 = new QTabWidget(centralWidget());
    PageControl1->setObjectName("PageControl1");
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName("TabSheet1");
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName("TabSheet2");
    TabSheet3 = new QWidget;
    TabSheet3->setObjectName("TabSheet3");
    PageControl1->addTab(TabSheet1, orderIcon(), "Заказ");
    PageControl1->addTab(TabSheet2, positionsIcon(), "Расположение");
    PageControl1->addTab(TabSheet3, journalIcon(), "Журнал");

    GroupBox1 = new QGroupBox(" Местонахождение таксистов ", TabSheet2);
    GroupBox1->setObjectName("GroupBox1");
    (new QVBoxLayout(TabSheet2))->addWidget(GroupBox1);
    GroupBox2 = new QGroupBox(" Текущие заказы ", TabSheet3);
    GroupBox2->setObjectName("GroupBox2");
    (new QVBoxLayout(TabSheet3))->addWidget(GroupBox2);
    connectGuarded(PageControl1, &QTabWidget::currentChanged, this, m_messages, [this] { mesto(); });
}

void TForm1::setTabContents(const TabContents &tabs)
{
    const auto place = [](QWidget *contents, QWidget *container) {
        if (contents != nullptr)
            (new QVBoxLayout(container))->addWidget(contents);
    };
    // The order tab draws its own frame; the other two sit in the frames of their tabs.
    place(tabs.orderEntry, TabSheet1);
    if (TabSheet1->layout() != nullptr)
        TabSheet1->layout()->setContentsMargins(QMargins());
    place(tabs.positions, GroupBox1);
    place(tabs.currentOrders, GroupBox2);
    if (tabs.orderEntry != nullptr) {
        // While an order is entered the other tabs are disabled, and so are the filters they switch.
        connect(tabs.orderEntry, &OrderEntryTab::editingChanged, this, [this](bool editing) {
            PageControl1->setTabEnabled(1, !editing);
            PageControl1->setTabEnabled(2, !editing);
        });
    }
}

void TForm1::setSwitchedDatasets(Dataset &streets, Dataset &queue, Dataset &currentOrders)
{
    m_streets = &streets;
    m_queue = &queue;
    m_currentOrders = &currentOrders;
}

void TForm1::setShownWindows(const ShownWindows &windows)
{
    m_windows = windows;
    // formHide: the queue window closed by its own button unticks its menu item.
    if (m_windows.queue != nullptr)
        connect(m_windows.queue, &TForm25::hidden, N29, [this] { N29->setChecked(false); });
}

// Order entry works on the streets of the pick-up district and its queue; the other tabs show
// every queue record, and the current orders as they are now.
void TForm1::mesto()
{
    if (m_streets == nullptr)
        return; // before the data module exists
    const int shown = PageControl1->currentIndex();
    m_streets->setFiltered(shown == 0);
    m_queue->setFiltered(shown == 0);
    if (shown == 2)
        m_currentOrders->refresh();
}

// A window that lists every street has closed. Where order entry lists the streets of one district the
// filter is on again with its text; behind the other tabs it stays off, as switching to them left it,
// for the current orders show streets of every district through it.
void TForm1::streetFilterBack(Dataset &streets)
{
    streets.setFiltered(PageControl1->currentIndex() == 0);
}

QAction *TForm1::item(QMenu *menu, const char *name, const QString &text, void (TForm1::*handler)())
{
    QAction *action = menu->addAction(text);
    action->setObjectName(name);
    connectGuarded(action, &QAction::triggered, this, m_messages, [this, handler] { (this->*handler)(); });
    return action;
}

void TForm1::buildMenu()
{
    MenuFile = menuBar()->addMenu("Файл");
    N21 = item(MenuFile, "N21", "Завершение смены", &TForm1::N21Click);
    MenuFile->addSeparator();
    N19 = item(MenuFile, "N19", "Выход", &TForm1::N19Click);

    MenuTaxi = menuBar()->addMenu("Такси");
    N5 = item(MenuTaxi, "N5", "Список такси", &TForm1::N5Click);
    N8 = item(MenuTaxi, "N8", "График работы", &TForm1::N8Click);
    MenuTaxi->addSeparator();
    N7 = item(MenuTaxi, "N7", "Диспетчер", &TForm1::N7Click);

    MenuJournals = menuBar()->addMenu("Журналы");
    N11 = item(MenuJournals, "N11", "Журнал заказов", &TForm1::N11Click);

    MenuReports = menuBar()->addMenu("Отчёты");
    N1111 = item(MenuReports, "N1111", "По заказам на дату", &TForm1::N1111Click);

    MenuSettings = menuBar()->addMenu("Настройки");
    N6 = item(MenuSettings, "N6", "Схема города", &TForm1::N6Click);
    MenuSettings->addSeparator();
    N26 = item(MenuSettings, "N26", "Тарифы", &TForm1::N26Click);
    MenuSettings->addSeparator();
    N29 = item(MenuSettings, "N29", "Внешняя очередь", &TForm1::N29Click);
    N29->setCheckable(true);
    MenuSettings->addSeparator();
    N13 = item(MenuSettings, "N13", "Таблица цветов", &TForm1::N13Click);
    N15 = item(MenuSettings, "N15", "Список автомобилей", &TForm1::N15Click);
    MenuSettings->addSeparator();
    N17 = item(MenuSettings, "N17", "Безопасность", &TForm1::N17Click);
    MenuSettings->addSeparator();
    N9 = item(MenuSettings, "N9", "Календарь", &TForm1::N9Click);

    MenuHelp = menuBar()->addMenu("Справка");
    N24 = item(MenuHelp, "N24", "Справка", &TForm1::N24Click);
    MenuHelp->addSeparator();
    N25 = item(MenuHelp, "N25", "Соглашение", &TForm1::N25Click);
    MenuHelp->addSeparator();
    N23 = item(MenuHelp, "N23", "О программе", &TForm1::N23Click);

    MenuFile->menuAction()->setObjectName("MenuFile");
    MenuTaxi->menuAction()->setObjectName("MenuTaxi");
    MenuJournals->menuAction()->setObjectName("MenuJournals");
    MenuReports->menuAction()->setObjectName("MenuReports");
    MenuSettings->menuAction()->setObjectName("MenuSettings");
    MenuHelp->menuAction()->setObjectName("MenuHelp");

    // Hidden and disabled in ordinary mode; the separators stay.
    for (QAction *adminOnly : {MenuTaxi->menuAction(), N5, N8, N7, N6, N26, N13, N15})
        m_access.addAdminAction(adminOnly);
}

void TForm1::FormCreate()
{
    PageControl1->setCurrentIndex(0);
}

void TForm1::Timer1Timer()
{
    const QDateTime now = Clock::now();
    Label1->setText(ValueText::formatDate(now.date()) + ' ' + ValueText::formatTime(now.time()));
}

// The system command to minimise or to maximise hides the window to the tray instead.
void TForm1::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    const Qt::WindowStates state = windowState();
    const bool maximised = state.testFlag(Qt::WindowMaximized) || state.testFlag(Qt::WindowFullScreen);
    const bool minimised = state.testFlag(Qt::WindowMinimized);
    if (!maximised && !(minimised && m_hidesToTray))
        return;
    setWindowState(state & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    if (m_hidesToTray)
        hide();
}

// QueryClose, then ssdf.
void TForm1::closeEvent(QCloseEvent *event)
{
    if (m_messages.ask("Подтверждение выхода", " Действительно хотите выйти? ") != Messages::Answer::Yes) {
        event->ignore();
        return;
    }
    event->accept();
    ssdf();
}

void TForm1::ssdf()
{
    m_quit();
}

// End of shift: the next dispatcher logs in; the tabs and the data stay as they are.
void TForm1::N21Click()
{
    hide();
    m_login.Edit1->clear();
    m_login.show();
}

void TForm1::N19Click()
{
    close();
}

// An administrator's handler checks the right itself, whatever path reaches it.

// The drivers' address drop-down offers the streets of every district while the list is open; after
// it the street filter is on again with its last text.
void TForm1::N5Click() // "Список такси"
{
    if (!m_access.check_adm() || m_windows.dataModule == nullptr)
        return;
    TDataModule2 &dm = *m_windows.dataModule;
    dm.Table5->setFiltered(false);
    {
        TForm4 driverData(dm, *m_windows.calendar, m_windows.carModels, m_windows.colours, m_messages, this);
        TForm3 driversList(dm, driverData, *m_windows.shift, m_messages, this);
        setHelpTopic(&driverData, HelpWindow::RegistersTopic);
        setHelpTopic(&driversList, HelpWindow::RegistersTopic);
        driversList.exec();
    }
    streetFilterBack(*dm.Table5);
}

void TForm1::N8Click() // "График работы"
{
    if (!m_access.check_adm() || m_windows.dataModule == nullptr)
        return;
    TForm9 schedule(*m_windows.dataModule, *m_windows.shift, m_messages, this);
    schedule.exec();
}

void TForm1::N7Click() // "Диспетчер"
{
    if (!m_access.check_adm() || m_windows.dataModule == nullptr)
        return;
    TDataModule2 &dm = *m_windows.dataModule;
    dm.Table5->setFiltered(false);
    {
        TForm8 staffData(dm, *m_windows.calendar, m_messages, this);
        TForm7 staffList(dm, staffData, m_messages, this);
        setHelpTopic(&staffData, HelpWindow::RegistersTopic);
        setHelpTopic(&staffList, HelpWindow::RegistersTopic);
        staffList.exec();
    }
    streetFilterBack(*dm.Table5);
}

// Every order's pick-up street shows in the journal while it is open.
void TForm1::N11Click() // "Журнал заказов"
{
    if (m_windows.dataModule == nullptr || m_windows.journal == nullptr)
        return;
    Dataset &streets = *m_windows.dataModule->Table5;
    streets.setFiltered(false);
    m_windows.journal->exec();
    streetFilterBack(streets);
}

// The report layout and the date window live only while the item runs.
void TForm1::N1111Click() // "По заказам на дату"
{
    if (m_windows.dataModule == nullptr || m_windows.calendar == nullptr || m_windows.tariff == nullptr)
        return;
    TForm15 layout(*m_windows.dataModule, m_messages);
    TForm20 reportDate(layout, *m_windows.calendar, *m_windows.tariff, m_messages, this);
    reportDate.exec();
}

// The city structure window switches the street filter itself while it is shown.
void TForm1::N6Click() // "Схема города"
{
    if (!m_access.check_adm() || m_windows.dataModule == nullptr || m_windows.streetDialog == nullptr)
        return;
    {
        TForm5 cityStructure(*m_windows.dataModule, *m_windows.streetDialog, m_messages, this);
        cityStructure.exec();
    }
    streetFilterBack(*m_windows.dataModule->Table5);
}

void TForm1::N26Click()
{
    if (!m_access.check_adm() || m_windows.tariff == nullptr)
        return;
    m_windows.tariff->exec();
}

// The item has ticked or unticked itself already.
void TForm1::N29Click()
{
    if (m_windows.queue != nullptr)
        m_windows.queue->setVisible(N29->isChecked());
}

void TForm1::N13Click() // "Таблица цветов"
{
    if (!m_access.check_adm() || m_windows.colours == nullptr)
        return;
    m_windows.colours->exec();
}

void TForm1::N15Click() // "Список автомобилей"
{
    if (!m_access.check_adm() || m_windows.carModels == nullptr)
        return;
    m_windows.carModels->exec();
}

void TForm1::N17Click()
{
    if (m_windows.access != nullptr)
        m_windows.access->exec();
}

void TForm1::N9Click()
{
    if (m_windows.calendar != nullptr)
        m_windows.calendar->exec();
}

void TForm1::N24Click()
{
    m_help.showTopic(HelpWindow::ContentsTopic);
}

void TForm1::N25Click()
{
    TForm12 agreement(this);
    agreement.exec();
}

void TForm1::N23Click()
{
    TForm21 about(this);
    about.exec();
}
