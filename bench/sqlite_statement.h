#pragma once

#include <QByteArray>
#include <QString>

#include <sqlite3.h>

#include <stdexcept>

// A prepared statement of SQLite's own interface, for the generator and the comparisons with the
// store itself. Errors throw std::runtime_error with SQLite's message.
class SqliteStatement
{
public:
    SqliteStatement(sqlite3 *db, const char *sql)
        : m_db(db)
    {
        check(sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr));
    }
    ~SqliteStatement() { sqlite3_finalize(m_statement); }
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    SqliteStatement &bind(int index, sqlite3_int64 value)
    {
        check(sqlite3_bind_int64(m_statement, index, value));
        return *this;
    }
    SqliteStatement &bind(int index, double value)
    {
        check(sqlite3_bind_double(m_statement, index, value));
        return *this;
    }
    SqliteStatement &bind(int index, const QString &value)
    {
        const QByteArray utf8 = value.toUtf8();
        check(sqlite3_bind_text(m_statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT));
        return *this;
    }
    SqliteStatement &bindBlob(int index, const QByteArray &value)
    {
        check(sqlite3_bind_blob(m_statement, index, value.constData(), int(value.size()), SQLITE_TRANSIENT));
        return *this;
    }
    SqliteStatement &bindNull(int index)
    {
        check(sqlite3_bind_null(m_statement, index));
        return *this;
    }

    // One row more; false at the end.
    bool step()
    {
        const int rc = sqlite3_step(m_statement);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            check(rc);
        return false;
    }
    // Runs a statement that gives no rows, and makes it ready for the next values.
    void run()
    {
        while (step()) {
        }
        reset();
    }
    void reset()
    {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }

    sqlite3_int64 integer(int column) const { return sqlite3_column_int64(m_statement, column); }
    double number(int column) const { return sqlite3_column_double(m_statement, column); }
    const unsigned char *text(int column) const { return sqlite3_column_text(m_statement, column); }
    int columns() const { return sqlite3_column_count(m_statement); }
    sqlite3_stmt *handle() const { return m_statement; }

    static void exec(sqlite3 *db, const char *sql)
    {
        char *message = nullptr;
        if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
            const std::string text = message ? message : "SQLite error";
            sqlite3_free(message);
            throw std::runtime_error(text);
        }
    }

private:
    void check(int rc) const
    {
        if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(m_db));
    }

    sqlite3 *m_db;
    sqlite3_stmt *m_statement = nullptr;
};

// A connection of SQLite's own, closed with the object.
class SqliteConnection
{
public:
    explicit SqliteConnection(const QString &file)
    {
        if (sqlite3_open_v2(file.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            const std::string message = sqlite3_errmsg(m_db);
            sqlite3_close(m_db);
            throw std::runtime_error(message);
        }
    }
    ~SqliteConnection() { sqlite3_close(m_db); }
    SqliteConnection(const SqliteConnection &) = delete;
    SqliteConnection &operator=(const SqliteConnection &) = delete;

    sqlite3 *handle() const { return m_db; }

private:
    sqlite3 *m_db = nullptr;
};
