#pragma once

#include "data/table_row.h"

class Database;
struct TableDef;

// The store's side of editing a row: the statements that insert, change and delete one row of a
// table, its values bound as the store keeps them. Throws DataError with the store's message.
namespace RowWriter {

// Stores a new row (its identity given by the store, values[0] ignored); returns the identity.
qint64 insert(Database &db, const TableDef &table, const QVector<QVariant> &values);
// Writes the fields marked changed; throws DataError when the row is gone.
void update(Database &db, const TableDef &table, const TableRow &row, const QVector<bool> &changed);
// False when the table holds no such row.
bool remove(Database &db, const TableDef &table, qint64 id);

} // namespace RowWriter
