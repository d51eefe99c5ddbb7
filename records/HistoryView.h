#pragma once
#include "records/ChangeTrail.h"

#include <QString>
#include <QStringList>
#include <vector>

// What the trail window shows, as pure functions of the trail rows.
namespace historyview {

// A change split around the part that differs: the common beginning, the part of the old
// text that went, the part of the new text that came, and the common end.
struct ChangeMark
{
    QString prefix;
    QString removed;
    QString added;
    QString suffix;

    bool operator==(const ChangeMark &) const = default;
};

// The longest common beginning and then the longest common end of what is left; a
// character made of two UTF-16 units is never split.
ChangeMark markChange(const QString &oldText, const QString &newText);

// The label of a column as the main window shows it ("现病史：" for PresentIllness); the
// archive mark reads "归档："; a column without a label of its own shows its name.
QString fieldLabel(const QString &columnName);

// The columns that occur in the trail, in the column table's order (the archive mark last).
QStringList columnsIn(const std::vector<TrailEntry> &entries);

// The rows of one column (all rows for an empty name), in the order given.
std::vector<TrailEntry> filtered(const std::vector<TrailEntry> &entries, const QString &columnName);

// The list as rich text: per change its time, operator and field, then the old and the new
// text with the changed part marked. `heading` goes above it.
QString historyHtml(const std::vector<TrailEntry> &entries, const QString &heading);

} // namespace historyview
