#include "registers/street_dialog.h"

#include "data/data_module.h"
#include "ui/db_controls.h"
#include "ui/error_guard.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TForm6::TForm6(TDataModule2 &dm, Messages &messages, QWidget *parent)
    : QDialog(parent)
    , m_dm(dm)
    , m_messages(messages)
{
    buildForm();
}

void TForm6::buildForm()
{
    setObjectName("TForm6");
    setWindowTitle("Схема города");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    DBLookupComboBox1 = new DBLookupComboBox(m_dm.DSUlica, "Raion", m_messages, this);
    DBLookupComboBox1->setObjectName("DBLookupComboBox1");
    DBEdit1 = new DBEdit(m_dm.DSUlica, "Ulica", m_messages, this);
    DBEdit1->setObjectName("DBEdit1");
    Label1 = new QLabel("Район:", this);
    Label1->setObjectName("Label1");
    Label1->setBuddy(DBLookupComboBox1);
    Label2 = new QLabel("Улица:", this);
    Label2->setObjectName("Label2");
    Label2->setBuddy(DBEdit1);

    // Enter in the name or the district stores the street, as the button does.
    Button1 = new QPushButton("Сохранить", this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    connectGuarded(Button1, &QPushButton::clicked, this, m_messages, [this] { Button1Click(); });

    auto *fields = new QGridLayout;
    fields->addWidget(Label1, 0, 0);
    fields->addWidget(DBLookupComboBox1, 0, 1);
    fields->addWidget(Label2, 1, 0);
    fields->addWidget(DBEdit1, 1, 1);
    fields->setColumnStretch(1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addLayout(buttons);
    setFixedSize(290, 124);

    setTabOrder(DBEdit1, DBLookupComboBox1);
    setTabOrder(DBLookupComboBox1, Button1);
}

void TForm6::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    DBEdit1->setFocus(Qt::OtherFocusReason);
}

// Stores the pending street; with nothing pending the store refuses and the dialog stays open.
void TForm6::Button1Click()
{
    m_dm.Table5->post();
    close();
}
