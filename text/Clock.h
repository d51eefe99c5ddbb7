#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>
#include <functional>

// The program's one source of "now", replaceable so that tests run at a fixed moment.
namespace text {

QDateTime currentDateTime();

// Replaces the clock; an empty function restores the system clock.
void setClock(std::function<QDateTime()> clock);

// The date-time text: "yyyy-MM-dd hh:mm:ss", the same layout on every machine.
QString dateTimeText(const QDateTime &moment);

// The date-time text of the current moment.
QString nowText();

// ISO 8601 local time with seconds and the offset from UTC, for example
// 2026-12-11T09:15:30+08:00; the modification trail keeps its times in this form.
QString isoDateTimeText(const QDateTime &moment);
// Reads that form back (invalid for any other text).
QDateTime fromIsoDateTimeText(const QString &text);

// The short date form "yyyy-M-d", for example 2007-5-8.
QString shortDateText(const QDate &date);

} // namespace text
