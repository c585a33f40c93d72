#include "data/store_reader.h"

#include "data/data_error.h"
#include "data/database.h"

#include <QDate>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <QTime>

#include <sqlite3.h>

namespace {

// Statements kept prepared: the data layer's reads use a few dozen.
constexpr int MaxStatements = 200;

// Dates and times as the store keeps them ("2026-12-07", "09:05:07"), read without the general
// parser, which costs more than reading the row.
int digits(const char *text, int count)
{
    int value = 0;
    for (int i = 0; i < count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

QDate storedDate(const char *text, int length)
{
    if (length == 10 && text[4] == '-' && text[7] == '-')
        return QDate(digits(text, 4), digits(text + 5, 2), digits(text + 8, 2));
    return QDate::fromString(QString::fromUtf8(text, length), Qt::ISODate);
}

QTime storedTime(const char *text, int length)
{
    if (length == 8 && text[2] == ':' && text[5] == ':')
        return QTime(digits(text, 2), digits(text + 3, 2), digits(text + 6, 2));
    return QTime::fromString(QString::fromUtf8(text, length), QStringLiteral("HH:mm:ss"));
}

} // namespace

bool StoreRow::isNull(int column) const
{
    if (m_query != nullptr)
        return m_query->isNull(column);
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

qint64 StoreRow::integer(int column) const
{
    if (m_query != nullptr)
        return m_query->value(column).toLongLong();
    return sqlite3_column_int64(m_statement, column);
}

// The server keeps the same values in the same texts: dates and times as text, logicals as 0/1.
QVariant StoreRow::serverValue(int column, FieldType type) const
{
    const QVariant stored = m_query->value(column);
    if (stored.isNull())
        return {};
    switch (type) {
    case FieldType::AutoInc:
    case FieldType::Integer:
        if (stored.typeId() == QMetaType::Double)
            return qRound64(stored.toDouble());
        return stored.toLongLong();
    case FieldType::Number:
        return stored.toDouble();
    case FieldType::Logical:
        return stored.toLongLong() != 0;
    case FieldType::Date: {
        const QByteArray utf8 = stored.toString().toUtf8();
        return storedDate(utf8.constData(), int(utf8.size()));
    }
    case FieldType::Time: {
        const QByteArray utf8 = stored.toString().toUtf8();
        return storedTime(utf8.constData(), int(utf8.size()));
    }
    case FieldType::Text:
        return stored.toString();
    case FieldType::Blob:
        return stored.toByteArray();
    }
    return {};
}

QString StoreRow::text(int column) const
{
    const auto *utf8 = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
    return QString::fromUtf8(utf8, sqlite3_column_bytes(m_statement, column));
}

QVariant StoreRow::value(int column, FieldType type) const
{
    if (m_query != nullptr)
        return serverValue(column, type);
    const int stored = sqlite3_column_type(m_statement, column);
    if (stored == SQLITE_NULL)
        return {};
    switch (type) {
    case FieldType::AutoInc:
    case FieldType::Integer:
        if (stored == SQLITE_FLOAT)
            return qRound64(sqlite3_column_double(m_statement, column));
        return qint64(sqlite3_column_int64(m_statement, column));
    case FieldType::Number:
        return sqlite3_column_double(m_statement, column);
    case FieldType::Logical:
        return sqlite3_column_int64(m_statement, column) != 0;
    case FieldType::Date:
        return storedDate(reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column)),
                          sqlite3_column_bytes(m_statement, column));
    case FieldType::Time:
        return storedTime(reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column)),
                          sqlite3_column_bytes(m_statement, column));
    case FieldType::Text:
        return text(column);
    case FieldType::Blob:
        return QByteArray(static_cast<const char *>(sqlite3_column_blob(m_statement, column)),
                          sqlite3_column_bytes(m_statement, column));
    }
    return {};
}

StoreReader::StoreReader(sqlite3 *connection)
    : m_connection(connection)
{
}

StoreReader::StoreReader(const QSqlDatabase &server)
    : m_server(server)
{
}

StoreReader::~StoreReader()
{
    qDeleteAll(m_serverStatements);
    for (sqlite3_stmt *statement : std::as_const(m_statements))
        sqlite3_finalize(statement);
}

void StoreReader::fail() const
{
    throw DataError(QString::fromUtf8(sqlite3_errmsg(m_connection)));
}

sqlite3_stmt *StoreReader::prepare(const QString &sql)
{
    if (const auto it = m_statements.constFind(sql); it != m_statements.constEnd())
        return *it;
    if (m_statements.size() >= MaxStatements) {
        for (auto it = m_statements.begin(); it != m_statements.end();) {
            if (m_running.contains(*it)) {
                ++it;
            } else {
                sqlite3_finalize(*it);
                it = m_statements.erase(it);
            }
        }
    }
    sqlite3_stmt *statement = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v3(m_connection, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT,
                           &statement, nullptr) != SQLITE_OK)
        fail();
    m_statements.insert(sql, statement);
    return statement;
}

void StoreReader::bind(sqlite3_stmt *statement, const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i) {
        const QVariant &v = values.at(i);
        int rc = SQLITE_OK;
        if (v.isNull()) {
            rc = sqlite3_bind_null(statement, i + 1);
        } else {
            switch (v.typeId()) {
            case QMetaType::Bool:
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
                rc = sqlite3_bind_int64(statement, i + 1, v.toLongLong());
                break;
            case QMetaType::Double:
                rc = sqlite3_bind_double(statement, i + 1, v.toDouble());
                break;
            case QMetaType::QByteArray: {
                const QByteArray bytes = v.toByteArray();
                rc = sqlite3_bind_blob(statement, i + 1, bytes.constData(), int(bytes.size()),
                                       SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QByteArray utf8 = v.toString().toUtf8();
                rc =
                    sqlite3_bind_text(statement, i + 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
            }
            }
        }
        if (rc != SQLITE_OK)
            fail();
    }
}

void StoreReader::selectOnServer(const QString &sql, const QVariantList &values,
                                 const std::function<void(const StoreRow &)> &row)
{
    QSqlQuery *query = m_serverStatements.value(sql);
    std::unique_ptr<QSqlQuery> own;
    if (query == nullptr || m_serverRunning.contains(query)) {
        own = std::make_unique<QSqlQuery>(m_server);
        own->setForwardOnly(true);
        if (!own->prepare(sql))
            throw DataError(Database::serverMessage(own->lastError()));
        if (query == nullptr && m_serverStatements.size() < MaxStatements) {
            query = own.release();
            m_serverStatements.insert(sql, query);
        } else {
            query = own.get();
        }
    }
    m_serverRunning.insert(query);
    const auto done = qScopeGuard([&] {
        m_serverRunning.remove(query);
        query->finish();
    });
    for (int i = 0; i < values.size(); ++i)
        query->bindValue(i, values.at(i));
    if (!query->exec())
        throw DataError(Database::serverMessage(query->lastError()));
    const StoreRow current(static_cast<const QSqlQuery *>(query));
    while (query->next())
        row(current);
}

void StoreReader::select(const QString &sql, const QVariantList &values,
                         const std::function<void(const StoreRow &)> &row)
{
    if (m_connection == nullptr) {
        selectOnServer(sql, values, row);
        return;
    }
    sqlite3_stmt *statement = prepare(sql);
    // A read that starts while the same statement runs (a row's handler reading again) gets a
    // statement of its own.
    const bool nested = m_running.contains(statement);
    if (nested &&
        sqlite3_prepare_v2(m_connection, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
        fail();
    m_running.insert(statement);
    const auto done = qScopeGuard([&] {
        m_running.remove(statement);
        if (nested) {
            sqlite3_finalize(statement);
        } else {
            sqlite3_reset(statement);
            sqlite3_clear_bindings(statement);
        }
    });
    bind(statement, values);
    const StoreRow current(statement);
    for (;;) {
        const int rc = sqlite3_step(statement);
        if (rc == SQLITE_DONE)
            return;
        if (rc != SQLITE_ROW)
            fail();
        row(current);
    }
}
