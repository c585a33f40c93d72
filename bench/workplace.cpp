#include "bench/workplace.h"

#include "app/login_window.h"
#include "data/clock.h"
#include "data/data_module.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/statement.h"

#include <QApplication>

namespace {

const QStringList JournalColumns{"DDate", "Ttime",        "Operator",     "VozyNumber",
                                 "Vozy",  "Otkuda_raion", "Otkuda_Ulica", "Kuda_Raion"};
const QStringList CurrentOrdersColumns{"Ttime",        "TaxxNumber", "Taxxx",    "AutoVozy",   "AutoNumber",
                                       "Otkuda_Ulica", "Dom",        "Kvartira", "Kuda_Raion", "Telefon"};
constexpr int VisibleRows = 30;

// What a grid paints: the text of every visible cell.
int paint(const Dataset &d, int first, const QStringList &columns)
{
    int characters = 0;
    const int end = std::min(first + VisibleRows, d.recordCount());
    for (int row = std::max(first, 0); row < end; ++row) {
        for (const QString &column : columns)
            characters += int(d.textAt(row, column).size());
    }
    return characters;
}

// The row a lookup list or drop-down shows chosen for a display field of the current row.
int chosenRow(const Dataset &d, const QString &displayField)
{
    const Dataset::Lookup &lookup = d.lookupDef(displayField);
    Dataset::Row row;
    if (!lookup.lookIn->findFirst(lookup.match, d.value(lookup.key), &row))
        return -1;
    return lookup.lookIn->positionOf(row.id);
}

// Order entry's driver step: the head of the queue view, and where he was taken from.
void takeDriver(Workplace &w)
{
    Dataset &queue = *w.dm().Vozy_raion;
    w.dm().Gurnal->setValue("IdVozy", queue.isEmpty() ? QVariant() : queue.value("Vozy"));
    w.source = queue.currentId();
}

} // namespace

Workplace::Workplace(const QString &workingDir)
    : m_store(Database::open(Database::storeFile(workingDir)))
    , m_module(std::make_unique<TDataModule2>(*m_store))
    , m_currentOrders(makeCurrentOrdersView(*m_module, nullptr))
    , m_login(std::make_unique<TForm0>(m_store.get(), m_access, m_messages, [] {}))
{
    m_login->show();
    QApplication::processEvents();
    // Every dataset's view is there to be shown: its count and current row.
    for (QObject *child : m_module->children()) {
        if (auto *dataset = qobject_cast<Dataset *>(child)) {
            dataset->recordCount();
            dataset->currentId();
        }
    }
    m_currentOrders->recordCount();
    if (!m_messages.shown().isEmpty())
        throw std::runtime_error(m_messages.shown().join(' ').toStdString());
}

Workplace::~Workplace() = default;

namespace Operation {

void newOrder(Workplace &w, const NewOrder &order)
{
    TDataModule2 &dm = w.dm();
    Dataset &journal = *dm.Gurnal;
    journal.append();
    dm.Vozy_raion->setFiltered(true);
    takeDriver(w);
    // The pick-up list wrote the district; then its click handler runs.
    journal.setValue("IdOtkudaRaion", order.pickup);
    dm.Table5->setFilter(QStringLiteral("IdRion=%1").arg(order.pickup));
    dm.Table5->setFiltered(true);
    dm.Vozy_raion->setFilter(QStringLiteral("Raion=%1 and Status=False").arg(order.pickup));
    dm.Vozy_raion->setFiltered(true);
    takeDriver(w);
    journal.setValue("IdOtkudaUlica", dm.Table5->valueAt(order.street, "Id"));
    journal.setValue("IdKudaRaion", order.destination);
    journal.setText("Dom", "12а");
    journal.setText("Kvartira", "7");
    journal.setText("Telefon", "5551234");
    journal.setText("Iinfo", "подъезд 2");
}

void storeOrder(Workplace &w, qint64 operatorId)
{
    TDataModule2 &dm = w.dm();
    Dataset &journal = *dm.Gurnal;
    journal.updateRecord();
    const QDateTime now = Clock::now();
    journal.setValue("Ttime", now.time());
    journal.setValue("DDate", now.date());
    journal.setValue("IdOperator", operatorId);
    journal.setValue("Status", true);
    Database::Transaction transaction(w.store());
    if (!journal.isNull("IdVozy")) {
        Dataset &queue = *dm.Vozy_raion;
        queue.append();
        queue.setValue("Vozy", journal.value("IdVozy"));
        queue.setValue("Status", true);
        queue.setValue("Raion", journal.value("IdKudaRaion"));
        queue.post();
        queue.deleteId(w.source);
    }
    journal.post();
    transaction.commit();
}

void showStoredOrder(Workplace &w)
{
    const Dataset &journal = *w.dm().Gurnal;
    for (const char *field : {"Dom", "Kvartira", "Telefon", "Iinfo", "Otkuda_Raion", "Otkuda_Ulica",
                              "Kuda_Raion", "Vozy", "VozyNumber", "TaxiAuto", "VozyAutoNumber"})
        journal.text(field);
    for (const char *list : {"Otkuda_Raion", "Otkuda_Ulica", "Kuda_Raion", "VozyNumber", "Vozy"})
        chosenRow(journal, list);
}

void completeOrder(Workplace &w)
{
    Dataset &current = w.currentOrders();
    if (current.isEmpty())
        return;
    Database::Transaction transaction(w.store());
    current.edit();
    current.setText("Status", "false");
    const QString driver = current.text("IdVozy");
    current.post();
    Statement &query = w.dm().Query1;
    query.setSql(QStringLiteral("UPDATE bd\\vozyraion.db SET Status=false WHERE (Vozy=%1)").arg(driver));
    query.execute();
    transaction.commit();
}

void switchTabs(Workplace &w)
{
    TDataModule2 &dm = w.dm();
    dm.Table5->setFiltered(false);
    dm.Vozy_raion->setFiltered(false);
    w.currentOrders().refresh();
    paint(w.currentOrders(), 0, CurrentOrdersColumns);
    dm.Table5->setFiltered(true);
    dm.Vozy_raion->setFiltered(true);
    paint(*dm.Table5, 0, {"Ulica"});
    paint(*dm.Vozy_raion, 0, {"TTVozyNumber", "TTVozy"});
    paint(*dm.Table6, 0, {"Raion"});
}

void openJournal(Workplace &w)
{
    w.dm().Table5->setFiltered(false);
    w.currentOrders().setFiltered(false);
}

void closeJournal(Workplace &w)
{
    w.currentOrders().setFiltered(true);
    w.dm().Table5->setFiltered(true);
}

void browseJournal(Workplace &w)
{
    openJournal(w);
    Dataset &journal = w.currentOrders();
    paint(journal, 0, JournalColumns);
    journal.moveTo(journal.recordCount() / 2);
    paint(journal, journal.recNo() - VisibleRows / 2, JournalColumns);
    journal.last();
    paint(journal, journal.recNo() - VisibleRows + 1, JournalColumns);
    closeJournal(w);
}

int showJournalRows(Workplace &w, int first)
{
    return paint(w.currentOrders(), first, JournalColumns);
}

double fare(Workplace &w, qint64 from, qint64 to)
{
    Dataset &distances = *w.dm().rastoyan;
    distances.setFilter(QStringLiteral("IdRaion1='%1' and IdRaion2='%2'").arg(from).arg(to));
    distances.setFiltered(true);
    const QVariant km = distances.isEmpty() ? QVariant() : distances.value("KM");
    distances.setFiltered(false);
    if (km.isNull())
        return -1;
    // The default tariff: minimum distance 4, fixed price 50, each further kilometre 10.
    return km.toDouble() <= 4 ? 50 : 50 + (km.toDouble() - 4) * 10;
}

} // namespace Operation
