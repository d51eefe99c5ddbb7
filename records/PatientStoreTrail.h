#pragma once
#include "records/PatientStoreDb.h"
#include "store/TrailTypes.h"

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

// The statement that writes one trail row, and one row bound to it: every writer of the
// trail (a post, archiving, a copy of another store's trail) stores rows the same way.
inline constexpr const char *insertTrailSql =
    "INSERT INTO PatientsHistory (RecordId, Bed, ColumnName, OldText, NewText, Operator, ChangedAt) "
    "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)";
void bindTrailRow(storedb::Statement &insert, const TrailEntry &entry);
// The statement that marks one record archived, and one mark bound to it.
inline constexpr const char *insertArchiveSql =
    "INSERT INTO PatientsArchive (RecordId, ArchivedAt, Operator) VALUES (?1, ?2, ?3)";
void bindArchiveMark(storedb::Statement &insert, qint64 recordId, const QString &archivedAt,
                     const QString &operatorName);

} // namespace storetrail
