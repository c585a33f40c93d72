#include "reports/journal_window.h"

#include "app/access_modes.h"
#include "data/data_module.h"
#include "data/data_source.h"
#include "ui/db_grid.h"
#include "ui/error_guard.h"
#include "ui/messages.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

constexpr Qt::Alignment Centred = Qt::AlignCenter;
constexpr int CellPadding = 12;
constexpr int VisibleRows = 16;

// A column and a sample of what it usually holds, which gives its width in the grid's own font.
struct Column
{
    GridColumn column;
    const char *sample;
};

// The driver's callsign and surname come straight from the drivers' table, whether or not he stands
// in a queue.
QVector<Column> columns()
{
    return {
        {{"Дата", "DDate"}, "00.00.0000"},
        {{"Время", "Ttime"}, "00:00:00"},
        {{"Диспетчер", "Operator"}, "Кузнецова"},
        {{"№", "VozyNumber", Centred, true, Centred}, "0000"},
        {{"Таксист", "Vozy"}, "Кузнецов"},
        {{"Из района", "Otkuda_raion"}, "Центральный"},
        {{"С улицы", "Otkuda_Ulica"}, "Театральная"},
        {{"В район", "Kuda_Raion"}, "Центральный"},
    };
}

QPushButton *button(const char *name, const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

TForm14::TForm14(Dataset *Table1, DataSource *DataSource1, TDataModule2 &, AccessLevel &access,
                 Messages &messages, QWidget *parent)
    : QDialog(parent)
    , Table1(Table1)
    , DataSource1(DataSource1)
    , m_access(access)
    , m_messages(messages)
{
    buildForm();
    // Disabled until an administrator logs in.
    m_access.addAdminEnabled(Button1);
}

void TForm14::buildForm()
{
    setObjectName("TForm14");
    setWindowTitle("Журнал заказов");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    const QVector<Column> layoutOfColumns = columns();
    QVector<GridColumn> gridColumns;
    for (const Column &c : layoutOfColumns)
        gridColumns << c.column;
    DBGrid1 = new DBGrid(DataSource1, gridColumns, m_messages, this);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->setTabKeyNavigation(false);
    QFont bold = DBGrid1->font();
    bold.setBold(true);
    int gridWidth = 2 * DBGrid1->frameWidth() + DBGrid1->verticalScrollBar()->sizeHint().width();
    for (int i = 0; i < layoutOfColumns.size(); ++i) {
        const Column &c = layoutOfColumns.at(i);
        const QFontMetrics metrics(c.column.bold ? bold : DBGrid1->font());
        const int content = metrics.horizontalAdvance(QString::fromUtf8(c.sample));
        const int title = QFontMetrics(bold).horizontalAdvance(c.column.title);
        DBGrid1->setColumnWidth(i, std::max(content, title) + CellPadding);
        gridWidth += DBGrid1->columnWidth(i);
    }
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->setFixedSize(gridWidth, DBGrid1->horizontalHeader()->sizeHint().height() +
                                         VisibleRows * DBGrid1->verticalHeader()->defaultSectionSize() +
                                         2 * DBGrid1->frameWidth());

    Button1 = button("Button1", "Удалить", this);
    Button2 = button("Button2", "Ок", this);
    connectGuarded(Button1, &QPushButton::clicked, this, m_messages, [this] { Button1Click(); });
    connectGuarded(Button2, &QPushButton::clicked, this, m_messages, [this] { Button2Click(); });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addStretch();
    buttons->addWidget(Button2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(DBGrid1, Button1);
    setTabOrder(Button1, Button2);
}

void TForm14::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        guarded(m_messages, [this] { fsd(); });
}

// Every order, current and done, while the window is shown.
void TForm14::fsd()
{
    Table1->setFiltered(false);
    DBGrid1->setFocus();
}

// "Ок", Esc and the title bar's close button all end here: whichever way the window closes, the
// "Журнал" tab shows current orders only again.
void TForm14::done(int result)
{
    guarded(m_messages, [this] { sdgf(); });
    QDialog::done(result);
}

void TForm14::sdgf()
{
    Table1->setFiltered(true);
}

void TForm14::Button1Click()
{
    // The button is disabled in ordinary mode; the right is checked here as well.
    if (!m_access.check_adm() || Table1->isEmpty())
        return;
    // The driver stays busy: only completing or cancelling an order frees him.
    if (m_messages.confirmDeletion())
        Table1->deleteRecord();
}

void TForm14::Button2Click()
{
    Table1->setFiltered(true);
    accept();
}
