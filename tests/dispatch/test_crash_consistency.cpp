#include "data/database.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <memory>
#include <optional>

namespace {

constexpr int Districts = 3;
constexpr int Drivers = 6;

int fromEnvironment(const char *name, int otherwise)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : otherwise;
}

// The orders the dispatcher's log says were committed: Id and whether the order is still current.
using Orders = QMap<qint64, bool>;

struct Tally
{
    int placed = 0;
    int done = 0;
    int cancelled = 0;
    int operations() const { return placed + done + cancelled; }
};

// An operation as the log names it: "begin place", "placed 7", "begin done 7", "cancelled 7".
struct Operation
{
    QString kind; // place, done, cancel
    qint64 order = 0;
};

// Applies a committed operation to the orders and the tally.
void apply(const Operation &op, Orders &orders, Tally &tally)
{
    if (op.kind == QLatin1String("place")) {
        orders.insert(op.order, true);
        ++tally.placed;
    } else if (op.kind == QLatin1String("done")) {
        orders[op.order] = false;
        ++tally.done;
    } else {
        orders.remove(op.order);
        ++tally.cancelled;
    }
}

struct StoredOrder
{
    bool current = false;
    qint64 driver = 0; // 0 for none
    qint64 destination = 0;
    bool whole = false; // time, date, operator, destination and status all there
};

struct QueueRecord
{
    qint64 driver = 0;
    qint64 district = 0;
    bool busy = false;
};

QString orderList(const Orders &orders)
{
    QStringList texts;
    for (auto it = orders.cbegin(); it != orders.cend(); ++it)
        texts << QStringLiteral("%1%2").arg(it.key()).arg(it.value() ? "" : " done");
    return texts.join(QStringLiteral(", "));
}

} // namespace

// A workstation switched off mid-shift: a dispatcher's copy (order_cycles) takes, completes and
// cancels orders through the order tab's and the journal tab's buttons and is killed at random
// moments, then started again on the same store. After every kill the store opens whole, and holds
// exactly the operations the copy reported committed, plus at most the one it had begun.
class TestCrashConsistency : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    Orders m_orders; // what the logs say is stored
    Tally m_tally;
    int m_beyondLog = 0; // kills that fell after a commit and before its line in the log
    int m_midOperation = 0;

    QString storeFile() const { return Database::storeFile(m_dir.path()); }

    void createStore()
    {
        const auto db = Database::create(storeFile());
        const auto insert = [&](const QString &sql, const QVariantList &values) {
            QSqlQuery query = db->prepare(sql);
            for (const QVariant &value : values)
                query.addBindValue(value);
            Database::exec(query);
        };
        for (int d = 1; d <= Districts; ++d)
            insert(QStringLiteral("INSERT INTO raion (Raion) VALUES (?)"),
                   {QStringLiteral("Район %1").arg(d)});
        insert(QStringLiteral("INSERT INTO auto (Name) VALUES (?)"), {QStringLiteral("Волга")});
        for (int driver = 1; driver <= Drivers; ++driver) {
            insert(QStringLiteral("INSERT INTO taxisti (Number, Familiya, IdAuto) VALUES (?, ?, 1)"),
                   {100 + driver, QStringLiteral("Водитель %1").arg(driver)});
            insert(QStringLiteral("INSERT INTO grafic (IdTaxist) VALUES (?)"), {driver});
            insert(QStringLiteral("INSERT INTO vozyraion (Vozy, Raion, Status) VALUES (?, ?, 0)"),
                   {driver, driver % Districts + 1});
        }
    }

    // The operations of one run's log; `begun` is the operation the run had begun and not reported.
    QList<Operation> readLog(const QString &path, std::optional<Operation> *begun)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QList<Operation> committed;
        begun->reset();
        const QList<QByteArray> lines = file.readAll().split('\n');
        // The last piece follows the last newline: a line the kill cut short, or nothing.
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            const QStringList words = QString::fromUtf8(lines.at(i)).split(u' ');
            if (words.first() == QLatin1String("begin")) {
                *begun = Operation{words.at(1), words.value(2).toLongLong()};
                continue;
            }
            const QString kind = words.first() == QLatin1String("placed") ? QStringLiteral("place")
                                 : words.first() == QLatin1String("done") ? QStringLiteral("done")
                                                                          : QStringLiteral("cancel");
            committed << Operation{kind, words.at(1).toLongLong()};
            begun->reset();
        }
        return committed;
    }

    // Everything the store must hold after a kill; the operation begun and not logged is taken into
    // the record when the store holds it.
    void verifyStore(const std::optional<Operation> &begun)
    {
        const auto db = Database::open(storeFile());
        QSqlQuery check = db->prepare(QStringLiteral("PRAGMA integrity_check"));
        Database::exec(check);
        QVERIFY(check.next());
        QCOMPARE(check.value(0).toString(), QStringLiteral("ok"));

        QMap<qint64, StoredOrder> journal;
        QSqlQuery orders = db->prepare(QStringLiteral(
            "SELECT Id, Status, coalesce(IdVozy, 0), IdKudaRaion, Ttime IS NOT NULL AND DDate IS "
            "NOT NULL AND IdOperator IS NOT NULL AND IdKudaRaion IS NOT NULL AND Status IS NOT "
            "NULL FROM gurnal"));
        Database::exec(orders);
        while (orders.next())
            journal.insert(orders.value(0).toLongLong(),
                           {orders.value(1).toBool(), orders.value(2).toLongLong(),
                            orders.value(3).toLongLong(), orders.value(4).toBool()});
        Orders stored;
        for (auto it = journal.cbegin(); it != journal.cend(); ++it)
            stored.insert(it.key(), it->current);

        if (stored != m_orders) {
            QVERIFY2(begun.has_value(), qPrintable(QStringLiteral("the store holds %1, the log %2")
                                                       .arg(orderList(stored), orderList(m_orders))));
            Operation op = *begun;
            if (op.kind == QLatin1String("place")) {
                const qint64 newest = stored.isEmpty() ? 0 : stored.lastKey();
                QVERIFY2(!m_orders.contains(newest) && newest > (m_orders.isEmpty() ? 0 : m_orders.lastKey()),
                         "a new order in the store must be the one begun");
                op.order = newest;
            }
            Orders expected = m_orders;
            Tally tally = m_tally;
            apply(op, expected, tally);
            QVERIFY2(stored == expected,
                     qPrintable(QStringLiteral("the store holds %1, the log with the begun "
                                               "operation %2")
                                    .arg(orderList(stored), orderList(expected))));
            m_orders = expected;
            m_tally = tally;
            ++m_beyondLog;
        }

        // The counts the operations imply.
        QCOMPARE(int(journal.size()), m_tally.placed - m_tally.cancelled);
        QCOMPARE(int(std::count_if(journal.cbegin(), journal.cend(),
                                   [](const StoredOrder &o) { return !o.current; })),
                 m_tally.done);

        QMap<qint64, QueueRecord> queue; // by driver
        QSqlQuery records = db->prepare(QStringLiteral("SELECT Vozy, Raion, Status FROM vozyraion"));
        Database::exec(records);
        int recordCount = 0;
        while (records.next()) {
            ++recordCount;
            const qint64 driver = records.value(0).toLongLong();
            QVERIFY2(!queue.contains(driver),
                     qPrintable(QStringLiteral("driver %1 stands twice").arg(driver)));
            queue.insert(driver, {driver, records.value(1).toLongLong(), records.value(2).toBool()});
        }
        QCOMPARE(recordCount, Drivers);

        // An order and its driver's record move together: a driver is busy exactly while one order of
        // his is current, and stands where that order goes.
        QMap<qint64, qint64> currentOrderOf;
        for (auto it = journal.cbegin(); it != journal.cend(); ++it) {
            QVERIFY2(it->whole, qPrintable(QStringLiteral("order %1 is not whole").arg(it.key())));
            if (it->current && it->driver != 0) {
                QVERIFY2(!currentOrderOf.contains(it->driver),
                         qPrintable(QStringLiteral("driver %1 has two current orders").arg(it->driver)));
                currentOrderOf.insert(it->driver, it.key());
            }
        }
        for (qint64 driver = 1; driver <= Drivers; ++driver) {
            QVERIFY2(queue.contains(driver),
                     qPrintable(QStringLiteral("driver %1 left the queue").arg(driver)));
            const QueueRecord &record = queue.value(driver);
            QVERIFY2(record.busy == currentOrderOf.contains(driver),
                     qPrintable(QStringLiteral("driver %1: busy %2, current order %3")
                                    .arg(driver)
                                    .arg(record.busy)
                                    .arg(currentOrderOf.value(driver))));
            if (record.busy)
                QCOMPARE(record.district, journal.value(currentOrderOf.value(driver)).destination);
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        createStore();
    }

    void killedAtRandomTheStoreHoldsExactlyWhatWasCommitted()
    {
        const quint32 seed = quint32(fromEnvironment("VOZY_CRASH_SEED", 20261209));
        const int kills = fromEnvironment("VOZY_CRASH_KILLS", 32);
        QRandomGenerator random(seed);
        for (int run = 0; run < kills; ++run) {
            const QString log = m_dir.filePath(QStringLiteral("run-%1.log").arg(run));
            QProcess copy;
            copy.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            copy.start(QStringLiteral(ORDER_CYCLES),
                       {m_dir.path(), log, QString::number(seed + quint32(run))});
            QVERIFY(copy.waitForStarted(10000));
            QVERIFY2(copy.waitForReadyRead(20000), "the copy did not open its windows");
            QCOMPARE(copy.readLine().trimmed(), QByteArray("ready"));
            // Most kills fall within a few operations, some after many.
            const int delay =
                random.bounded(8) == 0 ? int(random.bounded(300, 900)) : int(random.bounded(150));
            QVERIFY2(!copy.waitForFinished(delay),
                     qPrintable(QStringLiteral("the copy stopped by itself: %1").arg(copy.exitCode())));
            ::kill(pid_t(copy.processId()), SIGKILL);
            QVERIFY(copy.waitForFinished(10000));
            QCOMPARE(copy.exitStatus(), QProcess::CrashExit);

            std::optional<Operation> begun;
            for (const Operation &op : readLog(log, &begun))
                apply(op, m_orders, m_tally);
            if (begun)
                ++m_midOperation;
            verifyStore(begun);
            if (QTest::currentTestFailed()) {
                qWarning("run %d (seed %u) failed", run, seed + quint32(run));
                return;
            }
        }
        qInfo("kills survived: %d (seed %u); operations committed: %d (placed %d, done %d, cancelled %d); "
              "killed mid-operation: %d, of which committed and not yet logged: %d; nothing lost",
              kills, seed, m_tally.operations(), m_tally.placed, m_tally.done, m_tally.cancelled,
              m_midOperation, m_beyondLog);
        // The kills must have fallen among the operations, not before them.
        QVERIFY(m_tally.operations() >= kills);
        QVERIFY(m_tally.done > 0 && m_tally.cancelled > 0);
    }
};

QTEST_GUILESS_MAIN(TestCrashConsistency)
#include "test_crash_consistency.moc"
