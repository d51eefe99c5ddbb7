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
