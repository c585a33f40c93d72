#include "dispatch/schedule_window.h"

#include "data/data_module.h"
#include "dispatch/shift_dialog.h"
#include "ui/db_grid.h"
#include "ui/error_guard.h"
#include "ui/list_keys.h"
#include "ui/messages.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton *button(const char *name, const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

TForm9::TForm9(TDataModule2 &dm, TForm11 &shift, Messages &messages, QWidget *parent)
    : QDialog(parent)
    , m_dm(dm)
    , m_shift(shift)
    , m_messages(messages)
{
    buildForm();
}

void TForm9::buildForm()
{
    setObjectName("TForm9");
    setWindowTitle("График работы");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    DBGrid1 = new DBGrid(
        m_dm.DSGrafic,
        {{"Номер", "Number"}, {"Фамилия", "familiya"}, {"Начало", "Timestart"}, {"Конец", "Timeend"}},
        m_messages, this);
    DBGrid1->setObjectName("DBGrid1");
    const int widths[] = {70, 150, 90};
    for (int column = 0; column < int(std::size(widths)); ++column)
        DBGrid1->setColumnWidth(column, widths[column]);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->setMinimumSize(420, 300);

    Button1 = button("Button1", "Добавить", this);
    Button2 = button("Button2", "Изменить", this);
    Button3 = button("Button3", "Удалить", this);
    Button4 = button("Button4", "Ок", this);
    connectGuarded(Button1, &QPushButton::clicked, this, m_messages, [this] { Button1Click(); });
    connectGuarded(Button2, &QPushButton::clicked, this, m_messages, [this] { Button2Click(); });
    connectGuarded(Button3, &QPushButton::clicked, this, m_messages, [this] { Button3Click(); });
    connect(Button4, &QPushButton::clicked, this, &TForm9::accept);
    connect(DBGrid1, &DBGrid::rowDoubleClicked, Button2, &QPushButton::click);

    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {Button1, Button2, Button3})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(Button4);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(DBGrid1, Button1);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, Button3);
    setTabOrder(Button3, Button4);
    addListKeys(DBGrid1, Button1, Button2, Button3);
}

void TForm9::Button1Click()
{
    m_dm.Grafic->append();
    m_shift.exec();
}

// On an empty schedule this begins a new row, as "Добавить" does.
void TForm9::Button2Click()
{
    m_dm.Grafic->edit();
    m_shift.exec();
}

// The driver's queue places stay, and show him empty once his last row is gone.
void TForm9::Button3Click()
{
    Dataset &schedule = *m_dm.Grafic;
    if (schedule.isEmpty())
        return;
    if (m_messages.confirmDeletion())
        schedule.deleteRecord();
}
