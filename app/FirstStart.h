#pragma once
#include "app/DataLocation.h"

class Dialogs;

// The installed form's first start, when its data folder does not exist: asks the
// doctor whether to create a new empty record database (with the starter phrase files)
// or to take an existing Quillcase.dat, and creates the data folder only on that
// answer. True when the data folder is ready; false when the doctor declined or it
// could not be made (the reason has been shown).
bool offerDataFolder(const DataLocation &location, Dialogs &dialogs);
