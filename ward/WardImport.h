#pragma once
#include <QString>

typedef struct pg_conn PGconn;
struct sqlite3;

// Moving one desktop's encrypted database to the ward's server.
namespace wardimport {

struct Counts
{
    int records = 0;
    int archived = 0;
    int trail = 0;
    int pictureFolders = 0;
    int pictures = 0;
};

// Copies every record of the database file (keeping its row ids), its archive flags and its
// trail when the file has them, and the picture folders under images/ beside it, into a ward
// database holding no record and no picture yet, in one transaction; the counts on the server
// are checked against the file and the folders before it commits.
// On any refusal or failure the server is left as it was.
Counts importFile(PGconn *connection, const QString &databasePath);

// The copy itself, inside the caller's transaction on a ward holding no record (the caller
// locks the tables and checks): records with their row ids and archive flags, then the trail
// rows as they are (the trail trigger is off meanwhile: the records bring their own trail),
// and the record ids go on after the highest one copied.
Counts copyDatabase(PGconn *connection, sqlite3 *db);

// New records get ids after the highest record id, and never one given before (a removed
// record's trail keeps its id).
void continueRecordIds(PGconn *connection);

} // namespace wardimport
