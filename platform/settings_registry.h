#pragma once

#include <QString>

// The current user's registry key, read through QSettings in its native format: the registry on
// Windows, elsewhere the file <config>/<organisation>/<application>.conf.
//
// The key path "Software\Organisation\Application\Rest\Of\Key" maps onto organisation, application
// and the group "Rest/Of/Key". Returns the empty string when the key or the value does not exist (a
// path naming no application key never does); never creates or writes anything. A value that is not
// a string throws DataError("Invalid data type for '<valueName>'"). In the settings file, a value
// with a comma must be quoted, or it reads as a list.
QString readreg(const QString &keyPath, const QString &valueName);

// The database directory, DataBaseDir of the program's key, ending in a directory separator; the
// empty string, without a separator, when the value is absent or empty, so that no caller mistakes
// the root directory for it.
QString db_dir();

// The store on a PostgreSQL server, DataBaseServer of the program's key beside DataBaseDir: its
// connection ("host=... port=... dbname=... user=..."; the password from ~/.pgpass). Empty when the
// store is the SQLite file under the working directory.
QString db_server();

// The settings file VOZY.INI in the database directory. Throws DataError when the directory is not set.
QString settingsFilePath();
