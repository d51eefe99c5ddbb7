#include "records/PatientStoreOrder.h"

#include <algorithm>

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

void sortByBed(std::vector<ListRow> &rows)
{
    // The full comparison is too slow, and reaching into the rows too cache-unfriendly, to run
    // a million times on a large list. So each bed becomes a key first: its value when it is a
    // number of up to 18 digits, and its count of leading zeros, since of equal values the text
    // with more zeros comes first ("002", "02", "2"). Only texts and overlong numbers need
    // the full comparison.
    constexpr quint64 beyond = ~quint64(0);
    struct Key
    {
        quint64 number; // the bed's value; `beyond` for texts and overlong numbers
        qsizetype zeros;
        qint64 rowId;
        size_t row;
    };
    std::vector<Key> keys;
    keys.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const QString &bed = rows[i].values.at(0);
        Key key{beyond, 0, rows[i].rowId, i};
        if (isNumber(bed)) {
            const QStringView digits = withoutLeadingZeros(bed);
            if (digits.size() <= 18) {
                key.number = digits.isEmpty() ? 0 : digits.toULongLong();
                // All zeros ("0", "00") is the exception: there the shorter text comes first.
                key.zeros = digits.isEmpty() ? -bed.size() : bed.size() - digits.size();
            }
        }
        keys.push_back(key);
    }
    std::sort(keys.begin(), keys.end(), [&rows](const Key &a, const Key &b) {
        if (a.number != b.number)
            return a.number < b.number;
        if (a.number != beyond) {
            if (a.zeros != b.zeros)
                return a.zeros > b.zeros;
        } else if (const int order = compareBeds(rows[a.row].values.at(0), rows[b.row].values.at(0))) {
            return order < 0;
        }
        return a.rowId < b.rowId;
    });
    std::vector<ListRow> sorted;
    sorted.reserve(rows.size());
    for (const Key &key : keys)
        sorted.push_back(std::move(rows[key.row]));
    rows = std::move(sorted);
}

} // namespace storeorder
