#include "registers/staff_list_window.h"

#include "data/data_module.h"
#include "registers/register_form.h"
#include "registers/staff_data_window.h"
#include "ui/db_grid.h"
#include "ui/error_guard.h"
#include "ui/messages.h"

#include <QHeaderView>
#include <QPushButton>

using namespace RegisterForm;

namespace {

constexpr QSize ClientArea(554, 401);

} // namespace

TForm7::TForm7(TDataModule2 &dm, TForm8 &staffData, Messages &messages, QWidget *parent)
    : QDialog(parent)
    , m_dm(dm)
    , m_staffData(staffData)
    , m_messages(messages)
{
    buildForm();
}

void TForm7::buildForm()
{
    setObjectName("TForm7");
    setDialogFrame(this, "Список сотрудников (диспетчеров)");

    DBGrid1 = new DBGrid(m_dm.DSSotrud,
                         {{"Номер", "Number"},
                          {"Фамилия", "Family"},
                          {"Имя", "Name"},
                          {"Отчество", "Otchestvo"},
                          {"Телефон", "Telephone"}},
                         m_messages, this);
    DBGrid1->setObjectName("DBGrid1");
    const int widths[] = {70, 120, 110, 120};
    for (int column = 0; column < int(std::size(widths)); ++column)
        DBGrid1->setColumnWidth(column, widths[column]);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);

    Button2 = button("Button2", "Добавить", this);
    Button4 = button("Button4", "Изменить", this);
    Button3 = button("Button3", "Удалить", this);
    Button1 = button("Button1", "Ок", this);
    connectGuarded(Button2, &QPushButton::clicked, this, m_messages, [this] { Button2Click(); });
    connectGuarded(Button4, &QPushButton::clicked, this, m_messages, [this] { Button4Click(); });
    connectGuarded(Button3, &QPushButton::clicked, this, m_messages, [this] { Button3Click(); });
    connect(Button1, &QPushButton::clicked, this, &TForm7::accept);

    layOutList(this, DBGrid1, Button2, Button4, Button3, Button1);
    setFixedSize(ClientArea);
}

// A new employee only: he logs in once the access-levels window gives him an entry.
void TForm7::Button2Click()
{
    m_dm.sotrud->append();
    m_staffData.exec();
}

void TForm7::Button4Click()
{
    editInWindow(*m_dm.sotrud, m_staffData);
}

void TForm7::Button3Click()
{
    Dataset &staff = *m_dm.sotrud;
    if (staff.isEmpty())
        return;
    // His access entries and the orders he took stay, and show him empty from now on.
    if (m_messages.confirmDeletion())
        staff.deleteRecord();
}
