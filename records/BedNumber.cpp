#include "records/BedNumber.h"

#include <limits>

namespace bednumber {

namespace {

bool isBlank(QChar c)
{
    return c.unicode() <= 32 || c.unicode() == 0x3000;
}

// An ASCII character for a full-width digit or sign, the character itself otherwise.
char16_t narrow(char16_t c)
{
    if (c >= 0xFF10 && c <= 0xFF19)
        return char16_t(u'0' + (c - 0xFF10));
    if (c == 0xFF0B)
        return u'+';
    if (c == 0xFF0D || c == 0x2212)
        return u'-';
    return c;
}

} // namespace

std::optional<int> parse(const QString &bed)
{
    qsizetype begin = 0;
    qsizetype end = bed.size();
    while (begin < end && isBlank(bed.at(begin)))
        ++begin;
    while (end > begin && isBlank(bed.at(end - 1)))
        --end;
    if (begin == end)
        return std::nullopt;
    bool negative = false;
    const char16_t first = narrow(bed.at(begin).unicode());
    if (first == u'+' || first == u'-') {
        negative = first == u'-';
        ++begin;
    }
    if (begin == end)
        return std::nullopt;
    qint64 value = 0;
    for (qsizetype i = begin; i < end; ++i) {
        const char16_t c = narrow(bed.at(i).unicode());
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return std::nullopt; // beyond any integer; leading zeros never get here
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        return std::nullopt;
    return int(value);
}

QString plainText(const QString &bed)
{
    const std::optional<int> number = parse(bed);
    return number ? QString::number(*number) : bed;
}

} // namespace bednumber
