#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

struct pg_conn;
struct pg_result;

// A connection of the PostgreSQL server's own client library, for loading the synthetic store and
// for the comparisons with the server itself. Errors throw std::runtime_error with the server's message.
class ServerConnection
{
public:
    explicit ServerConnection(const QString &connection);
    ~ServerConnection();
    ServerConnection(const ServerConnection &) = delete;
    ServerConnection &operator=(const ServerConnection &) = delete;

    // Runs statements without values; the rows of the last one, each row's values as texts.
    std::vector<QStringList> exec(const QString &sql);
    // A statement prepared once under `name`, its values written "?" as in the program's statements.
    void prepare(const char *name, const QString &sql);
    // Runs a prepared statement with its values as texts (a null QByteArray is NULL); its rows.
    std::vector<QStringList> run(const char *name, const std::vector<QByteArray> &values = {});
    // Rows of `columns` of `table` in COPY's text format, a line each, as `next` gives them in chunks
    // until it gives an empty one.
    void copy(const QString &table, const QStringList &columns, const std::function<QByteArray()> &next);

private:
    std::vector<QStringList> rowsOf(pg_result *result, const QString &what);

    pg_conn *m_connection = nullptr;
};

// A value as COPY's text format spells it: backslash, tab and line ends escaped.
QByteArray copyText(const QByteArray &utf8);
