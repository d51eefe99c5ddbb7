#include "records/ChangeTrail.h"

#include <pwd.h>
#include <unistd.h>

namespace trail {

QString displayNameProblem(const QString &name)
{
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("医师签名不能含有控制字符（如换行、制表符）");
    }
    const QString trimmed = name.trimmed();
    // Counted in characters as the doctor sees them, not in UTF-16 units.
    if (trimmed.toUcs4().size() > displayNameLimit)
        return QStringLiteral("医师签名不能超过 %1 个字符").arg(displayNameLimit);
    return QString();
}

QString operatorText(const QString &displayName, const QString &account)
{
    const QString name = displayName.trimmed();
    if (name.isEmpty())
        return account;
    return name + QStringLiteral("（") + account + QStringLiteral("）");
}

QString accountName()
{
    if (const passwd *entry = ::getpwuid(::getuid()); entry && entry->pw_name && *entry->pw_name)
        return QString::fromLocal8Bit(entry->pw_name);
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? QStringLiteral("uid%1").arg(::getuid()) : user;
}

} // namespace trail
