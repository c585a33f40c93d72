#pragma once

#include "data/field_type.h"

#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QVariant>

#include <functional>

class QSqlQuery;
struct sqlite3;
struct sqlite3_stmt;

// A row of a statement being read.
class StoreRow
{
public:
    explicit StoreRow(sqlite3_stmt *statement)
        : m_statement(statement)
    {
    }
    explicit StoreRow(const QSqlQuery *query)
        : m_query(query)
    {
    }

    bool isNull(int column) const;
    qint64 integer(int column) const;
    // The value of a column as a dataset holds a field of this type.
    QVariant value(int column, FieldType type) const;

private:
    QString text(int column) const;
    QVariant serverValue(int column, FieldType type) const;

    sqlite3_stmt *m_statement = nullptr;
    const QSqlQuery *m_query = nullptr; // a server's row, read through the toolkit's driver
};

// The data layer's own reads, straight through SQLite's interface on the store's connection:
// statements prepared once and kept, values decoded once. Through the toolkit's driver each value
// is converted three times, which made reading a page of the journal cost ten times SQLite's own time.
// A database server is read through the toolkit's driver, its statements prepared once and kept too.
class StoreReader
{
public:
    explicit StoreReader(sqlite3 *connection);
    explicit StoreReader(const QSqlDatabase &server);
    ~StoreReader();
    StoreReader(const StoreReader &) = delete;
    StoreReader &operator=(const StoreReader &) = delete;

    // Lets go of the server connection, keeping the statements prepared on it: they are released only
    // after the connection's driver is gone, when releasing them sends nothing to the server. A lost
    // connection cannot free them, and the driver would warn for each.
    void forgetServer() { m_server = QSqlDatabase(); }

    // Runs a SELECT with its values bound and calls `row` for each row. Throws DataError with the
    // store's message.
    void select(const QString &sql, const QVariantList &values,
                const std::function<void(const StoreRow &)> &row);

private:
    sqlite3_stmt *prepare(const QString &sql);
    void bind(sqlite3_stmt *statement, const QVariantList &values);
    [[noreturn]] void fail() const;
    void selectOnServer(const QString &sql, const QVariantList &values,
                        const std::function<void(const StoreRow &)> &row);

    sqlite3 *m_connection = nullptr;
    QSqlDatabase m_server;
    QHash<QString, QSqlQuery *> m_serverStatements;
    QSet<QSqlQuery *> m_serverRunning;
    QHash<QString, sqlite3_stmt *> m_statements;
    QSet<sqlite3_stmt *> m_running;
};
