#pragma once
#include <QHash>
#include <QString>

class QWidget;
class RecordSession;
class TForm7;

namespace documents {

// The label captions the admission record starts its rows with, read from the main
// window's labels by objectName. A label that cannot be found is left out, so the
// composition takes its usual caption.
QHash<QString, QString> admissionLabelCaptions(const QWidget *mainWindow);

// Every column's current text of the session's record, unsaved edits included, by
// column name.
QHash<QString, QString> currentFieldTexts(const RecordSession &session);

// Ctrl+G (Generate1Click): composes the admission record of the current record from
// its column texts and the main window's label captions, and shows it in the document
// window, which disables the main window until it closes. Only reads: the record is
// not put into Edit state and nothing is stored.
void generateAdmissionRecord(QWidget *mainWindow, RecordSession *session, TForm7 *form7);

} // namespace documents
