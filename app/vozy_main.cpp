#include "app/vozy_main.h"

#include "app/access_modes.h"
#include "app/access_window.h"
#include "app/help_keys.h"
#include "app/login_window.h"
#include "app/main_window.h"
#include "data/data_error.h"
#include "data/data_module.h"
#include "data/database.h"
#include "data/store_lock.h"
#include "dispatch/current_orders_tab.h"
#include "dispatch/current_orders_view.h"
#include "dispatch/driver_location_dialog.h"
#include "dispatch/order_entry.h"
#include "dispatch/positions_tab.h"
#include "dispatch/queue_window.h"
#include "dispatch/shift_dialog.h"
#include "dispatch/tariff_window.h"
#include "help/help_window.h"
#include "platform/settings_registry.h"
#include "registers/calendar_window.h"
#include "registers/car_models_window.h"
#include "registers/colours_window.h"
#include "registers/street_dialog.h"
#include "reports/journal_window.h"
#include "ui/messages.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QPainter>
#include <QTranslator>

namespace {

// The application's icon, drawn: a taxi's roof sign, yellow with a black checker band.
QIcon applicationIcon()
{
    QIcon icon;
    for (const int side : {16, 32, 64}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const double unit = side / 16.0;
        const QRectF sign(1 * unit, 4 * unit, 14 * unit, 8 * unit);
        painter.setPen(QPen(QColor(60, 50, 0), unit * 0.75));
        painter.setBrush(QColor(250, 200, 20));
        painter.drawRoundedRect(sign, 2 * unit, 2 * unit);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        for (int column = 0; column < 6; ++column) {
            for (int row = 0; row < 2; ++row) {
                if ((column + row) % 2 == 0)
                    painter.drawRect(
                        QRectF((2 + 2 * column) * unit, (6 + 2 * row) * unit, 2 * unit, 2 * unit));
            }
        }
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

void setUpApplication(QApplication &app)
{
    // No display name: the window system would append it to every caption ("Вход — АРМ ..."); the
    // title captions the messages instead (applicationTitle()).
    QApplication::setOrganizationName("Lumivark");
    QApplication::setApplicationName("ARM_Vozy");
    QApplication::setWindowIcon(applicationIcon());
    QApplication::setQuitOnLastWindowClosed(false);

    // A system that names no locale (C or POSIX, as a fresh Debian) would show English dates and
    // numbers inside a Russian interface; it gets Russian. A named locale is the user's choice.
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));

    auto *translator = new QTranslator(&app);
    // The interface is Russian whatever the system's language, and so are Qt's own buttons and dialogs.
    if (translator->load("qtbase_ru", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);

    initHelpResources();
}

Workstation::Workstation(const QString &workingDir, Messages &messages, std::function<void()> quit)
    : m_messages(messages)
    , m_access(std::make_unique<AccessLevel>())
    , m_help(std::make_unique<HelpWindow>())
    , m_helpKeys(std::make_unique<HelpKeys>(*m_help))
{
    QString storeError;
    try {
        // A server's store is shared by every workstation; a file, by one copy of the program.
        const QString server = db_server();
        if (!server.isEmpty()) {
            m_store = Database::openServer(server);
        } else {
            const QString storeFile = Database::storeFile(workingDir);
            m_storeLock = std::make_unique<StoreLock>(storeFile);
            m_store = Database::open(storeFile);
        }
    } catch (const DataError &error) {
        // Reported where the data module opens its tables; the login only finds no users.
        storeError = error.message();
    }

    m_login = std::make_unique<TForm0>(m_store.get(), *m_access, m_messages, quit);
    m_main = std::make_unique<TForm1>(*m_login, *m_access, *m_help, m_messages, quit);
    m_main->setHidesToTray(m_login->hasTrayIcon());
    m_login->setMainWindow(m_main.get());

    try {
        if (m_store == nullptr)
            throw DataError(storeError);
        m_dataModule = std::make_unique<TDataModule2>(*m_store);
    } catch (const DataError &error) {
        m_messages.error(error.message());
        return;
    }

    createShownWindows();
    qApp->installEventFilter(m_helpKeys.get());
    m_started = true;
    m_login->show();
}

Workstation::~Workstation() = default;

// The windows that live for the whole run and are only shown by the menu or by another window, in
// the order of start-up:
//   TForm6, TForm10, TForm11, TForm13, TForm14, TForm16, TForm17, TForm18, TForm23, TForm25.
// The journal window's current-orders view is created with it. The main window's tabs need that
// view, the driver location dialog and the tariff, and the queue window needs the tabs.
void Workstation::createShownWindows()
{
    m_streetDialog = std::make_unique<TForm6>(*m_dataModule, m_messages, m_main.get());
    m_calendarWindow = std::make_unique<TForm10>(m_main.get());
    m_shiftWindow = std::make_unique<TForm11>(*m_dataModule, m_messages, m_main.get());
    m_locationDialog = std::make_unique<TForm13>(*m_dataModule, m_messages, m_main.get());
    m_currentOrders = std::make_unique<CurrentOrdersView>(*m_dataModule);
    m_journalWindow = std::make_unique<TForm14>(m_currentOrders->Table1, m_currentOrders->DataSource1,
                                                *m_dataModule, *m_access, m_messages, m_main.get());
    m_carModelsWindow = std::make_unique<TForm16>(*m_dataModule, m_messages, m_main.get());
    m_coloursWindow = std::make_unique<TForm17>(*m_dataModule, m_messages, m_main.get());
    m_accessWindow = std::make_unique<TForm18>(*m_dataModule, *m_access, m_messages, m_main.get());
    m_tariffWindow = std::make_unique<TForm23>(m_messages, m_main.get());
    fillTabs();
    m_queueWindow = std::make_unique<TForm25>(*m_dataModule, *m_positions, *m_currentOrders->Table1,
                                              m_messages, m_main.get());

    m_main->setShownWindows({.dataModule = m_dataModule.get(),
                             .streetDialog = m_streetDialog.get(),
                             .calendar = m_calendarWindow.get(),
                             .shift = m_shiftWindow.get(),
                             .journal = m_journalWindow.get(),
                             .carModels = m_carModelsWindow.get(),
                             .colours = m_coloursWindow.get(),
                             .access = m_accessWindow.get(),
                             .tariff = m_tariffWindow.get(),
                             .queue = m_queueWindow.get()});
    m_login->setTariffWindow(m_tariffWindow.get());
}

void Workstation::fillTabs()
{
    AccessLevel *access = m_access.get();
    m_orderEntry = new OrderEntryTab(
        *m_dataModule, *m_tariffWindow, [access] { return access->operatorId(); }, m_messages);
    m_positions = new PositionsTab(*m_dataModule, *m_locationDialog, m_messages);
    m_main->setTabContents(
        {.orderEntry = m_orderEntry,
         .positions = m_positions,
         .currentOrders = new CurrentOrdersTab(m_currentOrders->DataSource1, *m_dataModule, m_messages)});
    m_main->setSwitchedDatasets(*m_dataModule->Table5, *m_dataModule->Vozy_raion, *m_currentOrders->Table1);
}

int vozyMain(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpApplication(app);

    MessageBoxes messages;
    Workstation workstation(QDir::currentPath(), messages, [] { QCoreApplication::exit(0); });
    if (!workstation.started())
        return 1;
    return QApplication::exec();
}
