#include "bench/server_connection.h"

#include <libpq-fe.h>

#include <stdexcept>

ServerConnection::ServerConnection(const QString &connection)
    : m_connection(PQconnectdb(connection.toUtf8().constData()))
{
    if (PQstatus(m_connection) != CONNECTION_OK) {
        const std::string message = PQerrorMessage(m_connection);
        PQfinish(m_connection);
        throw std::runtime_error(message);
    }
    // The server's notices ("does not exist, skipping") are not the benchmark's output.
    PQsetNoticeProcessor(
        m_connection, [](void *, const char *) {}, nullptr);
}

ServerConnection::~ServerConnection()
{
    PQfinish(m_connection);
}

std::vector<QStringList> ServerConnection::rowsOf(pg_result *result, const QString &what)
{
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        const std::string message = PQresultErrorMessage(result);
        PQclear(result);
        throw std::runtime_error(message + " in: " + what.left(200).toStdString());
    }
    std::vector<QStringList> rows;
    for (int r = 0; r < PQntuples(result); ++r) {
        QStringList row;
        for (int c = 0; c < PQnfields(result); ++c)
            row << (PQgetisnull(result, r, c) ? QString() : QString::fromUtf8(PQgetvalue(result, r, c)));
        rows.push_back(row);
    }
    PQclear(result);
    return rows;
}

std::vector<QStringList> ServerConnection::exec(const QString &sql)
{
    return rowsOf(PQexec(m_connection, sql.toUtf8().constData()), sql);
}

void ServerConnection::prepare(const char *name, const QString &sql)
{
    QString numbered;
    int value = 0;
    for (const QChar c : sql)
        numbered += c == u'?' ? QStringLiteral("$%1").arg(++value) : QString(c);
    rowsOf(PQprepare(m_connection, name, numbered.toUtf8().constData(), 0, nullptr), numbered);
}

std::vector<QStringList> ServerConnection::run(const char *name, const std::vector<QByteArray> &values)
{
    std::vector<const char *> texts;
    for (const QByteArray &v : values)
        texts.push_back(v.isNull() ? nullptr : v.constData());
    return rowsOf(PQexecPrepared(m_connection, name, int(texts.size()), texts.data(), nullptr, nullptr, 0),
                  QString::fromLatin1(name));
}

void ServerConnection::copy(const QString &table, const QStringList &columns,
                            const std::function<QByteArray()> &next)
{
    const QString sql =
        QStringLiteral("COPY %1 (%2) FROM STDIN").arg(table, columns.join(QStringLiteral(", ")));
    PGresult *started = PQexec(m_connection, sql.toUtf8().constData());
    if (PQresultStatus(started) != PGRES_COPY_IN)
        rowsOf(started, sql);
    else
        PQclear(started);
    for (QByteArray chunk = next(); !chunk.isEmpty(); chunk = next()) {
        if (PQputCopyData(m_connection, chunk.constData(), int(chunk.size())) != 1)
            throw std::runtime_error(PQerrorMessage(m_connection));
    }
    if (PQputCopyEnd(m_connection, nullptr) != 1)
        throw std::runtime_error(PQerrorMessage(m_connection));
    rowsOf(PQgetResult(m_connection), sql);
    while (PGresult *more = PQgetResult(m_connection))
        PQclear(more);
}

QByteArray copyText(const QByteArray &utf8)
{
    QByteArray out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}
