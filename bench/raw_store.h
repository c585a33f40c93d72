#pragma once

#include "bench/sqlite_statement.h"

#include <QDate>

#include <memory>

// The same store work done directly through SQLite's own interface, on a connection of its own
// with the program's durability (WAL, synchronous=FULL), statements prepared in advance: the
// limit the program's figures are compared with.
class RawStore
{
public:
    explicit RawStore(const QString &file);
    ~RawStore();

    // Storing an order: queue append, queue delete, journal insert, in one transaction.
    void store(qint64 driver, qint64 pickup, qint64 destination, const QDate &today);
    // The oldest current order with a driver, and the driver: what "done" completes next.
    std::pair<qint64, qint64> currentOrder();
    // Completing an order: its update and the statement that frees its driver, in one transaction.
    void done(qint64 order, qint64 driver);
    // The report: one grouped query, every row read.
    int report(const QDate &date);
    // 30 journal rows from a position by key, with the joins of their display fields, every value read.
    int scroll(qint64 fromId);

private:
    SqliteConnection m_connection;
    std::unique_ptr<SqliteStatement> m_begin, m_commit, m_queueAppend, m_queueDelete, m_journalInsert,
        m_orderDone, m_freeDriver, m_currentOrder, m_report, m_page;
    qint64 m_lastQueueRecord = 0;
};
