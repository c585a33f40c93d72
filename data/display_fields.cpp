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
