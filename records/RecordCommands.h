#pragma once
#include <QString>

class Dialogs;
class RecordSession;

// The commands of the main window on the patient record. Each throws Error where
// the error box must show; the caller runs it through runHandler.
namespace recordcommands {

// New record by bed number: asks "请输入床号！", checks the number, makes an existing
// bed's record current or appends a record with the bed filled in. Any spelling of a
// number counts as that number ("07", "+7", "７" are bed 7) and the bed is stored as
// its plain decimal text.
void newRecord(RecordSession &session, Dialogs &dialogs);
// Save: posts while editing, does nothing in Browse.
void save(RecordSession &session);
// Delete: asks, then refuses. No record is ever deleted.
void deleteRecord(Dialogs &dialogs);
// The question on closing the main window. True when the window may close; false
// when the post failed (the error box has shown) and the window must stay open.
bool closePrompt(RecordSession &session, Dialogs &dialogs);
// Before a navigator's post or cancel: the first line of the diagnosis, trimmed,
// becomes the principal diagnosis.
void copyPrincipalDiagnosis(RecordSession &session);
// Double-click on a date box: the current date-time text into that column.
void stampDateTime(RecordSession &session, const QString &column);
// Double-click on the birthplace box.
void fillDefaultBirthplace(RecordSession &session);

} // namespace recordcommands
