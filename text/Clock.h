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

// The short date form "yyyy-M-d", for example 2007-5-8.
QString shortDateText(const QDate &date);

} // namespace text
