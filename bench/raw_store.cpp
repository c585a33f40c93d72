#include "bench/raw_store.h"

#include <QTime>

RawStore::RawStore(const QString &file)
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
    m_page = prepare(
        "SELECT g.Id, g.IdOperator, g.IdVozy, g.IdOtkudaRaion, g.IdOtkudaUlica, g.IdKudaRaion, g.Ttime, "
        "g.Dom, g.Kvartira, g.Telefon, g.Km, g.Iinfo, g.DDate, g.Status, "
        "s.Family, t.Number, t.Familiya, r1.Raion, u.Ulica, r2.Raion FROM gurnal g "
        "LEFT JOIN sotrud s ON s.Id = g.IdOperator LEFT JOIN taxisti t ON t.Id = g.IdVozy "
        "LEFT JOIN raion r1 ON r1.Id = g.IdOtkudaRaion LEFT JOIN ulica u ON u.Id = g.IdOtkudaUlica "
        "LEFT JOIN raion r2 ON r2.Id = g.IdKudaRaion WHERE g.Id >= ? ORDER BY g.Id LIMIT 30");
}

RawStore::~RawStore() = default;

void RawStore::store(qint64 driver, qint64 pickup, qint64 destination, const QDate &today)
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

std::pair<qint64, qint64> RawStore::currentOrder()
{
    std::pair<qint64, qint64> found;
    if (m_currentOrder->step())
        found = {m_currentOrder->integer(0), m_currentOrder->integer(1)};
    m_currentOrder->reset();
    return found;
}

void RawStore::done(qint64 order, qint64 driver)
{
    m_begin->run();
    m_orderDone->bind(1, order).run();
    m_freeDriver->bind(1, driver).run();
    m_commit->run();
}

int RawStore::report(const QDate &date)
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

int RawStore::scroll(qint64 fromId)
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
