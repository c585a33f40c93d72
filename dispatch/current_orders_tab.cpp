#include "dispatch/current_orders_tab.h"

#include "data/data_error.h"
#include "data/data_module.h"
#include "data/data_source.h"
#include "data/database.h"
#include "ui/db_grid.h"
#include "ui/error_guard.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr Qt::Alignment Left = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment Centred = Qt::AlignCenter;
constexpr int CellPadding = 12;

// A column and a sample of what it usually holds, which gives its width in the grid's own font.
struct Column
{
    GridColumn column;
    const char *sample;
};

QVector<Column> columns()
{
    return {
        {{"Время", "Ttime", Centred}, "00:00:00"},  {{"№", "TaxxNumber", Centred, true, Centred}, "000"},
        {{"Таксист", "Taxxx"}, "Кузнецов"},         {{"Авто", "AutoVozy"}, "Лада Гранта"},
        {{"Авто№", "AutoNumber"}, "А000АА"},        {{"С улицы", "Otkuda_Ulica"}, "Театральная"},
        {{"Дом", "Dom", Centred}, "000"},           {{"Кв", "Kvartira", Centred}, "000"},
        {{"В район", "Kuda_Raion"}, "Центральный"}, {{"Телефон", "Telefon", Left}, "0000000"},
    };
}

QPushButton *button(const char *name, const QString &text, bool bold, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    if (bold) {
        QFont font = b->font();
        font.setBold(true);
        b->setFont(font);
    }
    return b;
}

} // namespace

CurrentOrdersTab::CurrentOrdersTab(DataSource *DataSource1, TDataModule2 &dm, Messages &messages,
                                   QWidget *parent)
    : QWidget(parent)
    , m_orders(DataSource1->dataset())
    , m_dm(dm)
    , m_messages(messages)
{
    buildForm(DataSource1);
}

void CurrentOrdersTab::buildForm(DataSource *DataSource1)
{
    setObjectName("CurrentOrdersTab");
    const QVector<Column> layoutOfColumns = columns();
    QVector<GridColumn> gridColumns;
    for (const Column &c : layoutOfColumns)
        gridColumns << c.column;
    OrdersGrid = new DBGrid(DataSource1, gridColumns, m_messages, this);
    OrdersGrid->setObjectName("OrdersGrid");
    QFont bold = OrdersGrid->font();
    bold.setBold(true);
    for (int i = 0; i < layoutOfColumns.size(); ++i) {
        const Column &c = layoutOfColumns.at(i);
        const QFontMetrics metrics(c.column.bold ? bold : OrdersGrid->font());
        const int content = metrics.horizontalAdvance(QString::fromUtf8(c.sample));
        const int title = QFontMetrics(bold).horizontalAdvance(c.column.title);
        OrdersGrid->setColumnWidth(i, std::max(content, title) + CellPadding);
    }
    OrdersGrid->horizontalHeader()->setStretchLastSection(true);

    Button7 = button("Button7", "Выполнено", true, this);
    Button8 = button("Button8", "Отменить", false, this);
    connectGuarded(Button7, &QPushButton::clicked, this, m_messages, [this] { Button7Click(); });
    connectGuarded(Button8, &QPushButton::clicked, this, m_messages, [this] { Button8Click(); });

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button7);
    buttons->addWidget(Button8);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(OrdersGrid, 1);
    layout->addLayout(buttons);

    setTabOrder(OrdersGrid, Button7);
    setTabOrder(Button7, Button8);
}

void CurrentOrdersTab::Button7Click()
{
    if (m_orders->isEmpty())
        return;
    endOrder(
        [this] {
            m_orders->edit();
            m_orders->setText("Status", "false");
            m_orders->post(); // the order leaves the view and stays in the journal
        },
        true);
}

void CurrentOrdersTab::Button8Click()
{
    if (m_orders->isEmpty())
        return;
    endOrder([this] { m_orders->deleteRecord(); }, false);
}

// The journal change and the freeing of the driver are one write: a failure of either leaves the
// order and the queue as they were, the order neither pending nor out of sight. An order that another
// workstation has ended meanwhile is left as that workstation left it, and its driver too; whether it
// has a driver is asked only of an order that can still be ended here.
void CurrentOrdersTab::endOrder(const std::function<void()> &journalStep, bool needsDriver)
{
    const qint64 order = m_orders->currentId();
    QString endedElsewhere;
    bool withoutDriver = false;
    try {
        Database::Transaction transaction(m_dm.database());
        endedElsewhere = endedAtAnotherWorkstation(order);
        const QString driver = m_orders->text("IdVozy");
        withoutDriver = endedElsewhere.isEmpty() && needsDriver && driver.isEmpty();
        if (endedElsewhere.isEmpty() && !withoutDriver) {
            journalStep();
            if (!driver.isEmpty())
                freeDriver(driver);
            transaction.commit();
        }
    } catch (...) {
        m_orders->cancel();
        try {
            m_orders->gotoId(order); // the rolled-back order is current again, as before the click
        } catch (const DataError &) {
            // The store is failing: the error being raised is the one the dispatcher must see.
        }
        throw;
    }
    if (withoutDriver) {
        m_messages.inform("Заказ не может быть выполнен! Не указан водитель.");
    } else if (!endedElsewhere.isEmpty()) {
        m_dm.database().rowChangedElsewhere(QStringLiteral("gurnal"), order); // the view lets it go now
        m_messages.inform(endedElsewhere);
    }
}

// The order as the store holds it inside the transaction that ends it. On the server its row stays
// locked to the end of that transaction, so that of two workstations ending one order at once the
// second waits and then finds it ended; the embedded store's write lock serialises the two already.
QString CurrentOrdersTab::endedAtAnotherWorkstation(qint64 order)
{
    Database &db = m_dm.database();
    bool found = false;
    bool current = false;
    db.select(QStringLiteral("SELECT \"Status\" FROM \"gurnal\" WHERE \"Id\" = ?") +
                  (db.engine() == Database::Engine::Postgres ? QStringLiteral(" FOR UPDATE") : QString()),
              {order}, [&](const StoreRow &row) {
                  found = true;
                  current = row.integer(0) != 0;
              });
    if (!found)
        return QStringLiteral("Этот заказ уже отменён на другом рабочем месте.");
    if (!current)
        return QStringLiteral("Этот заказ уже выполнен на другом рабочем месте.");
    return {};
}

// Every queue record of the driver becomes free where it stands; the store tells every view of the
// queue at once.
void CurrentOrdersTab::freeDriver(const QString &driver)
{
    m_dm.Query1.setSql("UPDATE bd\\vozyraion.db SET Status=false WHERE (Vozy=" + driver + ")");
    m_dm.Query1.execute();
}
