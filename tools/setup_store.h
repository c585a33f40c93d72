#pragma once

#include <QString>

class Database;

// Creating a working directory's store: the schema and a first administrator, or a small city to try
// the workstation on. An existing store is never touched.
namespace SetupStore {

// Creates DIR/bd/vozy.db; throws DataError when it exists or cannot be made.
void create(const QString &workingDir, bool demo);

// The same in an empty database on a PostgreSQL server ("host=... dbname=... user=..."); throws
// DataError when the database is the program's already, or cannot be reached.
void createOnServer(const QString &connection, bool demo);

// The first administrator: staff row "Администратор", access entry with the right and no password.
void addFirstAdministrator(Database &db);

} // namespace SetupStore
