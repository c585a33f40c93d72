#include "registers/staff_data_window.h"

#include "data/data_module.h"
#include "registers/calendar_window.h"
#include "registers/register_form.h"
#include "ui/db_controls.h"
#include "ui/error_guard.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace RegisterForm;

namespace {

constexpr QSize ClientArea(539, 289);

} // namespace

TForm8::TForm8(TDataModule2 &dm, TForm10 &calendar, Messages &messages, QWidget *parent)
    : QDialog(parent)
    , m_dm(dm)
    , m_calendar(calendar)
    , m_messages(messages)
{
    buildForm();
}

void TForm8::buildForm()
{
    setObjectName("TForm8");
    setDialogFrame(this, "Данные диспечера");

    const NameLines lines = nameLines(m_dm.DSSotrud, "Family", m_messages, this);
    Label1 = lines.numberCaption;
    DBEdit1 = lines.number;
    DBEdit2 = lines.surname;
    DBEdit3 = lines.name;
    DBEdit4 = lines.patronymic;

    buildPassport();
    buildAddress();

    DBEdit12 = digitsEdit("DBEdit12", m_dm.DSSotrud, "Telephone", m_messages, this);
    Button3 = button("Button3", "Ок", this);
    connectGuarded(Button3, &QPushButton::clicked, this, m_messages, [this] { Button3Click(); });

    auto *top = new QHBoxLayout;
    top->addLayout(lines.layout, 2);
    top->addWidget(GroupBox1, 3);
    auto *telephone = new QHBoxLayout;
    telephone->addStretch();
    telephone->addWidget(caption("Label14", "Телефон:", DBEdit12, this));
    telephone->addWidget(DBEdit12);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(Button3);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(GroupBox2);
    layout->addLayout(telephone);
    layout->addLayout(bottom);

    setKeyboardOrder({DBEdit1, DBEdit2, DBEdit3, DBEdit4,
                      // passport
                      DBEdit5, DBEdit6, DBEdit8, DBEdit7, Button1,
                      // address
                      DBLookupComboBox1, DBLookupComboBox2, DBEdit9, DBEdit10, DBEdit11, Button2,
                      // telephone
                      DBEdit12, Button3});
    setFixedSize(ClientArea.expandedTo(minimumSizeHint()));
}

void TForm8::buildPassport()
{
    GroupBox1 = new QGroupBox(" Паспортные данные ", this);
    GroupBox1->setObjectName("GroupBox1");
    DataSource *employee = m_dm.DSSotrud;
    DBEdit5 = digitsEdit("DBEdit5", employee, "NumberPasport", m_messages, GroupBox1);
    DBEdit6 = digitsEdit("DBEdit6", employee, "SeriyaPasport", m_messages, GroupBox1);
    DBEdit7 = dateEdit("DBEdit7", employee, "DataVidachi", m_messages, GroupBox1);
    Button1 = plusButton("Button1", GroupBox1);
    DBEdit8 = edit("DBEdit8", employee, "KemVidan", m_messages, GroupBox1);
    connectGuarded(Button1, &QPushButton::clicked, this, m_messages, [this] { Button1Click(); });

    auto *passport = new QGridLayout(GroupBox1);
    passport->addWidget(caption("Label5", "Номер:", DBEdit5, GroupBox1), 0, 0);
    passport->addWidget(DBEdit5, 0, 1);
    passport->addWidget(caption("Label6", "Серия:", DBEdit6, GroupBox1), 0, 2);
    passport->addWidget(DBEdit6, 0, 3, 1, 2);
    passport->addWidget(caption("Label7", "Выдан:", DBEdit8, GroupBox1), 1, 0);
    passport->addWidget(caption("Label8", "Дата выдачи:", DBEdit7, GroupBox1), 1, 1, Qt::AlignRight);
    passport->addWidget(DBEdit7, 1, 2, 1, 2);
    passport->addWidget(Button1, 1, 4);
    passport->addWidget(DBEdit8, 2, 0, 1, 5);
    passport->setColumnStretch(1, 1);
    passport->setColumnStretch(3, 1);
}

void TForm8::buildAddress()
{
    GroupBox2 = new QGroupBox(" Прописка ", this);
    GroupBox2->setObjectName("GroupBox2");
    DataSource *employee = m_dm.DSSotrud;
    DBLookupComboBox1 = lookupBox("DBLookupComboBox1", m_dm.DSSotrud, "gorod", m_messages, GroupBox2);
    DBLookupComboBox2 = lookupBox("DBLookupComboBox2", m_dm.DSSotrud, "ulica", m_messages, GroupBox2);
    DBEdit9 = digitsEdit("DBEdit9", employee, "Dom", m_messages, GroupBox2);
    DBEdit10 = digitsEdit("DBEdit10", employee, "Kvartira", m_messages, GroupBox2);
    DBEdit11 = dateEdit("DBEdit11", employee, "Denyrogedniya", m_messages, GroupBox2);
    Button2 = plusButton("Button2", GroupBox2);
    connectGuarded(Button2, &QPushButton::clicked, this, m_messages, [this] { Button2Click(); });

    auto *address = new QGridLayout(GroupBox2);
    address->addWidget(caption("Label9", "Город:", DBLookupComboBox1, GroupBox2), 0, 0);
    address->addWidget(DBLookupComboBox1, 0, 1, 1, 3);
    address->addWidget(caption("Label10", "Улица:", DBLookupComboBox2, GroupBox2), 0, 4);
    address->addWidget(DBLookupComboBox2, 0, 5, 1, 2);
    address->addWidget(caption("Label11", "Дом:", DBEdit9, GroupBox2), 1, 0);
    address->addWidget(DBEdit9, 1, 1);
    address->addWidget(caption("Label12", "Квартира:", DBEdit10, GroupBox2), 1, 2);
    address->addWidget(DBEdit10, 1, 3);
    address->addWidget(caption("Label13", "День рождения:", DBEdit11, GroupBox2), 1, 4);
    address->addWidget(DBEdit11, 1, 5);
    address->addWidget(Button2, 1, 6);
    address->setColumnStretch(1, 1);
    address->setColumnStretch(3, 1);
    address->setColumnStretch(5, 2);
}

void TForm8::Button1Click()
{
    pickDate(m_calendar, DBEdit7);
}

void TForm8::Button2Click()
{
    pickDate(m_calendar, DBEdit11);
}

void TForm8::Button3Click()
{
    m_dm.sotrud->post();
    accept();
}
