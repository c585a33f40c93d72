#pragma once

#include <QHash>
#include <QSet>
#include <QString>

// The rows of one table that changed: inserted, changed or deleted, without saying which. Whoever
// follows them reads those rows again, so a change that was undone costs a read and nothing worse.
// Past a few thousand rows only the fact is kept: the whole table is to be read again.
struct TableChanges
{
    QSet<qint64> ids;
    bool wholeTable = false;

    void add(qint64 id);
    void add(const TableChanges &other);
};

// Changed rows by table name.
using RowChanges = QHash<QString, TableChanges>;

// Where the datasets learn which stored rows changed. This workstation's own writes are reported by
// the store's connection; another source can report the writes of other workstations the same way.
class RowChangeFeed
{
public:
    virtual ~RowChangeFeed() = default;

    virtual bool hasChanges() const = 0;
    // The changes gathered since the last call; the feed is empty afterwards.
    virtual RowChanges take() = 0;
};

// Follows the changed rows of one table (a dataset's view). Called between statements, never while
// one runs; it may read the store, and must not throw.
class RowChangeListener
{
public:
    virtual void rowsChanged(const TableChanges &changes) = 0;

protected:
    ~RowChangeListener() = default;
};

// The rows that this connection's own statements change. A rollback puts rows back without saying
// which, so the rows changed inside each open transaction scope are kept, and reported again when the
// scope or the whole transaction is rolled back. Each engine's connection records rows its own way.
class OwnRowChanges : public RowChangeFeed
{
public:
    bool hasChanges() const override;
    RowChanges take() override;

    // A transaction or savepoint began, was committed (released) or rolled back.
    void beginScope();
    void commitScope();
    // Returns the tables whose rows the rollback put back.
    QSet<QString> rollbackScope();

    // Rows the connection's changes came from: the store's own hook, or the writer's report.
    void record(const QString &table, qint64 id);
    // The store gave up the whole transaction: every row changed inside it is put back.
    void rolledBackAll();

private:
    RowChanges m_pending;
    QList<RowChanges> m_scopes; // the rows changed in each open scope, outermost first
};

struct sqlite3;

// SQLite reports each row its connection's statements change, triggers' rows included.
class SqliteRowChanges final : public OwnRowChanges
{
public:
    explicit SqliteRowChanges(sqlite3 *connection);
    ~SqliteRowChanges() override;
    SqliteRowChanges(const SqliteRowChanges &) = delete;
    SqliteRowChanges &operator=(const SqliteRowChanges &) = delete;

private:
    static void rowChanged(void *self, int operation, const char *database, const char *table, long long id);
    static void rolledBack(void *self);

    sqlite3 *m_connection;
};
