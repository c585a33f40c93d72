// vozy-bench: the dispatcher's operations on a synthetic store of years of orders, timed through
// the program's own windows (the whole workstation, offscreen), and compared with SQLite doing the
// same store work.
//
//     vozy-bench [--orders N[,N...]] [--json FILE] [--only NAME[,NAME...]] [--cpu-time]
//                [--store sqlite|postgres [CONNECTION]]
//
// Without --orders it runs 10,000, 100,000 and 1,000,000 orders, so that growth shows. --only
// measures some of the operations; --cpu-time times by the process's CPU time instead of the
// wall clock, for a machine busy with other work. --store postgres runs the same operations on the
// same store copied to a PostgreSQL server as well, after SQLite, and compares the two: on the server
// CONNECTION names ("host=... dbname=... user=...", whose user may create databases), or on a
// throw-away server started for the run.

#include "app/vozy_main.h"
#include "bench/figures.h"
#include "bench/measure.h"
#include "bench/raw_store.h"
#include "bench/server_store.h"
#include "bench/synthetic_store.h"
#include "bench/workplace.h"
#include "data/data_module.h"
#include "data/database.h"
#include "data/dataset.h"
#include "dispatch/order_entry.h"
#include "reports/journal_window.h"
#include "reports/orders_report_model.h"
#include "ui/db_controls.h"
#include "ui/db_grid.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSettings>
#include <QSqlQuery>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <malloc.h>
#include <optional>

namespace {

constexpr int OrderTab = 0;
constexpr int JournalTab = 2;
constexpr int VisibleRows = 30;

// Districts that have free drivers standing, as the dispatcher would find them on a call.
QVector<qint64> districtsWithFreeDrivers(Database &store)
{
    QSqlQuery q = store.prepare("SELECT DISTINCT Raion FROM vozyraion WHERE Status = 0 ORDER BY Raion");
    Database::exec(q);
    QVector<qint64> districts;
    while (q.next())
        districts << q.value(0).toLongLong();
    return districts;
}

// The number of a random order: busy callers come up as often as they call.
QString telephoneOfSomeOrder(Database &store, QRandomGenerator &random)
{
    QSqlQuery q =
        store.prepare("SELECT CAST(Telefon AS INTEGER) FROM gurnal WHERE Id >= ? AND Telefon IS NOT NULL "
                      "ORDER BY Id LIMIT 1");
    QSqlQuery last = store.prepare("SELECT max(Id) FROM gurnal");
    Database::exec(last);
    q.addBindValue(qint64(1 + random.bounded(last.next() ? last.value(0).toLongLong() : 1)));
    Database::exec(q);
    return q.next() ? q.value(0).toString() : QStringLiteral("5551234");
}

// The journal window's grid made as tall as a large screen shows, VisibleRows rows, while it lives.
class TallGrid
{
public:
    explicit TallGrid(TForm14 &journal)
        : m_grid(*journal.DBGrid1)
        , m_size(m_grid.size())
    {
        const int rowHeight = m_grid.verticalHeader()->defaultSectionSize();
        m_grid.setFixedHeight(m_size.height() +
                              (VisibleRows - m_grid.viewport()->height() / rowHeight) * rowHeight);
        QApplication::processEvents();
    }
    ~TallGrid() { m_grid.setFixedSize(m_size); }

private:
    DBGrid &m_grid;
    QSize m_size;
};

// One timed step: `prepare` untimed, then `run` timed.
struct Step
{
    std::function<void()> prepare;
    std::function<void()> run;
};

// The program's settings: the store on a server, or (empty) the file under the working directory.
void setStoreServer(const QString &connection)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Lumivark"),
                       QStringLiteral("ARM_Vozy"));
    if (connection.isEmpty())
        settings.remove(QStringLiteral("Key/DataBaseServer"));
    else
        settings.setValue(QStringLiteral("Key/DataBaseServer"), connection);
}

// The operations of one size on one store: the workstation started on `workingDir` with the
// settings as they are, its figures compared with `raw`, the store itself doing the same work on a
// copy of its own, so that the program's views never miss a write.
class SizeRun
{
public:
    SizeRun(const SyntheticStore &store, Database::Engine engine, const QString &workingDir,
            std::unique_ptr<RawStore> raw, const QStringList &only)
        : m_orders(store.orders)
        , m_storeName(engine == Database::Engine::Postgres ? QStringLiteral("postgres")
                                                           : QStringLiteral("sqlite"))
        , m_workingDir(workingDir)
        , m_only(only)
        , m_random(1207)
        , m_store(store)
        , m_raw(std::move(raw))
    {
    }

    QVector<Figure> run()
    {
        if (wanted("open"))
            add("open", "the workstation built, login window", 50,
                medianMs(
                    10, [&] { m_workplace.reset(); },
                    [&] { m_workplace = std::make_unique<Workplace>(m_workingDir); }));
        else
            m_workplace = std::make_unique<Workplace>(m_workingDir);
        Workplace &w = *m_workplace;
        w.logIn();
        if (wanted("paint")) {
            measure("paint", "main window on \"Заказ\", all of it", 0, 30,
                    {{}, [&] { w.repaintMainWindow(); }});
            m_figures.last().informative = true;
        }
        w.setPainting(false);
        measureOrders(w);
        measureScreens(w);
        measureCallers(w);
        w.setPainting(true);
        measureMemory(w);
        if (!w.messages().shown().isEmpty())
            throw std::runtime_error(w.messages().shown().join(' ').toStdString());
        m_workplace.reset();
        if (m_storeName == QLatin1String("sqlite"))
            measureUpgrade();
        return m_figures;
    }

private:
    // Named, or its group named: "callers" stands for both repeat-caller figures.
    bool wanted(const char *name) const
    {
        const QString figure = QLatin1String(name);
        const auto named = [this](const QString &n) { return m_only.contains(n); };
        const QString callers = QStringLiteral("callers");
        return m_only.isEmpty() || named(figure) || (figure.startsWith(callers) && named(callers)) ||
               (figure == callers && std::any_of(m_only.begin(), m_only.end(),
                                                 [&](const QString &n) { return n.startsWith(callers); }));
    }

    void add(const char *name, const char *via, double limit, double median, bool relative = false,
             std::optional<double> raw = std::nullopt)
    {
        m_figures.append({m_storeName, QString::fromLatin1(name), m_orders, median, raw,
                          QString::fromUtf8(via), limit, relative});
    }

    // An operation timed through the program alone.
    void measure(const char *name, const char *via, double limit, int runs, const Step &ours)
    {
        if (wanted(name))
            add(name, via, limit, medianMs(runs, ours.prepare, ours.run));
    }

    // An operation timed through the program and through SQLite itself, run for run in turn, so
    // that both meet the same machine.
    void compare(const char *name, const char *via, double limit, int runs, const Step &ours, const Step &raw,
                 bool relative = true)
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
        add(name, via, limit, oursMs.at(runs / 2), relative, rawMs.at(runs / 2));
    }

    qint64 anyDistrict() { return 1 + m_random.bounded(SyntheticStore::Districts); }

    // A call from a district where free drivers stand, to anywhere.
    Operation::NewOrder anyOrder(Workplace &w)
    {
        const QVector<qint64> free = districtsWithFreeDrivers(w.dm().database());
        const qint64 pickup = free.isEmpty() ? anyDistrict() : free.at(m_random.bounded(int(free.size())));
        return {Operation::districtRow(w, pickup), int(m_random.bounded(SyntheticStore::StreetsPerDistrict)),
                Operation::districtRow(w, anyDistrict())};
    }

    void orderCycle(Workplace &w, const Operation::NewOrder &order)
    {
        Operation::newOrder(w, order);
        Operation::storeOrder(w);
    }

    // "Выполнено" on the "Журнал" tab, the dispatcher back on "Заказ".
    void completeAnOrder(Workplace &w)
    {
        Operation::showTab(w, JournalTab);
        if (Operation::selectCompletableOrder(w))
            Operation::completeOrder(w);
        Operation::showTab(w, OrderTab);
    }

    void measureOrders(Workplace &w)
    {
        Operation::NewOrder order;
        measure("order", "order tab", 5, 30, {[&] { order = anyOrder(w); }, [&] { orderCycle(w, order); }});
        measure("order_after_done", "order tab after the journal tab", 5, 30,
                {[&] {
                     completeAnOrder(w);
                     order = anyOrder(w);
                 },
                 [&] { orderCycle(w, order); }});
        const QDate today = QDate::currentDate();
        compare("store", "order tab, \"Оформить\"", 2, 20,
                {[&] {
                     Operation::newOrder(w, anyOrder(w));
                     Operation::settle();
                 },
                 [&] { Operation::storeOrder(w); }},
                {{}, [&] {
                     m_raw->store(1 + m_random.bounded(SyntheticStore::Drivers), anyDistrict(), anyDistrict(),
                                  today);
                 }});
        std::pair<qint64, qint64> rawOrder;
        Operation::showTab(w, JournalTab);
        compare("done", "journal tab, \"Выполнено\"", 3, 20,
                {[&] { Operation::selectCompletableOrder(w); }, [&] { Operation::completeOrder(w); }},
                {[&] { rawOrder = m_raw->currentOrder(); },
                 [&] { m_raw->done(rawOrder.first, rawOrder.second); }});
        Operation::showTab(w, OrderTab);
    }

    void measureScreens(Workplace &w)
    {
        measure("tab", "main window", 10, 20, {{}, [&] {
                                                   Operation::showTab(w, JournalTab);
                                                   Operation::showTab(w, OrderTab);
                                               }});
        measure("journal", "journal window", 100, 30,
                {{}, [&] { Operation::withJournal(w, Operation::browseJournal); }});
        if (wanted("scroll"))
            Operation::withJournal(w, [&](TForm14 &journal) { measureScroll(w, journal); });
        const QString dateLabel = m_store.lastDay.toString(QStringLiteral("dd.MM.yyyy"));
        compare("report", "report model", 2, 100,
                {{}, [&] { buildOrdersReport(w.dm(), m_store.lastDay, dateLabel, 10); }},
                {{}, [&] { m_raw->report(m_store.lastDay); }});
        if (wanted("fare")) {
            OrderEntryTab &tab = w.orderEntry();
            tab.Button2->click();
            Operation::settle();
            measure("fare", "order tab, \"Посчитать\"", 1, 200,
                    {[&] {
                         Operation::chooseDistricts(w, Operation::districtRow(w, anyDistrict()),
                                                    Operation::districtRow(w, anyDistrict()));
                     },
                     [&] { Operation::fare(w); }});
            tab.Button10->click();
        }
    }

    // 30 rows of the journal window's grid at a random position, the display fields' rows read
    // afresh, against SQLite reading the same page by key with its joins.
    void measureScroll(Workplace &w, TForm14 &journal)
    {
        const TallGrid tall(journal);
        TDataModule2 &dm = w.dm();
        int first = 0;
        qint64 fromId = 1;
        compare("scroll", "journal window grid", 5, 30,
                {[&] {
                     for (Dataset *lookedIn : {dm.Table1, dm.sotrud, dm.Table6, dm.Table5})
                         lookedIn->refresh();
                     first = int(m_random.bounded(w.currentOrders().recordCount() - VisibleRows));
                 },
                 [&] { Operation::scrollJournal(journal, first); }},
                {[&] { fromId = w.currentOrders().idAt(first); }, [&] { m_raw->scroll(fromId); }}, false);
    }

    // The repeat callers offered as the digits are typed into the telephone box: the look-up that
    // the last key starts, for the first three digits and for a whole number.
    void measureCallers(Workplace &w)
    {
        if (!wanted("callers"))
            return;
        OrderEntryTab &tab = w.orderEntry();
        tab.Button2->click();
        Operation::settle();
        for (const auto &[name, digits] : {std::pair{"callers_prefix", 3}, std::pair{"callers_number", 0}}) {
            QString number;
            measure(name, "order tab, telephone typed", 5, 50,
                    {[&, digits = digits] {
                         number = telephoneOfSomeOrder(w.dm().database(), m_random);
                         if (digits > 0)
                             number.truncate(digits);
                         tab.DBEdit3->clear();
                         Operation::typeTelephone(w, number.chopped(1));
                     },
                     [&] { Operation::typeTelephone(w, number.right(1)); }});
        }
        tab.Button10->click();
    }

    // The journal window open and scrolled end to end, a screen at a time, its rows read as the
    // grid draws them (drawn, a million orders would take minutes).
    void measureMemory(Workplace &w)
    {
        if (!wanted("rss"))
            return;
        resetPeakResident();
        qint64 atOpen = 0, walked = 0;
        Operation::withJournal(w, [&](TForm14 &journal) {
            const TallGrid tall(journal);
            atOpen = w.currentOrders().viewBytes();
            const int rows = w.currentOrders().recordCount();
            for (int first = 0; first < rows; first += VisibleRows)
                Operation::readJournalRows(journal, first, VisibleRows);
            walked = w.currentOrders().viewBytes();
        });
        add("rss", "journal window, end to end", 150, peakResidentMb());
        print(QStringLiteral(
                  "%1 orders: the journal view holds %2 KB when opened, %3 KB after the walk end to end")
                  .arg(m_orders)
                  .arg(atOpen / 1024.0, 0, 'f', 0)
                  .arg(walked / 1024.0, 0, 'f', 0));
    }

    // The first start of a store kept before the callers were: they are counted from the journal
    // once, in the upgrade.
    void measureUpgrade()
    {
        if (!wanted("upgrade"))
            return;
        {
            const std::unique_ptr<Database> store = Database::open(m_store.file);
            for (const char *statement :
                 {"DROP TRIGGER gurnal_callers_insert", "DROP TRIGGER gurnal_callers_delete",
                  "DROP TRIGGER gurnal_callers_update", "DROP TABLE gurnal_callers",
                  "DROP INDEX gurnal_Telefon", "PRAGMA user_version=2"})
                store->execute(statement);
        }
        QElapsedTimer timer;
        timer.start();
        Database::open(m_store.file);
        print(QStringLiteral("%1 orders: first start of a store kept before the repeat callers: %2 s")
                  .arg(m_orders)
                  .arg(timer.elapsed() / 1000.0, 0, 'f', 1));
    }

    qint64 m_orders;
    QString m_storeName;
    QString m_workingDir;
    QStringList m_only;
    QRandomGenerator m_random;
    SyntheticStore m_store;
    std::unique_ptr<RawStore> m_raw;
    std::unique_ptr<Workplace> m_workplace;
    QVector<Figure> m_figures;
};

// The stores of one size: the SQLite file generated, and the same rows on the server when one is
// given; the program and the store itself measured on each.
QVector<Figure> runSize(qint64 orders, const QStringList &only, const QString &server)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        throw std::runtime_error("no temporary directory");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath("settings"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.filePath("settings"));
    QElapsedTimer timer;
    timer.start();
    std::clock_t cpuAtStart = std::clock();
    const SyntheticStore store = generateStore(Database::storeFile(dir.path()), orders);
    // The generating connection's page cache is freed, but the C library keeps the pages for
    // the process; they go back to the system so that the memory figure is the program's.
    malloc_trim(0);
    print(QStringLiteral("%1 orders: store generated in %2 s, %3 s of CPU (%4 MB)")
              .arg(orders)
              .arg(timer.elapsed() / 1000.0, 0, 'f', 1)
              .arg(double(std::clock() - cpuAtStart) / CLOCKS_PER_SEC, 0, 'f', 1)
              .arg(QFileInfo(store.file).size() / 1048576.0, 0, 'f', 0));
    std::unique_ptr<ServerStore> onServer;
    if (!server.isEmpty()) {
        timer.restart();
        cpuAtStart = std::clock();
        onServer = std::make_unique<ServerStore>(server, store);
        print(QStringLiteral("%1 orders: copied to the server in %2 s, %3 s of our CPU (%4 MB)")
                  .arg(orders)
                  .arg(timer.elapsed() / 1000.0, 0, 'f', 1)
                  .arg(double(std::clock() - cpuAtStart) / CLOCKS_PER_SEC, 0, 'f', 1)
                  .arg(onServer->bytes() / 1048576.0, 0, 'f', 0));
    }
    const QString rawFile = dir.filePath("raw.db");
    if (!QFile::copy(store.file, rawFile))
        throw std::runtime_error("cannot copy the store");

    setStoreServer({});
    QVector<Figure> file =
        SizeRun(store, Database::Engine::Sqlite, dir.path(), std::make_unique<SqliteRawStore>(rawFile), only)
            .run();
    printTable(file);
    if (!onServer)
        return file;
    setStoreServer(onServer->connection());
    const QString serverDir = dir.filePath("server");
    QDir().mkpath(serverDir);
    const QVector<Figure> onTheServer =
        SizeRun(store, Database::Engine::Postgres, serverDir,
                std::make_unique<ServerRawStore>(onServer->rawConnection()), only)
            .run();
    setStoreServer({});
    printTable(onTheServer);
    printServerBesideFile(onTheServer, file);
    return file + onTheServer;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setUpApplication(app);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QVector<qint64> sizes{10000, 100000, 1000000};
    QString json;
    QStringList only;
    bool cpuTime = false;
    QString server;
    bool onServer = false;
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
        } else if (args[i] == "--store" && i + 1 < args.size() &&
                   (args[i + 1] == "sqlite" || args[i + 1] == "postgres")) {
            onServer = args[++i] == "postgres";
            if (onServer && i + 1 < args.size() && !args[i + 1].startsWith("--"))
                server = args[++i];
        } else {
            print("usage: vozy-bench [--orders N[,N...]] [--json FILE] [--only NAME[,NAME...]] [--cpu-time] "
                  "[--store sqlite|postgres [CONNECTION]]");
            return 2;
        }
    }
    static const QStringList figureNames{"open",           "paint",          "order", "order_after_done",
                                         "store",          "done",           "tab",   "journal",
                                         "scroll",         "report",         "fare",  "callers",
                                         "callers_prefix", "callers_number", "rss",   "upgrade"};
    for (const QString &name : only) {
        if (!figureNames.contains(name)) {
            print(QStringLiteral("vozy-bench: no figure is called \"%1\"; the figures: %2")
                      .arg(name, figureNames.join(QStringLiteral(", "))));
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
        std::unique_ptr<TemporaryCluster> cluster;
        if (onServer && server.isEmpty()) {
            cluster = std::make_unique<TemporaryCluster>();
            server = cluster->connection();
        }
        if (onServer)
            print(QStringLiteral("PostgreSQL server: %1").arg(server));
        QVector<Figure> figures;
        for (qint64 n : sizes)
            figures += runSize(n, only, server);
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
