#pragma once
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

// The opening sentence and case characteristics of the first course record
// (首次病程), the text that "Generate" writes into Pripro1. Pure functions of plain values.
namespace documents {

// The past-history flags that, when any is set, drop "往体健，无特殊病史。" (Boolen05 and
// Boolen07 are not among them).
QStringList consultedHistoryFlags();

// A flag column's text as its check box shows it: "True" in any letter case is checked,
// "False" in any letter case unchecked, anything else (an empty column) greyed.
Qt::CheckState flagStateFromText(const QString &columnText);

// The age as a whole number: an optional run of leading blanks, an optional sign and
// decimal digits, nothing after them; anything else (empty, a unit, a trailing blank,
// a number out of range) gives no value.
std::optional<int> wholeNumber(const QString &text);

// "青年" for 0 to 29, "中年" for 30 to 49, "老年" for 50 to 120, empty otherwise.
QString ageGroupWord(int age);

// The lines of Pripro1. fields holds the texts of Name, sex, age, complaint, DoA,
// PresentIllness and fuzhu by column name; flags holds the states of the consulted
// past-history check boxes by column name (missing counts as greyed). Only a checked
// flag counts as set. When the age is not a whole number the lines stop after
// "一、病例特点：", silently, as the command stops there.
QStringList firstCourseLines(const QHash<QString, QString> &fields,
                             const QHash<QString, Qt::CheckState> &flags);

// The same lines as the memo text, joined with CR LF.
QString firstCourseText(const QHash<QString, QString> &fields, const QHash<QString, Qt::CheckState> &flags);

} // namespace documents
