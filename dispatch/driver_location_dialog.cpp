#include "dispatch/driver_location_dialog.h"

#include "data/data_module.h"
#include "dispatch/dispatch_look.h"
#include "ui/db_controls.h"
#include "ui/error_guard.h"
#include "ui/messages.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

TForm13::TForm13(TDataModule2 &dm, Messages &messages, QWidget *parent)
    : QDialog(parent)
    , m_dm(dm)
    , m_messages(messages)
{
    buildForm();
}

void TForm13::buildForm()
{
    setObjectName("TForm13");
    setWindowTitle("Местонахождение таксистов");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    DataSource *queue = m_dm.DSVozy_Raion;

    DBLookupListBox1 = new DBLookupListBox(queue, "TTVozyNumber", m_messages, this);
    DBLookupListBox1->setObjectName("DBLookupListBox1");
    DBLookupListBox1->setFixedWidth(70);
    DBLookupListBox2 = new DBLookupListBox(queue, "TTVozy", m_messages, this);
    DBLookupListBox2->setObjectName("DBLookupListBox2");
    DBLookupListBox2->setFixedWidth(140);

    GroupBox1 = new QGroupBox(" Инфомация ", this);
    GroupBox1->setObjectName("GroupBox1");
    Label1 = captionLabel("Label1", "Номер:", GroupBox1);
    DBText1 = valueText("DBText1", queue, "TTVozyNumber", GroupBox1);
    Label2 = captionLabel("Label2", "Машина:", GroupBox1);
    DBText2 = valueText("DBText2", queue, "TVozyAuto", GroupBox1);
    Label3 = captionLabel("Label3", "Номер:", GroupBox1);
    DBText3 = valueText("DBText3", queue, "TTNumberAutoTaxi", GroupBox1);

    GroupBox2 = new QGroupBox(" Местонахождение ", this);
    GroupBox2->setObjectName("GroupBox2");
    DBLookupComboBox1 = new DBLookupComboBox(queue, "TTRaion", m_messages, GroupBox2);
    DBLookupComboBox1->setObjectName("DBLookupComboBox1");

    Label4 = captionLabel("Label4", "Текущее состояние:", this);
    DBCheckBox1 = new DBCheckBox(queue, "Status", "Занят", m_messages, this);
    DBCheckBox1->setObjectName("DBCheckBox1");

    Button1 = new QPushButton("Ок", this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    Button2 = new QPushButton("Отмена", this);
    Button2->setObjectName("Button2");
    Button2->setAutoDefault(false);
    connectGuarded(Button1, &QPushButton::clicked, this, m_messages, [this] { Button1Click(); });
    connectGuarded(Button2, &QPushButton::clicked, this, m_messages, [this] { Button2Click(); });

    addCaptionedRows(new QGridLayout(GroupBox1), {{Label1, DBText1}, {Label2, DBText2}, {Label3, DBText3}});
    (new QVBoxLayout(GroupBox2))->addWidget(DBLookupComboBox1);

    auto *state = new QHBoxLayout;
    state->addWidget(Label4);
    state->addWidget(DBCheckBox1);
    state->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);

    auto *right = new QVBoxLayout;
    right->addWidget(GroupBox1);
    right->addWidget(GroupBox2);
    right->addLayout(state);
    right->addStretch();
    right->addLayout(buttons);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(DBLookupListBox1);
    layout->addWidget(DBLookupListBox2);
    layout->addSpacing(6);
    layout->addLayout(right);
    GroupBox1->setMinimumWidth(220);
    DBLookupListBox1->setMinimumHeight(230);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(DBLookupListBox1, DBLookupListBox2);
    setTabOrder(DBLookupListBox2, DBLookupComboBox1);
    setTabOrder(DBLookupComboBox1, DBCheckBox1);
    setTabOrder(DBCheckBox1, Button1);
    setTabOrder(Button1, Button2);
}

void TForm13::setDriverListsEnabled(bool enabled)
{
    DBLookupListBox1->setEnabled(enabled);
    DBLookupListBox2->setEnabled(enabled);
}

void TForm13::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    m_mayClose = false;
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry())
                 .topLeft());
}

void TForm13::reject()
{
    if (m_mayClose)
        QDialog::reject();
}

void TForm13::Button1Click()
{
    Dataset &queue = *m_dm.Vozy_raion;
    if (queue.isNull("Raion")) {
        m_messages.inform("Не указано местонахождение таксиста!");
        return;
    }
    if (queue.isNull("Vozy")) {
        m_messages.inform("Не указан таксист!");
        return;
    }
    // Stored before the dialog may close: a record the store refuses keeps the dialog, and with it
    // the only ways out, "Ок" and "Отмена".
    queue.post();
    m_mayClose = true;
    accept();
}

void TForm13::Button2Click()
{
    m_dm.Vozy_raion->cancel();
    m_mayClose = true;
    reject();
}
