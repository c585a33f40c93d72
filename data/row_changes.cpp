#include "data/row_changes.h"

#include <sqlite3.h>

namespace {

// Past this many rows of one table a change is cheaper to follow by reading the table's view again.
constexpr int MaxTrackedRows = 4096;

void merge(RowChanges &into, const RowChanges &from)
{
    for (auto it = from.constBegin(); it != from.constEnd(); ++it)
        into[it.key()].add(it.value());
}

} // namespace

void TableChanges::add(qint64 id)
{
    if (wholeTable)
        return;
    ids.insert(id);
    if (ids.size() > MaxTrackedRows) {
        ids.clear();
        wholeTable = true;
    }
}

void TableChanges::add(const TableChanges &other)
{
    if (other.wholeTable) {
        ids.clear();
        wholeTable = true;
        return;
    }
    for (qint64 id : other.ids)
        add(id);
}

SqliteRowChanges::SqliteRowChanges(sqlite3 *connection)
    : m_connection(connection)
{
    sqlite3_update_hook(m_connection, &SqliteRowChanges::rowChanged, this);
    sqlite3_rollback_hook(m_connection, &SqliteRowChanges::rolledBack, this);
}

SqliteRowChanges::~SqliteRowChanges()
{
    sqlite3_update_hook(m_connection, nullptr, nullptr);
    sqlite3_rollback_hook(m_connection, nullptr, nullptr);
}

// Called by SQLite while a statement runs: the connection must not be used here, only noted.
void SqliteRowChanges::rowChanged(void *self, int, const char *database, const char *table, long long id)
{
    if (qstrcmp(database, "main") != 0)
        return;
    static_cast<SqliteRowChanges *>(self)->record(QString::fromUtf8(table), id);
}

void SqliteRowChanges::rolledBack(void *self)
{
    static_cast<SqliteRowChanges *>(self)->rolledBackAll();
}

bool OwnRowChanges::hasChanges() const
{
    return !m_pending.isEmpty();
}

RowChanges OwnRowChanges::take()
{
    return std::exchange(m_pending, {});
}

void OwnRowChanges::record(const QString &table, qint64 id)
{
    m_pending[table].add(id);
    if (!m_scopes.isEmpty())
        m_scopes.last()[table].add(id);
}

// An error that the store cannot recover from a statement at a time, or a rollback it was told to make.
void OwnRowChanges::rolledBackAll()
{
    for (const RowChanges &scope : std::as_const(m_scopes))
        merge(m_pending, scope);
}

void OwnRowChanges::beginScope()
{
    m_scopes.append(RowChanges());
}

void OwnRowChanges::commitScope()
{
    if (m_scopes.isEmpty())
        return;
    const RowChanges scope = m_scopes.takeLast();
    // A released savepoint's rows are undone by a rollback of the scope around it.
    if (!m_scopes.isEmpty())
        merge(m_scopes.last(), scope);
}

QSet<QString> OwnRowChanges::rollbackScope()
{
    if (m_scopes.isEmpty())
        return {};
    const RowChanges scope = m_scopes.takeLast();
    merge(m_pending, scope);
    if (!m_scopes.isEmpty())
        merge(m_scopes.last(), scope); // still changed, as far as the outer scope is concerned
    const QList<QString> tables = scope.keys();
    return QSet<QString>(tables.begin(), tables.end());
}
