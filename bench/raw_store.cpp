#include "bench/raw_store.h"

#include "bench/server_connection.h"

#include <QTime>

namespace {

// The journal's page by key with the joins of its display fields, as the grid shows it.
constexpr const char *PageSql =
    "SELECT g.Id, g.IdOperator, g.IdVozy, g.IdOtkudaRaion, g.IdOtkudaUlica, g.IdKudaRaion, g.Ttime, "
    "g.Dom, g.Kvartira, g.Telefon, g.Km, g.Iinfo, g.DDate, g.Status, "
    "s.Family, t.Number, t.Familiya, r1.Raion, u.Ulica, r2.Raion FROM gurnal g "
    "LEFT JOIN sotrud s ON s.Id = g.IdOperator LEFT JOIN taxisti t ON t.Id = g.IdVozy "
    "LEFT JOIN raion r1 ON r1.Id = g.IdOtkudaRaion LEFT JOIN ulica u ON u.Id = g.IdOtkudaUlica "
    "LEFT JOIN raion r2 ON r2.Id = g.IdKudaRaion WHERE g.Id >= ? ORDER BY g.Id LIMIT 30";

QByteArray number(qint64 value)
{
    return QByteArray::number(value);
}

} // namespace

SqliteRawStore::SqliteRawStore(const QString &file)
    : m_connection(file)
{
    sqlite3 *db = m_connection.handle();
    SqliteStatement::exec(db, "PRAGMA journal_mode=WAL");
    SqliteStatement::exec(db, "PRAGMA synchronous=FULL");
    const auto prepare = [db](const char *sql) { return std::make_unique<SqliteStatement>(db, sql); };
    m_begin = prepare("BEGIN IMMEDIATE");
    m_commit = prepare("COMMIT");
    m_queueAppend = prepare("INSERT INTO vozyraion (Vozy, Raion, Status) VALUES (?, ?, 1)");
    m_queueDelete = prepare("DELETE FROM vozyraion WHERE Id = ?");
    m_journalInsert =
        prepare("INSERT INTO gurnal (IdOperator, IdVozy, IdOtkudaRaion, IdOtkudaUlica, IdKudaRaion, "
                "Ttime, Dom, Kvartira, Telefon, Km, Iinfo, DDate, Status) "
                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, NULL, ?, ?, 1)");
    m_currentOrder =
        prepare("SELECT Id, IdVozy FROM gurnal WHERE Status = 1 AND IdVozy IS NOT NULL ORDER BY Id LIMIT 1");
    m_orderDone = prepare("UPDATE gurnal SET Status = 0 WHERE Id = ?");
    m_freeDriver = prepare("UPDATE vozyraion SET Status = 0 WHERE Vozy = ?");
    m_report =
        prepare("SELECT t.Id, t.Number, t.Familiya, t.Name, t.Otchestvo, COUNT(*) FROM gurnal g "
                "JOIN taxisti t ON t.Id = g.IdVozy WHERE g.DDate = ? GROUP BY g.IdVozy ORDER BY g.IdVozy");
    m_page = prepare(PageSql);
}

SqliteRawStore::~SqliteRawStore() = default;

void SqliteRawStore::store(qint64 driver, qint64 pickup, qint64 destination, const QDate &today)
{
    m_begin->run();
    m_queueAppend->bind(1, driver).bind(2, destination).run();
    const qint64 appended = sqlite3_last_insert_rowid(m_connection.handle());
    // The driver's record in the pick-up district: here the one the previous order appended.
    m_queueDelete->bind(1, m_lastQueueRecord).run();
    m_lastQueueRecord = appended;
    m_journalInsert->bind(1, sqlite3_int64(1))
        .bind(2, driver)
        .bind(3, pickup)
        .bind(4, (pickup - 1) * 40 + 1)
        .bind(5, destination)
        .bind(6, QTime::currentTime().toString(QStringLiteral("HH:mm:ss")))
        .bind(7, QStringLiteral("12"))
        .bind(8, 7.0)
        .bind(9, 5551234.0)
        .bind(10, QStringLiteral("подъезд 2"))
        .bind(11, today.toString(Qt::ISODate))
        .run();
    m_commit->run();
}

std::pair<qint64, qint64> SqliteRawStore::currentOrder()
{
    std::pair<qint64, qint64> found;
    if (m_currentOrder->step())
        found = {m_currentOrder->integer(0), m_currentOrder->integer(1)};
    m_currentOrder->reset();
    return found;
}

void SqliteRawStore::done(qint64 order, qint64 driver)
{
    m_begin->run();
    m_orderDone->bind(1, order).run();
    m_freeDriver->bind(1, driver).run();
    m_commit->run();
}

int SqliteRawStore::report(const QDate &date)
{
    int rows = 0;
    m_report->bind(1, date.toString(Qt::ISODate));
    while (m_report->step()) {
        for (int c = 0; c < m_report->columns(); ++c)
            m_report->text(c);
        ++rows;
    }
    m_report->reset();
    return rows;
}

int SqliteRawStore::scroll(qint64 fromId)
{
    int rows = 0;
    m_page->bind(1, fromId);
    while (m_page->step()) {
        for (int c = 0; c < m_page->columns(); ++c)
            m_page->text(c);
        ++rows;
    }
    m_page->reset();
    return rows;
}

ServerRawStore::ServerRawStore(const QString &connection)
    : m_connection(std::make_unique<ServerConnection>(connection))
{
    ServerConnection &c = *m_connection;
    c.prepare("queue_append", "INSERT INTO vozyraion (Vozy, Raion, Status) VALUES (?, ?, 1) RETURNING Id");
    c.prepare("queue_delete", "DELETE FROM vozyraion WHERE Id = ?");
    c.prepare("journal_insert", "INSERT INTO gurnal (IdOperator, IdVozy, IdOtkudaRaion, IdOtkudaUlica, "
                                "IdKudaRaion, Ttime, Dom, Kvartira, Telefon, Km, Iinfo, DDate, Status) "
                                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, NULL, ?, ?, 1)");
    c.prepare("current_order",
              "SELECT Id, IdVozy FROM gurnal WHERE Status = 1 AND IdVozy IS NOT NULL ORDER BY Id LIMIT 1");
    c.prepare("order_done", "UPDATE gurnal SET Status = 0 WHERE Id = ?");
    c.prepare("free_driver", "UPDATE vozyraion SET Status = 0 WHERE Vozy = ?");
    // The server groups by the driver's key, on which the driver's other columns depend.
    c.prepare("report", "SELECT t.Id, t.Number, t.Familiya, t.Name, t.Otchestvo, COUNT(*) FROM gurnal g "
                        "JOIN taxisti t ON t.Id = g.IdVozy WHERE g.DDate = ? GROUP BY t.Id ORDER BY t.Id");
    c.prepare("page", PageSql);
}

ServerRawStore::~ServerRawStore() = default;

void ServerRawStore::store(qint64 driver, qint64 pickup, qint64 destination, const QDate &today)
{
    ServerConnection &c = *m_connection;
    c.exec(QStringLiteral("BEGIN"));
    const qint64 appended =
        c.run("queue_append", {number(driver), number(destination)}).at(0).at(0).toLongLong();
    c.run("queue_delete", {number(m_lastQueueRecord)});
    m_lastQueueRecord = appended;
    c.run("journal_insert",
          {"1", number(driver), number(pickup), number((pickup - 1) * 40 + 1), number(destination),
           QTime::currentTime().toString(QStringLiteral("HH:mm:ss")).toUtf8(), "12", "7", "5551234",
           QStringLiteral("подъезд 2").toUtf8(), today.toString(Qt::ISODate).toUtf8()});
    c.exec(QStringLiteral("COMMIT"));
}

std::pair<qint64, qint64> ServerRawStore::currentOrder()
{
    const std::vector<QStringList> rows = m_connection->run("current_order");
    if (rows.empty())
        return {};
    return {rows.front().at(0).toLongLong(), rows.front().at(1).toLongLong()};
}

void ServerRawStore::done(qint64 order, qint64 driver)
{
    ServerConnection &c = *m_connection;
    c.exec(QStringLiteral("BEGIN"));
    c.run("order_done", {number(order)});
    c.run("free_driver", {number(driver)});
    c.exec(QStringLiteral("COMMIT"));
}

int ServerRawStore::report(const QDate &date)
{
    return int(m_connection->run("report", {date.toString(Qt::ISODate).toUtf8()}).size());
}

int ServerRawStore::scroll(qint64 fromId)
{
    return int(m_connection->run("page", {number(fromId)}).size());
}
