#pragma once

#include <QString>
#include <QStringList>

// A PostgreSQL server as the store. The program's statements are written once, in SQL that both
// engines accept; the few spellings that differ are turned into the server's here.
namespace ServerSql {

// The server's spelling of one of the program's statements. Names are kept in lower case on the
// server, so that a name quoted ("IdVozy") and the same name unquoted (IdVozy) are one name there as
// they are in SQLite; SQLite's index hints are dropped; integers are 64 bits wide.
QString translate(const QString &sql);

// Numbered migrations as the server runs them: the same tables, indexes and kept counts as the
// embedded store's, the triggers in PL/pgSQL; besides them, the identities that stay larger than
// every one given before, and each changed row told to this connection and to every other one.
QStringList migration(int version);

// The table that holds the number of migrations run (SQLite keeps it in its header).
constexpr const char *VersionTable = "vozy_version";
// A connection's own changed rows, written by the tables' triggers (a temporary table of the
// connection), and the channel on which every connection's changed rows are told to the others.
constexpr const char *ChangedRows = "vozy_changed";
constexpr const char *ChangesChannel = "vozy_rows";

} // namespace ServerSql
