#include "app/login_window.h"

#include "app/access_modes.h"
#include "data/data_error.h"
#include "data/database.h"
#include "data/password_coder.h"
#include "dispatch/tariff_window.h"
#include "platform/alias_config.h"
#include "platform/settings_registry.h"
#include "ui/error_guard.h"
#include "ui/messages.h"
#include "ui/password_box.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSqlQuery>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const char *const ProgramKey = "Software\\Lumivark\\ARM_Vozy\\Key";

// The width of the password field of the access entries.
constexpr int PasswordLength = 15;

// The staff query: one row per access entry whose employee exists, in the entries' order.
const char *const StaffQuery = "SELECT sotrud.\"Family\", pwl.\"IdOperator\", pwl.\"Pwl\" "
                               "FROM \"pwl\" pwl, \"sotrud\" sotrud "
                               "WHERE pwl.\"IdOperator\" = sotrud.\"Id\" ORDER BY pwl.\"Id\"";

// The password query; of several entries of one employee the first decides.
const char *const PasswordQuery =
    "SELECT \"Pwl\", \"G\" FROM \"pwl\" WHERE \"IdOperator\" = ? ORDER BY \"Id\"";

} // namespace

TForm0::TForm0(Database *store, AccessLevel &access, Messages &messages, std::function<void()> quit,
               QWidget *parent)
    : QWidget(parent)
    , m_store(store)
    , m_access(access)
    , m_messages(messages)
    , m_quit(std::move(quit))
{
    buildForm();
    guarded(m_messages, [this] { FormCreate(); });
}

TForm0::~TForm0()
{
    // FormDestroy: the icon must not outlive the program in the notification area.
    if (m_tray != nullptr)
        m_tray->hide();
}

void TForm0::buildForm()
{
    setObjectName("TForm0");
    setWindowTitle("Вход");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    Label1 = new QLabel("Пользователь:", this);
    Label1->setObjectName("Label1");
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setEditable(false);
    ComboBox1->setMinimumWidth(180);
    ComboBox1->installEventFilter(this);
    ComboBox1->view()->installEventFilter(this);
    Label1->setBuddy(ComboBox1);

    ComboBox2 = new QComboBox(this);
    ComboBox2->setObjectName("ComboBox2");
    ComboBox2->hide();

    Label2 = new QLabel("Пароль:", this);
    Label2->setObjectName("Label2");
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    makePasswordBox(Edit1, PasswordLength);
    Label2->setBuddy(Edit1);

    Button1 = new QPushButton("Войти", this);
    Button1->setObjectName("Button1");
    // Not the default button: Enter in the password field must not log in.
    Button1->setAutoDefault(false);
    Button1->setDefault(false);
    connectGuarded(Button1, &QPushButton::clicked, this, m_messages, [this] { Button1Click(); });

    auto *grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(ComboBox1, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Edit1, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    adjustSize();
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry())
                 .topLeft());
}

// Each step may fail; the guard shows the error and the remaining steps are skipped.
void TForm0::FormCreate()
{
    QString directory = readreg(ProgramKey, "DataBaseDir");
    if (directory.isEmpty())
        directory = "data";
    AliasConfig aliases(AliasConfig::defaultPath());
    setup_alias(aliases, "VOZY", "PARADOX", directory);
    addTrayIcon();
    m_failures = 0;
    readStaff();
}

void TForm0::addTrayIcon()
{
    // Where the desktop has no notification area the program runs without an icon.
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = style()->standardIcon(QStyle::SP_ComputerIcon);
    m_tray = new QSystemTrayIcon(icon, this);
    m_tray->setToolTip(applicationTitle());
    connect(m_tray, &QSystemTrayIcon::activated, this, &TForm0::trayActivated);
    m_tray->show();
}

void TForm0::readStaff()
{
    ComboBox1->clear();
    ComboBox2->clear();
    if (m_store == nullptr)
        return;
    QSqlQuery query = m_store->prepare(StaffQuery);
    Database::exec(query);
    while (query.next()) {
        ComboBox1->addItem(query.value(0).toString());
        ComboBox2->addItem(query.value(1).toString());
    }
    ComboBox1->setCurrentIndex(-1);
}

void TForm0::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Restoring a minimised window is no new showing.
    if (!event->spontaneous())
        dsfgh();
}

void TForm0::dsfgh()
{
    m_failures = 0;
    if (m_tariff != nullptr)
        guarded(m_messages, [this] { m_tariff->LoadIni(); });
}

void TForm0::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_quit();
}

bool TForm0::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == ComboBox1 || watched == ComboBox1->view()) && sdf(event))
        return true;
    return QWidget::eventFilter(watched, event);
}

// A user is chosen with the mouse or the arrow keys: a typed character would pick a surname by its
// first letter, so every one is discarded, in the list and in its drop-down alike.
bool TForm0::sdf(QEvent *event) const
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const QString text = static_cast<QKeyEvent *>(event)->text();
    return !text.isEmpty() && text.at(0).isPrint();
}

void TForm0::Button1Click()
{
    const int chosen = ComboBox1->currentIndex();
    if (chosen < 0 || m_store == nullptr)
        return;
    m_access.setOperatorId(ComboBox2->itemText(chosen));

    QSqlQuery query = m_store->prepare(PasswordQuery);
    query.addBindValue(m_access.operatorId().toLongLong());
    Database::exec(query);
    // An employee whose entry was deleted after the list was built has no password left to match:
    // he may no longer log in, not even with an empty one.
    std::optional<QByteArray> stored;
    bool administrator = false;
    if (query.next()) {
        stored = query.value(0).toByteArray();
        administrator = query.value(1).toLongLong() != 0;
    }

    const std::optional<QByteArray> typed = typedPassword();
    if (!typed)
        return;
    // Byte for byte, length included.
    if (!stored || *typed != *stored) {
        m_messages.inform("          Пароль введён не верно!          ");
        ++m_failures;
        if (m_failures >= 3)
            m_quit();
        return;
    }

    if (administrator)
        m_access.adm_on();
    else
        m_access.adm_off();
    hide();
    if (m_mainWindow != nullptr) {
        m_mainWindow->show();
        m_mainWindow->raise();
        m_mainWindow->activateWindow();
    }
}

// The typed password encoded as the entries store it. A character that no stored password can hold
// is refused with its reason; it is no wrong password and is not counted as one.
std::optional<QByteArray> TForm0::typedPassword()
{
    try {
        return coder(Edit1->text());
    } catch (const DataError &error) {
        m_messages.inform(error.message() + "\nВведите пароль заново.");
        return std::nullopt;
    }
}

void TForm0::trayActivated(QSystemTrayIcon::ActivationReason reason)
{
    // While the login window is up, nobody is logged in: the tray must not open the main window.
    if (reason != QSystemTrayIcon::DoubleClick || isVisible() || m_mainWindow == nullptr)
        return;
    m_mainWindow->show();
    m_mainWindow->raise();
    m_mainWindow->activateWindow();
}

bool TForm0::check_adm() const
{
    return m_access.check_adm();
}

const QString &TForm0::operatorId() const
{
    return m_access.operatorId();
}
