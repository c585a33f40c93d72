#include "dispatch/positions_tab.h"

#include "data/data_module.h"
#include "dispatch/dispatch_look.h"
#include "dispatch/driver_location_dialog.h"
#include "ui/db_grid.h"
#include "ui/error_guard.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

PositionsTab::PositionsTab(TDataModule2 &dm, TForm13 &locationDialog, Messages &messages, QWidget *parent)
    : QWidget(parent)
    , m_dm(dm)
    , m_locationDialog(locationDialog)
    , m_messages(messages)
{
    buildForm();
}

void PositionsTab::buildForm()
{
    setObjectName("PositionsTab");
    GridColumn callsign{"Позывной", "TTVozyNumber", Qt::AlignCenter};
    callsign.bold = true;
    DBGrid1 = new DBGrid(m_dm.DSVozy_Raion,
                         {callsign,
                          {"Фамилия", "TTVozy"},
                          {"Район", "TTRaion"},
                          {"Машина", "TVozyAuto"},
                          {"Авто№", "TTNumberAutoTaxi"}},
                         m_messages, this);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->setDeletesOnCtrlDelete(true);
    DBGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    connectGuarded(DBGrid1, &DBGrid::rowDoubleClicked, this, m_messages, [this] { Button4Click(); });

    Button4 = pushButton("Button4", "Опросить", this);
    Button6 = pushButton("Button6", "Принять", this);
    Button5 = pushButton("Button5", "Закончить", this);
    connectGuarded(Button4, &QPushButton::clicked, this, m_messages, [this] { Button4Click(); });
    connectGuarded(Button6, &QPushButton::clicked, this, m_messages, [this] { Button6Click(); });
    connectGuarded(Button5, &QPushButton::clicked, this, m_messages, [this] { Button5Click(); });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Button4);
    buttons->addWidget(Button6);
    buttons->addWidget(Button5);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(buttons);

    setTabOrder(DBGrid1, Button4);
    setTabOrder(Button4, Button6);
    setTabOrder(Button6, Button5);
}

// Polling changes the district and the busy flag of the record in place: the driver keeps his Id,
// and with it his place among the records of his new district.
void PositionsTab::Button4Click()
{
    Dataset &queue = *m_dm.Vozy_raion;
    if (queue.isEmpty())
        return;
    queue.edit();
    m_locationDialog.setDriverListsEnabled(false);
    m_locationDialog.exec();
    m_locationDialog.setDriverListsEnabled(true);
}

// A new record stands at the end of its district's queue.
void PositionsTab::Button6Click()
{
    m_dm.Vozy_raion->append();
    m_locationDialog.exec();
}

void PositionsTab::Button5Click()
{
    Dataset &queue = *m_dm.Vozy_raion;
    if (!queue.isEmpty())
        queue.deleteRecord();
}
