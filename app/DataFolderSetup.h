#pragma once
#include <QString>
#include <functional>

// Creates the data folder of a first start, whole or not at all: a hidden folder beside
// it is filled (the picture root images/, the starter phrase files, the database) and
// renamed into place in one step. With existingDatabase empty the database is a new
// empty one; otherwise that Quillcase.dat is checked and copied in. On any failure
// nothing is left behind (not even the parent folders it made) and an Error with a
// Chinese message says why. A data folder that exists already is never touched.
// The copy of an existing database is checked by opening it with `openDatabase` (by default
// with the database password alone; the first start asks for the passphrase of a database
// that has one), which throws Error when it is no record database.
using DatabaseCheck = std::function<void(const QString &path)>;
void createDataFolder(const QString &dataFolder, const QString &starterFolder,
                      const QString &existingDatabase = QString(), const DatabaseCheck &openDatabase = {});
