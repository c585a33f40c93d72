#pragma once

#include "data/field_type.h"

#include <QVariantList>

// A condition over one table's stored fields as SQL text with its values bound apart, so that
// nothing typed by a user ever becomes part of a statement.
struct SqlCondition
{
    QString sql; // empty: every row
    QVariantList values;

    bool isEmpty() const { return sql.isEmpty(); }
    SqlCondition operator&&(const SqlCondition &other) const;
};

namespace Filter {

// Parses a filter text: comparisons of a field with a value (= <> < > <= >=), joined by "and" and
// "or", with "not" and parentheses; values are numbers, quoted texts, true, false and null. Values
// are converted to the field's type ('3' for an integer field, ' 7.12.26' for a date field).
// An empty text is no condition. Throws DataError naming what the parser could not accept.
SqlCondition parse(const QString &text, const TableDef &table);

// The value of a comparison converted to the field's type, bound as the store keeps it.
QVariant storeValue(const FieldDef &field, const QVariant &value);

} // namespace Filter
