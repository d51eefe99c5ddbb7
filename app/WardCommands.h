#pragma once
#include <QString>

class Dialogs;
class QWidget;
class RecordSession;
class ServerStore;
class WardStore;

// Restore and compaction on the ward's server, for its administrators. A doctor's role is
// refused with the given reason before anything is asked or changed.
namespace wardcommands {

// Asks for a backup, checks it and asks for confirmation as the file restore does, then makes
// the ward's records those of the backup. The run goes on with the list read again: on the
// server nothing needs a new start.
void restore(WardStore &ward, RecordSession &session, Dialogs &dialogs, QWidget *parent,
             const QString &dataFolder, const QString &refusal);

// Stores the record being edited, then VACUUM (ANALYZE) of the ward's tables and "操作成功".
// Returns false when it was refused (the run goes on), true when it ran, whatever the outcome
// (the run then ends, as after compacting the file).
bool compact(ServerStore &server, RecordSession &session, Dialogs &dialogs, const QString &refusal);

} // namespace wardcommands
