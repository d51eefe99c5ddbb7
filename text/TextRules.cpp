#include "text/TextRules.h"

namespace text {

QString trim(const QString &s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && s.at(end - 1).unicode() <= 32)
        --end;
    return s.mid(begin, end - begin);
}

QString joinedMemoText(const QString &memo)
{
    QString joined = memo;
    joined.remove(QStringLiteral("\r\n"));
    return trim(joined);
}

int gbkWidth(const QString &s)
{
    int width = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c.unicode() < 0x80) {
            width += 1;
        } else {
            width += 2;
            // A surrogate pair is one character.
            if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate())
                ++i;
        }
    }
    return width;
}

QString padToWidth(const QString &s, int width)
{
    const int have = gbkWidth(s);
    return have >= width ? s : s + QString(width - have, QLatin1Char(' '));
}

QString firstLine(const QString &s)
{
    qsizetype end = 0;
    while (end < s.size() && s.at(end) != QLatin1Char('\r') && s.at(end) != QLatin1Char('\n'))
        ++end;
    return s.left(end);
}

} // namespace text
