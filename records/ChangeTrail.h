#pragma once
#include <QDateTime>
#include <QString>

// Who made a change and when: every post and every archiving carries one.
struct TrailStamp
{
    QString operatorName; // empty: the store's own operator (display name, else the account)
    QDateTime at;         // invalid: now, from the program's clock
};

// One row of the modification trail: one column of one record changed by one post.
struct TrailEntry
{
    qint64 recordId = 0;
    QString bed;
    QString columnName;
    QString oldText;
    QString newText;
    QString operatorName;
    QString changedAt; // ISO 8601 local time with seconds and the UTC offset

    bool operator==(const TrailEntry &) const = default;
};

namespace trail {

// The trail's name for archiving: archiving and unarchiving are written as a change of
// this pseudo-column from "False" to "True" and back.
inline QString archivedColumn()
{
    return QStringLiteral("Archived");
}

// The longest display name the doctor may set.
constexpr int displayNameLimit = 100;

// Why a display name cannot be kept (a control character, more than 100 characters), or
// an empty text when it can. Blanks at both ends do not count.
QString displayNameProblem(const QString &name);

// The operator written into the trail: the display name with the system account after it,
// or the account alone while no display name is set.
QString operatorText(const QString &displayName, const QString &account);

// The system account running the program.
QString accountName();

} // namespace trail
