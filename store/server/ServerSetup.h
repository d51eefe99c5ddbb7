#pragma once
#include "store/StoreColumns.h"

#include <QString>

typedef struct pg_conn PGconn;

// Setting a ward database up and checking it before use. Each step runs in one
// transaction: on any refusal or failure nothing on the server has changed.
namespace serversetup {

// Creates the roles, tables and rules on an empty database, or renews them on a database
// this program set up with the same layout. Refuses a database holding other tables, a
// layout of another version and a database not encoded in UTF-8.
void initialise(PGconn *connection, const StoreColumns &columns);

// Refuses a database without the ward's tables or with another layout version, and a role
// that may not read them, with a clear message.
void checkSchema(PGconn *connection);

// Creates the login role when it does not exist, makes it a doctor (and an administrator
// when asked) and records the name shown for it in the trail and in messages.
void addDoctor(PGconn *connection, const QString &role, const QString &displayName, bool administrator);

} // namespace serversetup
