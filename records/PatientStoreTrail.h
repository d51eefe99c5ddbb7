#pragma once
#include <QByteArray>

struct sqlite3;

// The tables beside PatientsData: the modification trail, the archive marks and the
// settings. Shared by creating a new database and by opening one made before them.
namespace storetrail {

// The version of this table layout, kept in the settings as "SchemaVersion".
constexpr int schemaVersion = 1;

// Whether any of the tables (or the trail's index) is missing.
bool tablesMissing(sqlite3 *db);
// Creates what is missing; the caller runs it inside a transaction.
void createMissingTables(sqlite3 *db);
// Refuses tables that lack columns the program writes; with allowMissing a table that is
// not there at all passes.
void checkTables(sqlite3 *db, bool allowMissing);

} // namespace storetrail
