#include "options/InputMethodFields.h"

#include "options/InputMethodBinding.h"

#include <QWidget>

namespace inputmethods {

namespace {

QWidget *findField(QWidget *mainWindow, const QString &name)
{
    return mainWindow ? mainWindow->findChild<QWidget *>(name) : nullptr;
}

// The widget that really receives the focus for a field. An editable combo box
// hands its line edit's focus to the box itself, so the box is bound; a field that
// passes its focus on to another widget is bound through that one.
QWidget *focusTarget(QWidget *field)
{
    while (field && field->focusProxy())
        field = field->focusProxy();
    return field;
}

} // namespace

const QStringList &inputMethodFieldNames()
{
    static const QStringList names = {
        // "入院记录": identity and history.
        "DBEdit2", "DBEdit26", "DBEdit6", "DBComboBox3", "DBEdit18", "DBMemo1", "DBMemo2", "DBMemo3",
        "DBMemo4",
        // "体格检查": skin to thyroid.
        "DBComboBox20", "DBComboBox21", "DBComboBox22", "DBComboBox23", "DBComboBox12", "DBComboBox13",
        "DBComboBox14", "DBComboBox15", "DBComboBox16", "DBComboBox17", "DBComboBox18", "DBComboBox24",
        "DBComboBox25", "DBComboBox26", "DBComboBox27", "DBComboBox58", "DBComboBox54", "DBComboBox55",
        "DBComboBox56",
        // "体格检查": chest, heart, vessels, abdomen, the rest.
        "DBComboBox28", "DBComboBox29", "DBComboBox30", "DBComboBox31", "DBComboBox32", "DBComboBox33",
        "DBComboBox34", "DBComboBox35", "DBComboBox53", "DBComboBox36", "DBComboBox37", "DBComboBox38",
        "DBComboBox39", "DBComboBox40", "DBComboBox41", "DBComboBox42", "DBComboBox44"};
    return names;
}

void bindInputMethodFields(QWidget *mainWindow, InputMethodBinding &binding)
{
    QList<QWidget *> fields = inputMethodFields(mainWindow);
    if (QWidget *cell = findField(mainWindow, QString::fromLatin1(DiagnosisCellName)))
        fields.append(cell);
    for (QWidget *field : fields)
        binding.bind(focusTarget(field));
}

QList<QWidget *> inputMethodFields(QWidget *mainWindow)
{
    QList<QWidget *> fields;
    for (const QString &name : inputMethodFieldNames())
        if (QWidget *field = findField(mainWindow, name))
            fields.append(focusTarget(field));
    return fields;
}

} // namespace inputmethods
