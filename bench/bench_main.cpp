// vozy-bench: the dispatcher's operations on a synthetic store of years of orders, timed through
// the program's own data module and windows, and compared with SQLite doing the same store work.
//
//     vozy-bench [--orders N[,N...]] [--json FILE] [--only NAME[,NAME...]] [--cpu-time]
//
// Without --orders it runs 10,000, 100,000 and 1,000,000 orders, so that growth shows. --only
// measures some of the operations; --cpu-time times by the process's CPU time instead of the
// wall clock, for a machine busy with other work.

#include "bench/measure.h"
#include "bench/raw_store.h"
#include "bench/synthetic_store.h"
#include "bench/workplace.h"
#include "data/data_module.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/orders_report.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QSettings>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <optional>

namespace {

struct Figure
{
    QString name;
    qint64 orders = 0;
    double median = 0; // ms; MB for rss
    std::optional<double> raw;
    QString via;
    double limit = 0;      // the target: median (or ratio, when `relative`) at most this
    bool relative = false; // the target is a ratio to raw SQLite

    std::optional<double> ratio() const
    {
        return raw && *raw > 0 ? std::optional(median / *raw) : std::nullopt;
    }
    bool met() const { return relative ? ratio() && *ratio() <= limit : median <= limit; }
    QString target() const
    {
        if (relative)
            return QStringLiteral("≤ %1 × raw").arg(limit);
        return QStringLiteral("≤ %1 %2").arg(limit).arg(name == QLatin1String("rss") ? "MB" : "ms");
    }
};

void print(const QString &text)
{
    std::fputs(qPrintable(text + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

// Districts that have free drivers standing, as the dispatcher would find them on a call.
QVector<qint64> districtsWithFreeDrivers(Workplace &w)
{
    QSqlQuery q = w.store().prepare("SELECT DISTINCT Raion FROM vozyraion WHERE Status = 0 ORDER BY Raion");
    Database::exec(q);
    QVector<qint64> districts;
    while (q.next())
        districts << q.value(0).toLongLong();
    return districts;
}

// Puts the "Журнал" tab's selection on the oldest current order that has a driver.
void selectCompletableOrder(Workplace &w)
{
    Dataset &current = w.currentOrders();
    for (int p = 0; p < current.recordCount(); ++p) {
        if (!current.valueAt(p, "IdVozy").isNull()) {
            current.moveTo(p);
            return;
        }
    }
}

// One timed step: `prepare` untimed, then `run` timed.
struct Step
{
    std::function<void()> prepare;
    std::function<void()> run;
};

class SizeRun
{
public:
    SizeRun(qint64 orders, const QStringList &only)
        : m_orders(orders)
        , m_only(only)
        , m_random(1207)
    {
    }

    QVector<Figure> run()
    {
        QTemporaryDir dir;
        if (!dir.isValid())
            throw std::runtime_error("no temporary directory");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath("settings"));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.filePath("settings"));
        QElapsedTimer timer;
        timer.start();
        m_store = generateStore(Database::storeFile(dir.path()), m_orders);
        print(QStringLiteral("%1 orders: store generated in %2 s (%3 MB)")
                  .arg(m_orders)
                  .arg(timer.elapsed() / 1000.0, 0, 'f', 1)
                  .arg(QFileInfo(m_store.file).size() / 1048576.0, 0, 'f', 0));
        // SQLite's own runs work on a copy, so that the program's views never miss a write.
        const QString rawFile = dir.filePath("raw.db");
        if (!QFile::copy(m_store.file, rawFile))
            throw std::runtime_error("cannot copy the store");
        m_raw = std::make_unique<RawStore>(rawFile);

        if (wanted("open"))
            add("open", "data module, login window", 50,
                medianMs(
                    10, [&] { m_workplace.reset(); },
                    [&] { m_workplace = std::make_unique<Workplace>(dir.path()); }));
        else
            m_workplace = std::make_unique<Workplace>(dir.path());
        Workplace &w = *m_workplace;
        measureOrders(w);
        measureScreens(w);
        measureMemory(w);
        if (!w.messages().shown().isEmpty())
            throw std::runtime_error(w.messages().shown().join(' ').toStdString());
        return m_figures;
    }

private:
    bool wanted(const char *name) const { return m_only.isEmpty() || m_only.contains(QLatin1String(name)); }

    void add(const char *name, const char *via, double limit, double median, bool relative = false,
             std::optional<double> raw = std::nullopt)
    {
        m_figures.append(
            {QString::fromLatin1(name), m_orders, median, raw, QString::fromLatin1(via), limit, relative});
    }

    // An operation timed through the program alone.
    void measure(const char *name, const char *via, double limit, int runs, const Step &ours)
    {
        if (wanted(name))
            add(name, via, limit, medianMs(runs, ours.prepare, ours.run));
    }

    // An operation timed through the program and through SQLite itself, run for run in turn, so
    // that both meet the same machine.
    void compare(const char *name, const char *via, double limit, int runs, const Step &ours, const Step &raw)
    {
        if (!wanted(name))
            return;
        QVector<double> oursMs, rawMs;
        for (int i = 0; i < runs; ++i) {
            oursMs << medianMs(1, ours.prepare, ours.run);
            rawMs << medianMs(1, raw.prepare, raw.run);
        }
        std::sort(oursMs.begin(), oursMs.end());
        std::sort(rawMs.begin(), rawMs.end());
        add(name, via, limit, oursMs.at(runs / 2), true, rawMs.at(runs / 2));
    }

    Operation::NewOrder anyOrder(Workplace &w)
    {
        const QVector<qint64> free = districtsWithFreeDrivers(w);
        const auto district = [this] { return qint64(1 + m_random.bounded(SyntheticStore::Districts)); };
        return {free.isEmpty() ? district() : free.at(m_random.bounded(int(free.size()))), district(),
                int(m_random.bounded(SyntheticStore::StreetsPerDistrict))};
    }

    void orderCycle(Workplace &w, const Operation::NewOrder &order)
    {
        Operation::newOrder(w, order);
        Operation::storeOrder(w, 1);
        Operation::showStoredOrder(w);
    }

    void measureOrders(Workplace &w)
    {
        Operation::NewOrder order;
        measure("order", "data module (order-entry steps)", 5, 30,
                {[&] { order = anyOrder(w); }, [&] { orderCycle(w, order); }});
        measure("order_after_done", "data module (order-entry steps)", 5, 30,
                {[&] {
                     selectCompletableOrder(w);
                     Operation::completeOrder(w);
                     order = anyOrder(w);
                 },
                 [&] { orderCycle(w, order); }});
        const QDate today = QDate::currentDate();
        compare("store", "data module (order-entry steps)", 2, 20,
                {[&] { Operation::newOrder(w, anyOrder(w)); }, [&] { Operation::storeOrder(w, 1); }},
                {{}, [&] {
                     m_raw->store(1 + m_random.bounded(SyntheticStore::Drivers),
                                  1 + m_random.bounded(SyntheticStore::Districts),
                                  1 + m_random.bounded(SyntheticStore::Districts), today);
                 }});
        std::pair<qint64, qint64> rawOrder;
        compare("done", "data module (current-orders steps)", 3, 20,
                {[&] { selectCompletableOrder(w); }, [&] { Operation::completeOrder(w); }},
                {[&] { rawOrder = m_raw->currentOrder(); },
                 [&] { m_raw->done(rawOrder.first, rawOrder.second); }});
    }

    void measureScreens(Workplace &w)
    {
        measure("tab", "data module (tab-switch steps)", 10, 20, {{}, [&] { Operation::switchTabs(w); }});
        measure("journal", "data module (journal-window steps)", 100, 30,
                {{}, [&] { Operation::browseJournal(w); }});
        if (wanted("scroll")) {
            TDataModule2 &dm = w.dm();
            int first = 0;
            qint64 fromId = 1;
            Operation::openJournal(w);
            compare("scroll", "data module (journal grid rows)", 5, 30,
                    {[&] {
                         // Display fields cold: the looked-in datasets read again.
                         for (Dataset *lookedIn : {dm.Table1, dm.sotrud, dm.Table6, dm.Table5})
                             lookedIn->refresh();
                         first = int(m_random.bounded(w.currentOrders().recordCount()));
                     },
                     [&] { Operation::showJournalRows(w, first); }},
                    {[&] { fromId = w.currentOrders().idAt(first); }, [&] { m_raw->scroll(fromId); }});
            Operation::closeJournal(w);
            // The absolute target: 30 rows at most 5 ms.
            m_figures.last().relative = false;
        }
        compare("report", "data module (report rows)", 2, 100,
                {{}, [&] { ordersOfDate(w.store(), m_store.lastDay); }},
                {{}, [&] { m_raw->report(m_store.lastDay); }});
        qint64 from = 1, to = 2;
        measure("fare", "data module (fare steps)", 1, 200,
                {[&] {
                     from = 1 + m_random.bounded(SyntheticStore::Districts);
                     to = 1 + m_random.bounded(SyntheticStore::Districts);
                 },
                 [&] { Operation::fare(w, from, to); }});
    }

    // The journal window open and scrolled end to end, 30 rows at a time.
    void measureMemory(Workplace &w)
    {
        if (!wanted("rss"))
            return;
        resetPeakResident();
        Operation::openJournal(w);
        const int rows = w.currentOrders().recordCount();
        const qint64 atOpen = w.currentOrders().viewBytes();
        for (int first = 0; first < rows; first += 30)
            Operation::showJournalRows(w, first);
        const qint64 walked = w.currentOrders().viewBytes();
        Operation::closeJournal(w);
        add("rss", "data module (journal grid, end to end)", 150, peakResidentMb());
        print(QStringLiteral(
                  "%1 orders: the journal view holds %2 KB when opened, %3 KB after the walk end to end")
                  .arg(m_orders)
                  .arg(atOpen / 1024.0, 0, 'f', 0)
                  .arg(walked / 1024.0, 0, 'f', 0));
    }

    qint64 m_orders;
    QStringList m_only;
    QRandomGenerator m_random;
    SyntheticStore m_store;
    std::unique_ptr<RawStore> m_raw;
    std::unique_ptr<Workplace> m_workplace;
    QVector<Figure> m_figures;
};

void printTable(const QVector<Figure> &figures)
{
    print(QStringLiteral("%1 %2 %3 %4 %5 %6 %7  %8")
              .arg("operation", -17)
              .arg("orders", 9)
              .arg("median", 9)
              .arg("raw", 8)
              .arg("ratio", 6)
              .arg("target", -12)
              .arg("met", -4)
              .arg("measured through"));
    for (const Figure &f : figures) {
        const bool mb = f.name == QLatin1String("rss");
        print(QStringLiteral("%1 %2 %3 %4 %5 %6 %7  %8")
                  .arg(f.name, -17)
                  .arg(f.orders, 9)
                  .arg(QString::number(f.median, 'f', mb ? 0 : 3) + (mb ? " MB" : " ms"), 9)
                  .arg(f.raw ? QString::number(*f.raw, 'f', 3) : QStringLiteral("—"), 8)
                  .arg(f.ratio() ? QString::number(*f.ratio(), 'f', 2) : QStringLiteral("—"), 6)
                  .arg(f.target(), -12)
                  .arg(f.met() ? "yes" : "NO", -4)
                  .arg(f.via));
    }
}

// From the smallest to the largest size no figure but memory may grow more than twofold.
void printGrowth(const QVector<Figure> &figures, qint64 smallest, qint64 largest)
{
    print(QStringLiteral("\ngrowth from %1 to %2 orders (target ≤ 2 ×, memory excepted):")
              .arg(smallest)
              .arg(largest));
    for (const Figure &small : figures) {
        if (small.orders != smallest || small.name == QLatin1String("rss"))
            continue;
        for (const Figure &large : figures) {
            if (large.orders == largest && large.name == small.name)
                print(QStringLiteral("  %1 %2 ×  %3")
                          .arg(small.name, -17)
                          .arg(large.median / small.median, 5, 'f', 2)
                          .arg(large.median <= 2 * small.median ? "yes" : "NO"));
        }
    }
}

void writeJson(const QString &file, const QVector<Figure> &figures)
{
    QJsonArray all;
    for (const Figure &f : figures) {
        all.append(QJsonObject{{"name", f.name},
                               {"orders", f.orders},
                               {"median_ms", f.median},
                               {"raw_ms", f.raw ? QJsonValue(*f.raw) : QJsonValue()},
                               {"ratio", f.ratio() ? QJsonValue(*f.ratio()) : QJsonValue()}});
    }
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(QJsonDocument(all).toJson()) < 0)
        throw std::runtime_error(("cannot write " + file).toStdString());
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QVector<qint64> sizes{10000, 100000, 1000000};
    QString json;
    QStringList only;
    bool cpuTime = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--orders" && i + 1 < args.size()) {
            sizes.clear();
            for (const QString &n : args[++i].split(','))
                sizes << n.toLongLong();
        } else if (args[i] == "--json" && i + 1 < args.size()) {
            json = args[++i];
        } else if (args[i] == "--only" && i + 1 < args.size()) {
            only = args[++i].split(',');
        } else if (args[i] == "--cpu-time") {
            cpuTime = true;
        } else {
            print("usage: vozy-bench [--orders N[,N...]] [--json FILE] [--only NAME[,NAME...]] [--cpu-time]");
            return 2;
        }
    }
    if (std::any_of(sizes.begin(), sizes.end(), [](qint64 n) { return n < SyntheticStore::CurrentOrders; })) {
        print("vozy-bench: at least 200 orders");
        return 2;
    }
    print(QStringLiteral("vozy-bench on %1, %2 cores, SQLite %3, WAL, synchronous=FULL, timed by %4")
              .arg(QSysInfo::prettyProductName())
              .arg(QThread::idealThreadCount())
              .arg(QString::fromLatin1(sqlite3_libversion()))
              .arg(cpuTime ? "CPU time" : "the wall clock"));
    timeByCpu(cpuTime);
    try {
        QVector<Figure> figures;
        for (qint64 n : sizes) {
            const QVector<Figure> run = SizeRun(n, only).run();
            printTable(run);
            figures += run;
        }
        if (sizes.size() > 1)
            printGrowth(figures, *std::min_element(sizes.begin(), sizes.end()),
                        *std::max_element(sizes.begin(), sizes.end()));
        if (!json.isEmpty())
            writeJson(json, figures);
    } catch (const std::exception &e) {
        print(QStringLiteral("vozy-bench: %1").arg(QString::fromUtf8(e.what())));
        return 1;
    }
    return 0;
}
