#pragma once
#include <QList>
#include <QStringList>

class InputMethodBinding;
class QWidget;

namespace inputmethods {

// The 45 Chinese entry fields of the main window that take the Options dialog's
// input-method name, by objectName, in the order in which they receive it: the
// identity and history fields of "入院记录", then the examination boxes of both
// "体格检查" tabs.
const QStringList &inputMethodFieldNames();

// The principal-diagnosis cell of the patient list: it switches the input method on
// like the fields above but never receives a name from the Options dialog.
inline constexpr const char *DiagnosisCellName = "DBEdit7";

// Binds the 45 fields and the diagnosis cell found in the main window to the
// binding, so that each switches its input method on when it gets the focus. A
// field is found by its objectName among the main window's descendants; a missing
// one is skipped.
void bindInputMethodFields(QWidget *mainWindow, InputMethodBinding &binding);

// The 45 fields found in the main window, in their order; missing ones are left out.
// A field that passes its focus on to another widget is given as that widget, since
// it is the one that gets the focus and so the one whose name the binding reads.
QList<QWidget *> inputMethodFields(QWidget *mainWindow);

} // namespace inputmethods
