#pragma once

#include "data/field_type.h"

#include <QStringList>

// The twelve tables of the workstation, their fields in stored order and the indexes that keep
// lookups and filtered views fast on years of orders.
namespace Schema {

const QVector<TableDef> &tables();

// The table a path names as the program writes it ("bd\gurnal.DB", "bd/pwl.db", "raion"):
// directory and extension dropped, case ignored. Throws DataError for a name that is none of the tables.
const TableDef &table(const QString &path);

// The store keeps, for every table, how many rows each block of 1024 consecutive identities holds
// (table `rowblocks`, written by triggers in the same transaction as the rows). A view of a whole
// table counts and places its rows from these without reading the table.
constexpr int IdBlockBits = 10;
extern const char *const BlockCounts;

// Numbered migrations; the store's user_version says how many have run.
int latestVersion();
QStringList migration(int version); // statements of migration `version` (1-based)

// A telephone as the digits of the stored number (its leading zeros went with the typing). The index
// of callers by their leading digits is built from this text: a query spells them the same to use it.
QString telephoneDigits();

} // namespace Schema
