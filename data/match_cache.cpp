#include "data/match_cache.h"

#include "data/field_type.h"
#include "data/filter.h"

namespace {

// Past this many answers the cache starts again: a grid scrolled through years of orders looks
// up thousands of rows, and most are not asked for twice.
constexpr int MaxAnswers = 20000;

} // namespace

MatchCache::MatchCache(const TableDef &table)
    : m_table(table)
{
}

MatchCache::Key MatchCache::keyOf(int field, const QVariant &stored)
{
    return {field, stored.toString()};
}

const std::optional<TableRow> *MatchCache::find(int field, const QVariant &key) const
{
    const auto it = m_answers.constFind(keyOf(field, key));
    return it == m_answers.constEnd() ? nullptr : &*it;
}

void MatchCache::store(int field, const QVariant &key, const std::optional<TableRow> &answer)
{
    if (m_answers.size() >= MaxAnswers)
        m_answers.clear();
    m_answers.insert(keyOf(field, key), answer);
}

void MatchCache::rowChanged(qint64 id, const TableRow *row)
{
    // The changed row's values as keys, worked out once per field that the answers use; a null
    // value matches nothing.
    QVector<std::optional<std::optional<QString>>> rowKeys(m_table.fields.size());
    const auto matchesRow = [&](const Key &key) {
        std::optional<std::optional<QString>> &cached = rowKeys[key.field];
        if (!cached) {
            const QVariant value = Filter::storeValue(m_table.field(key.field), row->values.value(key.field));
            cached = value.isNull() ? std::optional<QString>() : std::optional(keyOf(key.field, value).value);
        }
        return cached->has_value() && **cached == key.value;
    };
    for (auto it = m_answers.begin(); it != m_answers.end();) {
        const std::optional<TableRow> &answer = it.value();
        const bool stale =
            (answer && answer->id == id) || (row && (!answer || answer->id > id) && matchesRow(it.key()));
        it = stale ? m_answers.erase(it) : std::next(it);
    }
}
