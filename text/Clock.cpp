#include "text/Clock.h"

#include <cstdlib>

namespace text {

namespace {
std::function<QDateTime()> &clockFunction()
{
    static std::function<QDateTime()> clock;
    return clock;
}
} // namespace

QDateTime currentDateTime()
{
    const auto &clock = clockFunction();
    return clock ? clock() : QDateTime::currentDateTime();
}

void setClock(std::function<QDateTime()> clock)
{
    clockFunction() = std::move(clock);
}

QString dateTimeText(const QDateTime &moment)
{
    return moment.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

QString nowText()
{
    return dateTimeText(currentDateTime());
}

QString isoDateTimeText(const QDateTime &moment)
{
    const int offset = moment.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return moment.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")) + (offset < 0 ? u'-' : u'+') +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QDateTime fromIsoDateTimeText(const QString &text)
{
    return QDateTime::fromString(text, Qt::ISODate);
}

QString shortDateText(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-M-d"));
}

} // namespace text
