#include "registers/driver_data_window.h"

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

constexpr QSize ClientArea(546, 330);

} // namespace

TForm4::TForm4(TDataModule2 &dm, TForm10 &calendar, QDialog *carModels, QDialog *colours, Messages &messages,
               QWidget *parent)
    : QDialog(parent)
    , m_dm(dm)
    , m_calendar(calendar)
    , m_carModels(carModels)
    , m_colours(colours)
    , m_messages(messages)
{
    buildForm();
}

void TForm4::buildForm()
{
    setObjectName("TForm4");
    setDialogFrame(this, "Данные таксистов");

    const NameLines lines = nameLines(m_dm.DSTaxist, "Familiya", m_messages, this);
    Label1 = lines.numberCaption;
    DBEdit1 = lines.number;
    DBEdit2 = lines.surname;
    DBEdit3 = lines.name;
    DBEdit4 = lines.patronymic;

    buildCar();
    buildPassport();
    buildAddress();

    Button4 = button("Button4", "Ок", this);
    connectGuarded(Button4, &QPushButton::clicked, this, m_messages, [this] { Button4Click(); });

    auto *top = new QHBoxLayout;
    top->addLayout(lines.layout, 1);
    top->addWidget(GroupBox1, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(Button4);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(GroupBox2);
    layout->addWidget(GroupBox3);
    layout->addLayout(bottom);

    setKeyboardOrder();
    setFixedSize(ClientArea.expandedTo(minimumSizeHint()));
}

void TForm4::buildCar()
{
    GroupBox1 = new QGroupBox(" Автомашина ", this);
    GroupBox1->setObjectName("GroupBox1");
    DBLookupComboBox1 = lookupBox("DBLookupComboBox1", m_dm.DSTaxist, "Auto", m_messages, GroupBox1);
    Button1 = plusButton("Button1", GroupBox1);
    DBLookupComboBox2 = lookupBox("DBLookupComboBox2", m_dm.DSTaxist, "color", m_messages, GroupBox1);
    Button2 = plusButton("Button2", GroupBox1);
    DBEdit5 = edit("DBEdit5", m_dm.DSTaxist, "NumberAuto", m_messages, GroupBox1);
    connectGuarded(Button1, &QPushButton::clicked, this, m_messages, [this] { Button1Click(); });
    connectGuarded(Button2, &QPushButton::clicked, this, m_messages, [this] { Button2Click(); });

    auto *car = new QGridLayout(GroupBox1);
    car->addWidget(caption("Label5", "Тип:", DBLookupComboBox1, GroupBox1), 0, 0);
    car->addWidget(DBLookupComboBox1, 0, 1);
    car->addWidget(Button1, 0, 2);
    car->addWidget(caption("Label6", "Цвет:", DBLookupComboBox2, GroupBox1), 1, 0);
    car->addWidget(DBLookupComboBox2, 1, 1);
    car->addWidget(Button2, 1, 2);
    car->addWidget(caption("Label7", "Номер:", DBEdit5, GroupBox1), 2, 0);
    car->addWidget(DBEdit5, 2, 1);
    car->setColumnStretch(1, 1);
}

void TForm4::buildPassport()
{
    GroupBox2 = new QGroupBox(" Паспортные данные ", this);
    GroupBox2->setObjectName("GroupBox2");
    DataSource *driver = m_dm.DSTaxist;
    DBEdit6 = digitsEdit("DBEdit6", driver, "NumberPasport", m_messages, GroupBox2);
    DBEdit7 = digitsEdit("DBEdit7", driver, "SeriyaPasport", m_messages, GroupBox2);
    DBEdit8 = dateEdit("DBEdit8", driver, "DenyRogdeniya", m_messages, GroupBox2);
    Button3 = plusButton("Button3", GroupBox2);
    DBEdit9 = edit("DBEdit9", driver, "KemVidan", m_messages, GroupBox2);
    DBEdit10 = dateEdit("DBEdit10", driver, "DataVidachi", m_messages, GroupBox2);
    Button5 = plusButton("Button5", GroupBox2);
    connectGuarded(Button3, &QPushButton::clicked, this, m_messages, [this] { Button3Click(); });
    connectGuarded(Button5, &QPushButton::clicked, this, m_messages, [this] { Button5Click(); });

    auto *passport = new QGridLayout(GroupBox2);
    passport->addWidget(caption("Label8", "Номер:", DBEdit6, GroupBox2), 0, 0);
    passport->addWidget(DBEdit6, 0, 1);
    passport->addWidget(caption("Label9", "Серия:", DBEdit7, GroupBox2), 0, 2);
    passport->addWidget(DBEdit7, 0, 3);
    passport->addWidget(caption("Label10", "День рождения:", DBEdit8, GroupBox2), 0, 4);
    passport->addWidget(DBEdit8, 0, 5);
    passport->addWidget(Button3, 0, 6);
    passport->addWidget(caption("Label11", "Выдан:", DBEdit9, GroupBox2), 1, 0);
    passport->addWidget(DBEdit9, 1, 1, 1, 3);
    passport->addWidget(caption("Label12", "Дата выдачи:", DBEdit10, GroupBox2), 1, 4);
    passport->addWidget(DBEdit10, 1, 5);
    passport->addWidget(Button5, 1, 6);
    passport->setColumnStretch(1, 1);
    passport->setColumnStretch(3, 1);
    passport->setColumnStretch(5, 1);
}

void TForm4::buildAddress()
{
    GroupBox3 = new QGroupBox(" Прописка ", this);
    GroupBox3->setObjectName("GroupBox3");
    DataSource *driver = m_dm.DSTaxist;
    DBLookupComboBox3 = lookupBox("DBLookupComboBox3", m_dm.DSTaxist, "Gorod", m_messages, GroupBox3);
    DBLookupComboBox4 = lookupBox("DBLookupComboBox4", m_dm.DSTaxist, "Ulica", m_messages, GroupBox3);
    DBEdit11 = digitsEdit("DBEdit11", driver, "Dom", m_messages, GroupBox3);
    DBEdit12 = digitsEdit("DBEdit12", driver, "Kvartira", m_messages, GroupBox3);
    DBEdit13 = digitsEdit("DBEdit13", driver, "Telephone", m_messages, GroupBox3);

    auto *address = new QGridLayout(GroupBox3);
    address->addWidget(caption("Label13", "Город:", DBLookupComboBox3, GroupBox3), 0, 0);
    address->addWidget(DBLookupComboBox3, 0, 1, 1, 3);
    address->addWidget(caption("Label14", "Улица:", DBLookupComboBox4, GroupBox3), 0, 4);
    address->addWidget(DBLookupComboBox4, 0, 5);
    address->addWidget(caption("Label15", "Дом:", DBEdit11, GroupBox3), 1, 0);
    address->addWidget(DBEdit11, 1, 1);
    address->addWidget(caption("Label16", "Квартира:", DBEdit12, GroupBox3), 1, 2);
    address->addWidget(DBEdit12, 1, 3);
    address->addWidget(caption("Label17", "Телефон:", DBEdit13, GroupBox3), 1, 4);
    address->addWidget(DBEdit13, 1, 5);
    address->setColumnStretch(1, 1);
    address->setColumnStretch(3, 1);
    address->setColumnStretch(5, 2);
}

// Names first, then the passport, the address, and the car last.
void TForm4::setKeyboardOrder()
{
    RegisterForm::setKeyboardOrder({DBEdit1, DBEdit2, DBEdit3, DBEdit4,
                                    // passport
                                    DBEdit6, DBEdit7, DBEdit9, DBEdit8, DBEdit10, Button3, Button5,
                                    // address
                                    DBLookupComboBox3, DBLookupComboBox4, DBEdit11, DBEdit12, DBEdit13,
                                    // car
                                    DBLookupComboBox1, DBLookupComboBox2, DBEdit5, Button1, Button2,
                                    Button4});
}

void TForm4::Button1Click()
{
    // The model drop-down follows the models' table, so it offers what the window left there.
    if (m_carModels != nullptr)
        m_carModels->exec();
}

void TForm4::Button2Click()
{
    if (m_colours != nullptr)
        m_colours->exec();
}

void TForm4::Button3Click()
{
    pickDate(m_calendar, DBEdit8);
}

void TForm4::Button5Click()
{
    pickDate(m_calendar, DBEdit10);
}

void TForm4::Button4Click()
{
    m_dm.Table1->post();
    accept();
}
