#pragma once

#include <QStringList>

class Database;
struct sqlite3;

// The text of every statement that the store runs on a connection, as the store itself sees it before
// values are bound: what a test looks in for a value that must never be part of SQL.
class StatementTrace
{
public:
    explicit StatementTrace(Database &db);
    ~StatementTrace();
    StatementTrace(const StatementTrace &) = delete;
    StatementTrace &operator=(const StatementTrace &) = delete;

    const QStringList &statements() const { return m_statements; }

private:
    static int record(unsigned type, void *trace, void *statement, void *sql);

    sqlite3 *m_handle = nullptr;
    QStringList m_statements;
};
