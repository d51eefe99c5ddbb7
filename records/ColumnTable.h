#pragma once
#include <QString>
#include <QStringList>
#include <span>

// The 79 columns of PatientsData: the one place that names them, with their kind,
// the label beside their control, the control bound to them, the tab that shows
// them and the items their combo box offers. The schema, the bindings and the tests
// all read this table.
enum class ColumnKind { Line, Memo, DateTime, Bed, Flag };

struct Column
{
    const char *name;         // column name, case as stored ("PresentIllness", "fuzhu")
    ColumnKind kind;
    const char *label;        // caption of the label beside the control ("" where none)
    const char *control;      // objectName of the bound control ("DBEdit18")
    const char *tab;          // caption of the tab that shows it ("入院记录"; "病人管理" for PriDiagnosis;
                              // "既往史" for the flags, which live in the past-history builder)
    QStringList offered;      // combo-box items in order (empty for non-combo controls)
};

namespace columns {

// All 79 columns, in the table order: admission record, examination (left then right tab),
// auxiliary/diagnosis, PriDiagnosis, first course record, flags.
std::span<const Column> all();

// Index of a column by exact name, or -1.
int indexOf(const QString &name);

// The column with that exact name; throws std::out_of_range for an unknown name.
const Column &byName(const QString &name);

// The columns the patient list needs of every row, in the list's order of display,
// then PriDiagnosis: Bed, ID, Name, sex, age, marriage, PriDiagnosis.
QStringList listColumns();

} // namespace columns
