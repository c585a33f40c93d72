#include "tests/support/statement_trace.h"

#include "data/database.h"

#include <QSqlDriver>
#include <QSqlQuery>

#include <sqlite3.h>

StatementTrace::StatementTrace(Database &db)
{
    // The driver hands out the connection of the query's database.
    QSqlQuery query = db.prepare(QStringLiteral("SELECT 1"));
    const QVariant handle = query.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") == 0)
        m_handle = *static_cast<sqlite3 *const *>(handle.constData());
    Q_ASSERT(m_handle != nullptr);
    sqlite3_trace_v2(m_handle, SQLITE_TRACE_STMT, &StatementTrace::record, this);
}

StatementTrace::~StatementTrace()
{
    sqlite3_trace_v2(m_handle, 0, nullptr, nullptr);
}

int StatementTrace::record(unsigned type, void *trace, void *, void *sql)
{
    if (type == SQLITE_TRACE_STMT)
        static_cast<StatementTrace *>(trace)->m_statements
            << QString::fromUtf8(static_cast<const char *>(sql));
    return 0;
}
