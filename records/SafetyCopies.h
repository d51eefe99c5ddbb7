#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

// The names and the keeping rule of the automatic safety copies in data/backups/.
namespace safetycopies {

// "safety-yyyyMMdd-hhmmss.dat" for the moment the copy was made.
QString copyName(const QDateTime &moment);
// The moment a safety copy's name gives, or nullopt for any other file name.
std::optional<QDateTime> momentOf(const QString &name);

// Of the safety copies among `names` (other files are never touched), the ones to remove:
// the newest 20 are kept, and the newest copy of each of the 30 days ending with `today`.
QStringList toRemove(const QStringList &names, const QDate &today);

} // namespace safetycopies
