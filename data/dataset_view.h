#pragma once

#include "data/filter.h"
#include "data/match_cache.h"
#include "data/row_changes.h"
#include "data/table_row.h"
#include "data/view_index.h"

#include <QHash>
#include <QPointer>

class Database;

// The rows of one dataset's view: which rows of the table pass its condition, in ascending
// identity, their count and positions, the rows read so far, the rows that display fields found
// here, and the cursor. It is read when first used after a change of condition, and afterwards
// follows the store's row changes, so that no write anywhere makes it count or read the table again.
class DatasetView final : public RowChangeListener
{
public:
    DatasetView(Database &db, const TableDef &table);
    ~DatasetView();
    DatasetView(const DatasetView &) = delete;
    DatasetView &operator=(const DatasetView &) = delete;

    // The rows the view lets through (empty: every row of the table). The view is read again when
    // next used, and the cursor goes to its first row.
    void setCondition(const SqlCondition &condition);
    // Reads everything again; the cursor keeps its row while the row is in the view.
    void reload();

    int count();
    qint64 idAt(int position); // 0 outside the view
    int positionOf(qint64 id); // -1 when the row is not in the view
    bool rowAt(int position, TableRow *row);
    // The first row of the view whose stored field `field` holds `key` (the value as stored).
    bool findFirst(int field, const QVariant &key, TableRow *row);
    // The same for many keys, a statement for dozens of them; the rows found, each once.
    QVector<TableRow> findEach(int field, const QVariantList &keys);

    // The cursor: the current row, or the first one while none was chosen; 0 when the view is empty.
    qint64 currentId();
    int currentPosition(); // -1 when the view is empty
    // Puts the cursor on a row. A row that is not in the view gives its place to the row that
    // followed it, or to the last one.
    void setCurrent(qint64 id);

    void rowsChanged(const TableChanges &changes) override;

    // Memory held by the view's positions, rows and matches, for the figures of the benchmark.
    qint64 bytes() const;

private:
    void sync();
    void load();
    void forget();
    void settleCursor();
    QVector<TableRow> fetch(const QString &where, const QVariantList &values, const QString &tail = {});
    QVector<qint64> readIds(const QString &where, const QVariantList &values);
    QVector<qint64> blockIds(qint64 first, qint64 last);
    QHash<qint64, TableRow> readChanged(const QSet<qint64> &ids);
    void readPage(int position);
    TableRow rowFrom(const class StoreRow &stored) const;

    Database &m_db;
    QPointer<Database> m_store; // gone when a window outlives the store
    const TableDef &m_table;
    QString m_columns;
    SqlCondition m_condition;
    ViewIndex m_index;
    bool m_loaded = false;
    qint64 m_currentId = 0;
    QHash<qint64, TableRow> m_rows;
    MatchCache m_matches;
};
