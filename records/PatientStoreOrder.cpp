#include "records/PatientStoreOrder.h"

namespace storeorder {

namespace {

bool isNumber(const QString &bed)
{
    if (bed.isEmpty())
        return false;
    for (const QChar c : bed) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

QStringView withoutLeadingZeros(const QString &digits)
{
    qsizetype start = 0;
    while (start < digits.size() && digits.at(start) == u'0')
        ++start;
    return QStringView(digits).mid(start);
}

// Code-point order, which is also the byte order of UTF-8. UTF-16 units alone would put
// characters above U+FFFF (surrogate pairs) before U+E000…U+FFFF; moving the surrogates
// above that range at the first difference fixes it.
int compareCodePoints(QStringView a, QStringView b)
{
    const qsizetype common = qMin(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        char16_t left = a[i].unicode();
        char16_t right = b[i].unicode();
        if (left == right)
            continue;
        if (left >= 0xD800 && right >= 0xD800) {
            left = left >= 0xE000 ? char16_t(left - 0x800) : char16_t(left + 0x2000);
            right = right >= 0xE000 ? char16_t(right - 0x800) : char16_t(right + 0x2000);
        }
        return left < right ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace

int compareBeds(const QString &a, const QString &b)
{
    const bool numberA = isNumber(a);
    const bool numberB = isNumber(b);
    if (numberA != numberB)
        return numberA ? -1 : 1;
    if (numberA) {
        // Compared as digit strings, so no bed number is too long to order by value.
        const QStringView digitsA = withoutLeadingZeros(a);
        const QStringView digitsB = withoutLeadingZeros(b);
        if (digitsA.size() != digitsB.size())
            return digitsA.size() < digitsB.size() ? -1 : 1;
        if (const int byValue = digitsA.compare(digitsB))
            return byValue;
    }
    return compareCodePoints(a, b);
}

} // namespace storeorder
