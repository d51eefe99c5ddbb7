#include "text/Clock.h"

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

QString shortDateText(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-M-d"));
}

} // namespace text
