#pragma once
#include <QDateTime>
#include <QString>

class Dialogs;
class PatientStoreInterface;
class RecordSession;

// The main window's commands on the operator, the archive and the trail. Each throws
// Error where the error box must show; the caller runs it through runHandler.
namespace trailcommands {

// "医师签名…": asks for the display name the trail writes beside the account name.
void setSignature(PatientStoreInterface &store, Dialogs &dialogs);
// "归档…": after the confirmation, posts a record being edited and archives it.
void archive(RecordSession &session, Dialogs &dialogs);
// "取消归档…": after the confirmation, unlocks an archived record.
void unarchive(RecordSession &session, Dialogs &dialogs);

// The warning shown at start when the clock stands before the newest trail entry, or an
// empty text. Pure: the newest entry's time as stored, and now.
QString clockWarning(const QString &latestChangeTime, const QDateTime &now);
// Shows that warning once, at start.
void warnIfClockBehind(PatientStoreInterface &store, Dialogs &dialogs, const QDateTime &now);

} // namespace trailcommands
