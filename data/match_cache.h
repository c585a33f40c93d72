#pragma once

#include "data/table_row.h"

#include <QHash>

#include <optional>

struct TableDef;

// What display fields found in one view, per looked-in row: for a field and a value, the first
// row of the view holding that value there, or that none does. A changed row drops exactly the
// answers it can have changed: those it gave, and those it now comes before.
class MatchCache
{
public:
    explicit MatchCache(const TableDef &table);

    // The answer kept for the value `key` (as the store holds it) of stored field `field`: a row,
    // or an empty optional when no row matches; nullptr when nothing is kept.
    const std::optional<TableRow> *find(int field, const QVariant &key) const;
    void store(int field, const QVariant &key, const std::optional<TableRow> &answer);

    // Row `id` changed: `row` is its new state when it is in the view, nullptr when it left the
    // view or is gone.
    void rowChanged(qint64 id, const TableRow *row);
    void clear() { m_answers.clear(); }
    bool isEmpty() const { return m_answers.isEmpty(); }
    qint64 size() const { return m_answers.size(); }

private:
    struct Key
    {
        int field = 0;
        QString value;
        bool operator==(const Key &other) const = default;
    };
    friend size_t qHash(const Key &key, size_t seed) { return qHashMulti(seed, key.field, key.value); }
    static Key keyOf(int field, const QVariant &stored);

    const TableDef &m_table;
    QHash<Key, std::optional<TableRow>> m_answers;
};
