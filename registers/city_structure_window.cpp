#include "registers/city_structure_window.h"

#include "data/data_module.h"
#include "help/help_window.h"
#include "registers/street_dialog.h"
#include "ui/db_grid.h"
#include "ui/error_guard.h"
#include "ui/messages.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// Every list of this window is edited in place.
GridColumn editable(const QString &title, const QString &field)
{
    GridColumn column{title, field};
    column.readOnly = false;
    return column;
}

DBGrid *grid(const char *name, DataSource *source, const QVector<GridColumn> &columns, Messages &messages,
             QWidget *parent)
{
    auto *g = new DBGrid(source, columns, messages, parent);
    g->setObjectName(name);
    g->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    return g;
}

// A group holding a list and, under it, its three buttons from the left.
QGroupBox *group(const char *name, const QString &title, DBGrid *list,
                 std::initializer_list<QPushButton *> buttons, QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    box->setObjectName(name);
    auto *row = new QHBoxLayout;
    for (QPushButton *b : buttons)
        row->addWidget(b);
    row->addStretch();
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(list, 1);
    layout->addLayout(row);
    return box;
}

// Cities, districts and streets ask before a row goes; an empty list deletes nothing and asks nothing.
void deleteAfterQuestion(Dataset &table, Messages &messages)
{
    if (table.isEmpty())
        return;
    if (messages.confirmDeletion())
        table.deleteRecord();
}

} // namespace

TForm5::TForm5(TDataModule2 &dm, TForm6 &streetDialog, Messages &messages, QWidget *parent)
    : QDialog(parent)
    , m_dm(dm)
    , m_streetDialog(streetDialog)
    , m_messages(messages)
{
    buildForm();
}

QPushButton *TForm5::button(const char *name, const QString &text, QWidget *parent, void (TForm5::*handler)())
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    // Enter belongs to the grids' cell editors, never to a button of the window.
    b->setAutoDefault(false);
    connectGuarded(b, &QPushButton::clicked, this, m_messages, [this, handler] { (this->*handler)(); });
    return b;
}

void TForm5::buildForm()
{
    setObjectName("TForm5");
    setWindowTitle("Настройка административно-территориального деления города");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    // F1 opens the registers' topic (the application's help keys read this property).
    setProperty("helpTopic", HelpWindow::RegistersTopic);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    TabSheet1 = citiesPage();
    TabSheet2 = schemePage();
    TabSheet3 = distancesPage();
    PageControl1->addTab(TabSheet1, "Города");
    PageControl1->addTab(TabSheet2, "Схема города");
    PageControl1->addTab(TabSheet3, "Растояние");
    PageControl1->setCurrentIndex(0);

    Button5 = new QPushButton("Ок", this);
    Button5->setObjectName("Button5");
    Button5->setAutoDefault(false);
    connect(Button5, &QPushButton::clicked, this, &TForm5::close);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(Button5);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(bottom);
    setFixedSize(522, 360);

    setTabOrder(PageControl1, DBGrid1);
    setTabOrder(DBGrid1, Button1);
    setTabOrder(Button1, Button3);
    setTabOrder(Button3, Button2);
    setTabOrder(Button2, DBGrid3);
    setTabOrder(DBGrid3, Button13);
    setTabOrder(Button13, Button4);
    setTabOrder(Button4, Button16);
    setTabOrder(Button16, DBGrid4);
    setTabOrder(DBGrid4, Button10);
    setTabOrder(Button10, Button11);
    setTabOrder(Button11, Button12);
    setTabOrder(Button12, DBGrid2);
    setTabOrder(DBGrid2, Button6);
    setTabOrder(Button6, Button7);
    setTabOrder(Button7, Button8);
    setTabOrder(Button8, Button5);
}

QWidget *TForm5::citiesPage()
{
    auto *page = new QWidget;
    page->setObjectName("TabSheet1");
    DBGrid1 = grid("DBGrid1", m_dm.DSGorod, {editable("Название города", "Gorod")}, m_messages, page);
    Button1 = button("Button1", "Добавить", page, &TForm5::Button1Click);
    Button3 = button("Button3", "Сохранить", page, &TForm5::Button3Click);
    Button2 = button("Button2", "Удалить", page, &TForm5::Button2Click);
    GroupBox1 = group("GroupBox1", " Города ", DBGrid1, {Button1, Button3, Button2}, page);

    DBGrid3 = grid("DBGrid3", m_dm.DSRaion, {editable("Название района", "Raion")}, m_messages, page);
    Button13 = button("Button13", "Добавить", page, &TForm5::Button13Click);
    Button4 = button("Button4", "Сохранить", page, &TForm5::Button4Click);
    Button16 = button("Button16", "Удалить", page, &TForm5::Button16Click);
    GroupBox2 = group("GroupBox2", " Районы ", DBGrid3, {Button13, Button4, Button16}, page);

    auto *layout = new QHBoxLayout(page);
    layout->addWidget(GroupBox1);
    layout->addWidget(GroupBox2);
    return page;
}

QWidget *TForm5::schemePage()
{
    auto *page = new QWidget;
    page->setObjectName("TabSheet2");
    DBGrid4 = grid("DBGrid4", m_dm.DSUlica, {editable("Район", "Raion"), editable("Улица", "Ulica")},
                   m_messages, page);
    Button10 = button("Button10", "Добавить", page, &TForm5::Button10Click);
    Button11 = button("Button11", "Изменить", page, &TForm5::Button11Click);
    Button12 = button("Button12", "Удалить", page, &TForm5::Button12Click);
    GroupBox3 = group("GroupBox3", "Схема города", DBGrid4, {Button10, Button11, Button12}, page);
    (new QVBoxLayout(page))->addWidget(GroupBox3);
    return page;
}

QWidget *TForm5::distancesPage()
{
    auto *page = new QWidget;
    page->setObjectName("TabSheet3");
    GridColumn km = editable("Км", "KM");
    km.alignment = Qt::AlignRight | Qt::AlignVCenter;
    km.titleAlignment = km.alignment;
    DBGrid2 = grid("DBGrid2", m_dm.DSRastoyan,
                   {editable("От района", "Raion1"), editable("До района", "Raion2"), km}, m_messages, page);
    // The district names take the room; kilometres need little.
    DBGrid2->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Fixed);
    DBGrid2->setColumnWidth(2, 80);
    Button6 = button("Button6", "Добавить", page, &TForm5::Button6Click);
    Button7 = button("Button7", "Изменить", page, &TForm5::Button7Click);
    Button8 = button("Button8", "Удалить", page, &TForm5::Button8Click);
    GroupBox4 =
        group("GroupBox4", "Настройка растояний между районами", DBGrid2, {Button6, Button7, Button8}, page);
    (new QVBoxLayout(page))->addWidget(GroupBox4);
    return page;
}

void TForm5::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        guarded(m_messages, [this] { sdf(); });
}

void TForm5::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        guarded(m_messages, [this] { ddf(); });
}

// Order entry narrows the streets to one district; here every street is listed.
void TForm5::sdf()
{
    m_dm.Table5->setFiltered(false);
}

// The filter comes back with the text it had, so order entry lists its district's streets again.
void TForm5::ddf()
{
    m_dm.Table5->setFiltered(true);
}

void TForm5::Button1Click() // cities: "Добавить"
{
    m_dm.Table4->append();
    DBGrid1->setFocus(); // the name is typed into the new row
}

void TForm5::Button3Click() // cities: "Сохранить"
{
    m_dm.Table4->post();
}

// The city's districts, and the people whose address names it, stay as they are.
void TForm5::Button2Click() // cities: "Удалить"
{
    deleteAfterQuestion(*m_dm.Table4, m_messages);
}

// A district belongs to the city that is current when it is added; a city not yet stored, or none,
// gives it none. Setting the field counts as a change, so a second "Добавить" stores this row.
void TForm5::Button13Click() // districts: "Добавить"
{
    m_dm.Table6->append();
    m_dm.Table6->setValue("IdGorod", m_dm.Table4->value("Id"));
    DBGrid3->setFocus();
}

void TForm5::Button4Click() // districts: "Сохранить"
{
    m_dm.Table6->post();
}

// The district's streets, distances, queue records and orders stay, showing it empty.
void TForm5::Button16Click() // districts: "Удалить"
{
    deleteAfterQuestion(*m_dm.Table6, m_messages);
}

void TForm5::Button10Click() // streets: "Добавить"
{
    m_dm.Table5->append();
    m_streetDialog.exec();
}

// The edit begins with the first change made in the dialog, not here.
void TForm5::Button11Click() // streets: "Изменить"
{
    m_streetDialog.exec();
}

void TForm5::Button12Click() // streets: "Удалить"
{
    deleteAfterQuestion(*m_dm.Table5, m_messages);
}

// A distance has no save button: the row is stored when the list moves on, when another addition or
// edit begins, or when the fare next filters the distances.
void TForm5::Button6Click() // distances: "Добавить"
{
    m_dm.rastoyan->append();
    DBGrid2->setFocus();
}

void TForm5::Button7Click() // distances: "Изменить"
{
    m_dm.rastoyan->edit();
    DBGrid2->setFocus();
}

// Distances go without a question.
void TForm5::Button8Click() // distances: "Удалить"
{
    if (!m_dm.rastoyan->isEmpty())
        m_dm.rastoyan->deleteRecord();
}
