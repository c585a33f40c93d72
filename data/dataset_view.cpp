#include "data/dataset_view.h"

#include "data/data_error.h"
#include "data/database.h"
#include "data/schema.h"

namespace {

// Rows are read a page at a time, and at most this many are kept.
constexpr int PageSize = 128;
constexpr int MaxCachedRows = 32 * PageSize;
// Changed rows are read again this many to a statement; more than MaxFollowedRows at once (a
// bulk change) are followed by reading the whole view again.
constexpr int ChangedPerStatement = 8;
constexpr int KeysPerStatement = 32;
constexpr int MaxFollowedRows = 512;

QString quoted(const QString &name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QString marks(int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << QStringLiteral("?");
    return list.join(QLatin1Char(','));
}

} // namespace

DatasetView::DatasetView(Database &db, const TableDef &table)
    : m_db(db)
    , m_store(&db)
    , m_table(table)
    , m_index([this](qint64 first, qint64 last) { return blockIds(first, last); })
    , m_matches(table)
{
    QStringList columns;
    for (const FieldDef &f : m_table.fields)
        columns << quoted(f.name);
    m_columns = columns.join(QStringLiteral(", "));
    // Opening: the table must be there and readable.
    m_db.select(QStringLiteral("SELECT %1 FROM %2 LIMIT 0").arg(m_columns, quoted(m_table.name)), {},
                [](const StoreRow &) {});
    m_db.addListener(m_table.name, this);
}

DatasetView::~DatasetView()
{
    if (m_store)
        m_store->removeListener(m_table.name, this);
}

// ---- reading ------------------------------------------------------------------------------------

TableRow DatasetView::rowFrom(const StoreRow &stored) const
{
    TableRow row;
    row.values.resize(m_table.fields.size());
    for (int i = 0; i < m_table.fields.size(); ++i)
        row.values[i] = stored.value(i, m_table.field(i).type);
    row.id = row.values.at(0).toLongLong();
    return row;
}

QVector<TableRow> DatasetView::fetch(const QString &where, const QVariantList &values, const QString &tail)
{
    QVector<TableRow> rows;
    m_db.select(
        QStringLiteral("SELECT %1 FROM %2 WHERE %3 %4").arg(m_columns, quoted(m_table.name), where, tail),
        values, [&](const StoreRow &row) { rows << rowFrom(row); });
    return rows;
}

QVector<qint64> DatasetView::readIds(const QString &where, const QVariantList &values)
{
    QVector<qint64> ids;
    m_db.select(
        QStringLiteral("SELECT \"Id\" FROM %1 WHERE %2 ORDER BY \"Id\"").arg(quoted(m_table.name), where),
        values, [&](const StoreRow &row) { ids << row.integer(0); });
    return ids;
}

QVector<qint64> DatasetView::blockIds(qint64 first, qint64 last)
{
    const SqlCondition range =
        SqlCondition{QStringLiteral("\"Id\" BETWEEN ? AND ?"), {first, last}} && m_condition;
    return readIds(range.sql, range.values);
}

// A view of the whole table takes its counts from the block counts that the store keeps; any other
// view reads its identities through the index of its condition.
void DatasetView::load()
{
    if (m_condition.isEmpty()) {
        const QString counts =
            QStringLiteral("SELECT \"Block\", \"Rows\" FROM \"%1\" WHERE \"TableName\" = ? AND ")
                .arg(QLatin1String(Schema::BlockCounts));
        QVector<std::pair<qint64, int>> blocks;
        m_db.select(counts + QStringLiteral("\"Rows\" > 0 ORDER BY \"Block\""), {m_table.name},
                    [&](const StoreRow &row) {
                        blocks.append({row.integer(0), int(row.integer(1))});
                    });
        m_index.setBlockCounts(blocks, [this, counts](qint64 block) {
            int rows = 0;
            m_db.select(counts + QStringLiteral("\"Block\" = ?"), {m_table.name, block},
                        [&](const StoreRow &row) { rows = int(row.integer(1)); });
            return rows;
        });
    } else {
        m_index.setIds(readIds(m_condition.sql, m_condition.values));
    }
    m_loaded = true;
    settleCursor();
}

void DatasetView::sync()
{
    m_db.deliverChanges();
    if (!m_loaded)
        load();
}

void DatasetView::forget()
{
    m_loaded = false;
    m_rows.clear();
    m_matches.clear();
}

void DatasetView::setCondition(const SqlCondition &condition)
{
    m_db.deliverChanges();
    m_condition = condition;
    forget();
    m_currentId = 0;
}

void DatasetView::reload()
{
    m_db.deliverChanges();
    forget();
}

int DatasetView::count()
{
    sync();
    return m_index.count();
}

qint64 DatasetView::idAt(int position)
{
    sync();
    return m_index.idAt(position);
}

int DatasetView::positionOf(qint64 id)
{
    sync();
    return id > 0 ? m_index.positionOf(id) : -1;
}

// A page is read by the identities of its rows, which the index gives.
void DatasetView::readPage(int position)
{
    const int start = position - position % PageSize;
    const int end = std::min(start + PageSize, m_index.count());
    QVariantList ids;
    for (int p = start; p < end; ++p)
        ids << m_index.idAt(p);
    while (ids.size() < PageSize)
        ids << ids.first();
    if (m_rows.size() + PageSize > MaxCachedRows)
        m_rows.clear();
    static const QString inPage = QStringLiteral("\"Id\" IN (%1)").arg(marks(PageSize));
    for (const TableRow &row : fetch(inPage, ids))
        m_rows.insert(row.id, row);
}

bool DatasetView::rowAt(int position, TableRow *row)
{
    sync();
    const qint64 id = m_index.idAt(position);
    if (id == 0)
        return false;
    auto it = m_rows.constFind(id);
    if (it == m_rows.constEnd()) {
        readPage(position);
        it = m_rows.constFind(id);
        if (it == m_rows.constEnd())
            return false;
    }
    *row = *it;
    return true;
}

bool DatasetView::findFirst(int field, const QVariant &key, TableRow *row)
{
    m_db.deliverChanges();
    const std::optional<TableRow> *kept = m_matches.find(field, key);
    std::optional<TableRow> answer;
    if (kept) {
        answer = *kept;
    } else {
        const SqlCondition c =
            m_condition && SqlCondition{quoted(m_table.field(field).name) + QStringLiteral(" = ?"), {key}};
        const QVector<TableRow> rows = fetch(c.sql, c.values, QStringLiteral("ORDER BY \"Id\" LIMIT 1"));
        if (!rows.isEmpty())
            answer = rows.first();
        m_matches.store(field, key, answer);
    }
    if (answer)
        *row = *answer;
    return answer.has_value();
}

QVector<TableRow> DatasetView::findEach(int field, const QVariantList &keys)
{
    m_db.deliverChanges();
    QVector<TableRow> found;
    QVariantList missing;
    QSet<QString> seen;
    for (const QVariant &key : keys) {
        if (key.isNull() || seen.contains(key.toString()))
            continue;
        seen.insert(key.toString());
        if (const std::optional<TableRow> *kept = m_matches.find(field, key)) {
            if (*kept)
                found << **kept;
        } else {
            missing << key;
        }
    }
    const FieldDef &def = m_table.field(field);
    static const QString inList = QStringLiteral(" IN (%1)").arg(marks(KeysPerStatement));
    for (int start = 0; start < missing.size(); start += KeysPerStatement) {
        const QVariantList chunk = missing.mid(start, KeysPerStatement);
        QVariantList values = chunk;
        while (values.size() < KeysPerStatement)
            values << chunk.first();
        const SqlCondition c = m_condition && SqlCondition{quoted(def.name) + inList, values};
        QHash<QString, TableRow> first;
        for (const TableRow &row : fetch(c.sql, c.values, QStringLiteral("ORDER BY \"Id\""))) {
            const QString key = Filter::storeValue(def, row.values.at(field)).toString();
            if (!first.contains(key))
                first.insert(key, row);
        }
        for (const QVariant &key : chunk) {
            const auto it = first.constFind(key.toString());
            m_matches.store(field, key, it == first.constEnd() ? std::nullopt : std::optional(*it));
            if (it != first.constEnd())
                found << *it;
        }
    }
    return found;
}

// ---- the cursor ---------------------------------------------------------------------------------

qint64 DatasetView::currentId()
{
    sync();
    if (m_currentId == 0)
        m_currentId = m_index.idAt(0);
    return m_currentId;
}

int DatasetView::currentPosition()
{
    const qint64 id = currentId();
    return id == 0 ? -1 : m_index.positionOf(id);
}

void DatasetView::setCurrent(qint64 id)
{
    sync();
    m_currentId = id;
    settleCursor();
}

void DatasetView::settleCursor()
{
    if (m_currentId == 0 || m_index.positionOf(m_currentId) >= 0)
        return;
    const int count = m_index.count();
    m_currentId = count == 0 ? 0 : m_index.idAt(std::min(m_index.countBelow(m_currentId), count - 1));
}

// ---- following the store ------------------------------------------------------------------------

// The changed rows as they are now, those that the view lets through.
QHash<qint64, TableRow> DatasetView::readChanged(const QSet<qint64> &ids)
{
    static const QString inList = QStringLiteral("\"Id\" IN (%1)").arg(marks(ChangedPerStatement));
    const QString passes = m_condition.isEmpty() ? QStringLiteral("1 = 1") : m_condition.sql;
    const QString sql = QStringLiteral("SELECT %1, CASE WHEN %2 THEN 1 ELSE 0 END FROM %3 WHERE %4")
                            .arg(m_columns, passes, quoted(m_table.name), inList);
    QHash<qint64, TableRow> passing;
    const QList<qint64> all = ids.values();
    for (int start = 0; start < all.size(); start += ChangedPerStatement) {
        QVariantList values = m_condition.values;
        for (int i = 0; i < ChangedPerStatement; ++i)
            values << all.at(std::min(start + i, int(all.size()) - 1));
        m_db.select(sql, values, [&](const StoreRow &row) {
            if (row.integer(int(m_table.fields.size())) == 1) {
                const TableRow changed = rowFrom(row);
                passing.insert(changed.id, changed);
            }
        });
    }
    return passing;
}

void DatasetView::rowsChanged(const TableChanges &changes)
{
    if (!m_loaded && m_rows.isEmpty() && m_matches.isEmpty())
        return;
    try {
        if (changes.wholeTable || changes.ids.size() > MaxFollowedRows) {
            forget();
            return;
        }
        const QHash<qint64, TableRow> passing = readChanged(changes.ids);
        if (m_rows.size() + changes.ids.size() > MaxCachedRows)
            m_rows.clear();
        for (qint64 id : changes.ids) {
            const auto it = passing.constFind(id);
            const TableRow *row = it == passing.constEnd() ? nullptr : &*it;
            m_matches.rowChanged(id, row);
            if (row)
                m_rows.insert(id, *row);
            else
                m_rows.remove(id);
            if (m_loaded)
                m_index.rowChanged(id, row != nullptr);
        }
        if (m_loaded)
            settleCursor();
    } catch (const DataError &) {
        forget(); // read again from the store when next used
    }
}

qint64 DatasetView::bytes() const
{
    qint64 rowBytes = 0;
    for (const TableRow &row : m_rows)
        rowBytes += qint64(sizeof(TableRow)) + row.values.size() * qint64(sizeof(QVariant) + 16);
    return m_index.bytes() + rowBytes + m_matches.size() * qint64(sizeof(TableRow) + 256);
}
