#pragma once

#include <QVariant>
#include <QVector>

// A stored row: its identity and its values in the table's field order.
struct TableRow
{
    qint64 id = 0;
    QVector<QVariant> values;
};
