#pragma once

#include "bench/sqlite_statement.h"

#include <QDate>

#include <memory>

class ServerConnection;

// The same store work done directly through the store's own client interface, on a connection of its
// own with the program's durability, statements prepared in advance: the limit the program's figures
// are compared with.
class RawStore
{
public:
    virtual ~RawStore() = default;

    // Storing an order: queue append, queue delete, journal insert, in one transaction.
    virtual void store(qint64 driver, qint64 pickup, qint64 destination, const QDate &today) = 0;
    // The oldest current order with a driver, and the driver: what "done" completes next.
    virtual std::pair<qint64, qint64> currentOrder() = 0;
    // Completing an order: its update and the statement that frees its driver, in one transaction.
    virtual void done(qint64 order, qint64 driver) = 0;
    // The report: one grouped query, every row read.
    virtual int report(const QDate &date) = 0;
    // 30 journal rows from a position by key, with the joins of their display fields, every value read.
    virtual int scroll(qint64 fromId) = 0;
};

// Through SQLite's own interface, with WAL and synchronous=FULL.
class SqliteRawStore final : public RawStore
{
public:
    explicit SqliteRawStore(const QString &file);
    ~SqliteRawStore() override;

    void store(qint64 driver, qint64 pickup, qint64 destination, const QDate &today) override;
    std::pair<qint64, qint64> currentOrder() override;
    void done(qint64 order, qint64 driver) override;
    int report(const QDate &date) override;
    int scroll(qint64 fromId) override;

private:
    SqliteConnection m_connection;
    std::unique_ptr<SqliteStatement> m_begin, m_commit, m_queueAppend, m_queueDelete, m_journalInsert,
        m_orderDone, m_freeDriver, m_currentOrder, m_report, m_page;
    qint64 m_lastQueueRecord = 0;
};

// Through the server's own client library, with the server's durability (its commits flushed).
class ServerRawStore final : public RawStore
{
public:
    explicit ServerRawStore(const QString &connection);
    ~ServerRawStore() override;

    void store(qint64 driver, qint64 pickup, qint64 destination, const QDate &today) override;
    std::pair<qint64, qint64> currentOrder() override;
    void done(qint64 order, qint64 driver) override;
    int report(const QDate &date) override;
    int scroll(qint64 fromId) override;

private:
    std::unique_ptr<ServerConnection> m_connection;
    qint64 m_lastQueueRecord = 0;
};
