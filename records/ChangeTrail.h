#pragma once
#include "store/TrailTypes.h"

#include <QString>

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
