#include "app/access_window.h"

#include "app/access_modes.h"
#include "app/help_keys.h"
#include "data/data_error.h"
#include "data/data_module.h"
#include "data/password_coder.h"
#include "help/help_window.h"
#include "ui/db_controls.h"
#include "ui/db_grid.h"
#include "ui/error_guard.h"
#include "ui/messages.h"
#include "ui/password_box.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

// The width of the password field of the access entries.
constexpr int PasswordLength = 15;

QPushButton *button(const char *name, const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    // Enter in a password box must not press a button.
    b->setAutoDefault(false);
    return b;
}

QLineEdit *passwordBox(const char *name, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    makePasswordBox(e, PasswordLength);
    return e;
}

QLabel *label(const char *name, const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setBuddy(buddy);
    return l;
}

} // namespace

TForm18::TForm18(TDataModule2 &dm, AccessLevel &access, Messages &messages, QWidget *parent)
    : QDialog(parent)
    , m_dm(dm)
    , m_access(access)
    , m_messages(messages)
{
    buildForm();
    m_access.addAdminDataControl(DBGrid1);
    m_access.addAdminWidget(Button3);
    m_access.addAdminWidget(Button5);
    m_access.addAdminWidget(DBCheckBox1);
}

void TForm18::buildForm()
{
    setObjectName("TForm18");
    setWindowTitle("Настройка уровней доступа");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setHelpTopic(this, HelpWindow::AccessTopic);

    GridColumn employee{"Сотрудник", "Operator"};
    employee.readOnly = false;
    DBGrid1 = new DBGrid(m_dm.DSpwl, {employee}, m_messages, this);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->setMinimumSize(200, 220);

    DBCheckBox1 = new DBCheckBox(m_dm.DSpwl, "G", "Возможность администрирования", m_messages, this);
    DBCheckBox1->setObjectName("DBCheckBox1");

    GroupBox1 = new QGroupBox(" Пароль ", this);
    GroupBox1->setObjectName("GroupBox1");
    Edit1 = passwordBox("Edit1", GroupBox1);
    Edit2 = passwordBox("Edit2", GroupBox1);
    Edit3 = passwordBox("Edit3", GroupBox1);
    Label1 = label("Label1", "Старый:", Edit1, GroupBox1);
    Label2 = label("Label2", "Новый:", Edit2, GroupBox1);
    Label3 = label("Label3", "Повтор:", Edit3, GroupBox1);
    Button1 = button("Button1", "Сменить", GroupBox1);

    Button3 = button("Button3", "Добавить", this);
    Button5 = button("Button5", "Удалить", this);
    Button2 = button("Button2", "Ок", this);

    connectGuarded(Button1, &QPushButton::clicked, this, m_messages, [this] { Button1Click(); });
    connectGuarded(Button3, &QPushButton::clicked, this, m_messages, [this] { Button3Click(); });
    connectGuarded(Button5, &QPushButton::clicked, this, m_messages, [this] { Button5Click(); });
    connect(Button2, &QPushButton::clicked, this, &TForm18::close);

    auto *password = new QGridLayout(GroupBox1);
    password->addWidget(Label1, 0, 0);
    password->addWidget(Edit1, 0, 1);
    password->addWidget(Label2, 1, 0);
    password->addWidget(Edit2, 1, 1);
    password->addWidget(Label3, 2, 0);
    password->addWidget(Edit3, 2, 1);
    password->addWidget(Button1, 3, 1, Qt::AlignRight);

    auto *entryButtons = new QHBoxLayout;
    entryButtons->addWidget(Button3);
    entryButtons->addWidget(Button5);
    entryButtons->addStretch();
    entryButtons->addWidget(Button2);

    auto *right = new QVBoxLayout;
    right->addWidget(DBCheckBox1);
    right->addWidget(GroupBox1);
    right->addStretch();
    right->addLayout(entryButtons);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(right);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TForm18::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    clearPasswords();
    guarded(m_messages, [this] { fgs(); });
}

// The workstation is shared by the dispatchers of a day: what one typed here is gone when the window
// closes, and the next one to open it finds the boxes empty.
void TForm18::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        clearPasswords();
}

void TForm18::clearPasswords()
{
    for (QLineEdit *box : {Edit1, Edit2, Edit3})
        box->clear();
}

void TForm18::fgs()
{
    Dataset &entries = *m_dm.pwl;
    if (m_access.check_adm()) {
        entries.setFiltered(false);
        return;
    }
    // The filter is built from the number alone, whatever the store held for the entry.
    entries.setFilter("IdOperator=" + QString::number(m_access.operatorId().toLongLong()));
    entries.setFiltered(true);
}

void TForm18::Button1Click()
{
    if (Edit2->text() != Edit3->text()) {
        m_messages.inform("Пароли не совпадают!");
        return;
    }
    const std::optional<QByteArray> newPassword = encoded(Edit2);
    const std::optional<QByteArray> oldPassword = encoded(Edit1);
    if (!newPassword || !oldPassword)
        return;

    Dataset &entries = *m_dm.pwl;
    const bool administrator = m_access.check_adm();
    // Editing an empty view would begin a new entry, and adding entries is an administrator's right.
    if (!administrator && entries.isEmpty()) {
        m_messages.inform("    Не правельно набран пароль!    ");
        return;
    }
    entries.edit();
    if (!administrator && entries.value("Pwl").toByteArray() != *oldPassword) {
        m_messages.inform("    Не правельно набран пароль!    ");
        entries.post();
        return;
    }
    // Stored whole: the field holds any length and any byte, so no password is cut short.
    entries.setValue("Pwl", *newPassword);
    entries.post();
    m_messages.inform("               Пароль сменён!               ");
    clearPasswords();
}

// A character that a stored password cannot hold is refused before anything is changed.
std::optional<QByteArray> TForm18::encoded(const QLineEdit *box)
{
    try {
        return coder(box->text());
    } catch (const DataError &error) {
        m_messages.inform(error.message() + "\nПароль не изменён.");
        return std::nullopt;
    }
}

void TForm18::Button3Click()
{
    // The button is hidden in ordinary mode; the right is checked here as well.
    if (!m_access.check_adm())
        return;
    m_dm.pwl->append();
}

void TForm18::Button5Click()
{
    if (!m_access.check_adm())
        return;
    Dataset &entries = *m_dm.pwl;
    if (entries.isEmpty())
        return;
    if (m_messages.confirmDeletion())
        entries.deleteRecord();
}
