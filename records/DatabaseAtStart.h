#pragma once
#include "records/Dialogs.h"
#include "records/PatientStore.h"

#include <QString>
#include <memory>

// What the program does with its data folder when it starts.
namespace startup {

// Opens data/Quillcase.dat, asking for its passphrase when the database password does not
// open it. When it opened, whatever an interrupted compaction or backup
// left behind is removed (see removeLeftovers) and the folder notes the temporary files of
// this run from then on. When the database is missing, the error says which complete copy
// the folder holds instead and what to do.
std::unique_ptr<PatientStore> openDatabase(const QString &dataFolder, Dialogs &dialogs = Dialogs::current());

// Removes, once the database has opened: tmp.dat with its journal; a .bak that is only a
// second name of Quillcase.dat (a compaction stopped before its rename); and the temporary
// files that processes of this host which no longer run noted in the folder. Nothing else
// is touched.
void removeLeftovers(const QString &dataFolder);

// For a data folder without Quillcase.dat: which complete database it holds instead
// (tmp.dat of a compaction that did not finish, the newest .bak) and what to do, in one
// Chinese text; empty when Quillcase.dat exists or nothing can stand in for it.
QString missingDatabaseAdvice(const QString &dataFolder);

} // namespace startup
