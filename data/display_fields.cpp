#include "data/display_fields.h"

#include "data/dataset.h"
#include "data/value_text.h"

int DisplayFields::indexOf(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant DisplayFields::value(int index, const QVariant &key) const
{
    if (key.isNull())
        return {};
    const DisplayField &field = m_fields.at(index);
    Dataset::Row row;
    if (!field.lookIn->findFirst(field.match, key, &row))
        return {};
    const QVariant result = field.lookIn->valueOf(row, field.result);
    if (result.isNull())
        return {};
    if (field.type == FieldType::Text)
        return (result.typeId() == QMetaType::Double ? ValueText::formatNumber(result.toDouble())
                                                     : result.toString())
            .left(field.width);
    if (field.type == FieldType::Integer)
        return qRound64(result.toDouble());
    return result;
}

void DisplayFields::prefetch(const Dataset &owner, const QVector<TableRow> &rows, int index) const
{
    const DisplayField &field = m_fields.at(index);
    // A key that is itself a display field is looked up first.
    if (const int keyField = indexOf(field.key); keyField >= 0 && owner.table().indexOf(field.key) < 0)
        prefetch(owner, rows, keyField);
    QVariantList keys;
    for (const TableRow &row : rows)
        keys << owner.valueOf(row, field.key);
    const QVector<TableRow> found = field.lookIn->findEach(field.match, keys);
    field.lookIn->prefetchDisplay(found, field.result);
}

bool DisplayFields::startWindow(int window, int index) const
{
    const qint64 key = qint64(window) * m_fields.size() + index;
    if (m_windowsDone.contains(key))
        return false;
    m_windowsDone.insert(key);
    return true;
}
