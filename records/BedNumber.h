#pragma once
#include <QString>
#include <optional>

// A bed number as the doctor types it. "07", "+7", " 7 " and the full-width "７" are all
// bed 7, so that the spelling of a number never makes a second record for the same bed.
namespace bednumber {

// The integer a bed text stands for: decimal digits (ASCII or full-width, as a Chinese input
// method types them in full-width mode) with at most one sign before them (+ - ＋ －), blanks
// (also the full-width one) around them and any leading zeros. nullopt for every other text
// ("abc", "7.0", "7 8", "") and for a number beyond the range of a 32-bit integer.
std::optional<int> parse(const QString &bed);

// The plain decimal text of a bed number ("7" for "07"); the text as it is when it is no number.
QString plainText(const QString &bed);

} // namespace bednumber
