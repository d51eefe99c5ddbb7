#pragma once
#include <QString>

// Creates the data folder of a first start, whole or not at all: a hidden folder beside
// it is filled (the picture root images/, the starter phrase files, the database) and
// renamed into place in one step. With existingDatabase empty the database is a new
// empty one; otherwise that Quillcase.dat is checked and copied in. On any failure
// nothing is left behind (not even the parent folders it made) and an Error with a
// Chinese message says why. A data folder that exists already is never touched.
void createDataFolder(const QString &dataFolder, const QString &starterFolder,
                      const QString &existingDatabase = QString());
