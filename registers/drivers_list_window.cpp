#include "registers/drivers_list_window.h"

#include "data/data_module.h"
#include "dispatch/shift_dialog.h"
#include "registers/driver_data_window.h"
#include "registers/register_form.h"
#include "ui/db_grid.h"
#include "ui/error_guard.h"
#include "ui/messages.h"

#include <QHeaderView>
#include <QPushButton>

using namespace RegisterForm;

namespace {

constexpr QSize ClientArea(674, 425);

} // namespace

TForm3::TForm3(TDataModule2 &dm, TForm4 &driverData, TForm11 &shift, Messages &messages, QWidget *parent)
    : QDialog(parent)
    , m_dm(dm)
    , m_driverData(driverData)
    , m_shift(shift)
    , m_messages(messages)
{
    buildForm();
}

void TForm3::buildForm()
{
    setObjectName("TForm3");
    setDialogFrame(this, "Список таксистов");

    DBGrid1 = new DBGrid(m_dm.DSTaxist,
                         {{"Номер", "Number"},
                          {"Фамилия", "Familiya"},
                          {"Имя", "Name"},
                          {"Отчество", "Otchestvo"},
                          {"Машина", "Auto"},
                          {"Номер", "NumberAuto"}},
                         m_messages, this);
    DBGrid1->setObjectName("DBGrid1");
    const int widths[] = {60, 140, 110, 120, 120};
    for (int column = 0; column < int(std::size(widths)); ++column)
        DBGrid1->setColumnWidth(column, widths[column]);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);

    Button1 = button("Button1", "Добавить", this);
    Button3 = button("Button3", "Изменить", this);
    Button2 = button("Button2", "Удалить", this);
    Button4 = button("Button4", "Ок", this);
    connectGuarded(Button1, &QPushButton::clicked, this, m_messages, [this] { Button1Click(); });
    connectGuarded(Button3, &QPushButton::clicked, this, m_messages, [this] { Button3Click(); });
    connectGuarded(Button2, &QPushButton::clicked, this, m_messages, [this] { Button2Click(); });
    connect(Button4, &QPushButton::clicked, this, &TForm3::accept);

    layOutList(this, DBGrid1, Button1, Button3, Button2, Button4);
    setFixedSize(ClientArea);
}

void TForm3::Button1Click()
{
    Dataset &drivers = *m_dm.Table1;
    drivers.append();
    m_driverData.exec();
    // Closed by its title-bar button, the data window stored nothing: the driver is still pending
    // and has no Id yet, and a shift begun now would belong to nobody.
    if (drivers.state() != Dataset::State::Browse)
        return;
    Dataset &schedule = *m_dm.Grafic;
    schedule.append();
    schedule.setValue("IdTaxist", drivers.value("Id"));
    m_shift.exec();
}

void TForm3::Button3Click()
{
    editInWindow(*m_dm.Table1, m_driverData);
}

void TForm3::Button2Click()
{
    Dataset &drivers = *m_dm.Table1;
    if (drivers.isEmpty())
        return;
    // The driver's shifts, queue places and orders stay; they show him empty from now on.
    if (m_messages.confirmDeletion(Messages::driverDeletionText()))
        drivers.deleteRecord();
}
