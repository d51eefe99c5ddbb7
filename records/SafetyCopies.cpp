#include "records/SafetyCopies.h"

#include <QSet>

#include <algorithm>

namespace safetycopies {

namespace {
const QString prefix = QStringLiteral("safety-");
const QString suffix = QStringLiteral(".dat");
const QString stampFormat = QStringLiteral("yyyyMMdd-hhmmss");
constexpr int newestKept = 20;
constexpr int daysKept = 30;
} // namespace

QString copyName(const QDateTime &moment)
{
    return prefix + moment.toString(stampFormat) + suffix;
}

std::optional<QDateTime> momentOf(const QString &name)
{
    if (!name.startsWith(prefix) || !name.endsWith(suffix))
        return std::nullopt;
    const QString stamp = name.mid(prefix.size(), name.size() - prefix.size() - suffix.size());
    if (stamp.size() != stampFormat.size())
        return std::nullopt;
    const QDateTime moment = QDateTime::fromString(stamp, stampFormat);
    if (!moment.isValid())
        return std::nullopt;
    return moment;
}

QStringList toRemove(const QStringList &names, const QDate &today)
{
    std::vector<std::pair<QDateTime, QString>> copies;
    for (const QString &name : names) {
        if (const auto moment = momentOf(name))
            copies.emplace_back(*moment, name);
    }
    // Newest first.
    std::sort(copies.begin(), copies.end(), [](const auto &a, const auto &b) {
        return a.first != b.first ? a.first > b.first : a.second > b.second;
    });
    QSet<QString> kept;
    QSet<QDate> daysSeen;
    const QDate firstDay = today.addDays(-(daysKept - 1));
    for (size_t i = 0; i < copies.size(); ++i) {
        const QDate day = copies[i].first.date();
        if (int(i) < newestKept)
            kept.insert(copies[i].second);
        if (day >= firstDay && day <= today && !daysSeen.contains(day)) {
            daysSeen.insert(day);
            kept.insert(copies[i].second);
        }
    }
    QStringList removed;
    for (const auto &copy : copies) {
        if (!kept.contains(copy.second))
            removed << copy.second;
    }
    return removed;
}

} // namespace safetycopies
