#pragma once
#include <QString>
#include <memory>

class Dialogs;
class PatientStore;

// The database's own passphrase: asked for at start when the database password does not
// open the database, and set or changed by the "设置数据库口令…" command.
namespace passphrase {

// Opens the database. A database that opens with the database password opens without a
// question; otherwise "请输入病历库口令" is asked, three times at most. Cancel ends with the
// engine's reason; three wrong passphrases end with a message saying so (Error either way).
std::unique_ptr<PatientStore> openAsking(const QString &path, Dialogs &dialogs);

// The warning shown before a passphrase is set.
QString warningText();

// Sets or changes the passphrase of the open database: the current passphrase first when
// one is set, the warning, then the new one twice. Returns true when the key was changed,
// false when the user stopped; throws Error for a wrong current passphrase, two different
// new ones, an empty one or a key the engine could not change (the database keeps its key).
bool changeAsking(PatientStore &store, Dialogs &dialogs);

} // namespace passphrase
