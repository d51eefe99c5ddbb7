#pragma once
#include <QString>
#include <array>

namespace builders {

inline constexpr int kSymptomCount = 49;

// One check box of the symptom picker (TSymptoms): its objectName, its caption and
// its place in the 7 x 7 grid (column and row counted from 1).
struct SymptomBox
{
    const char *objectName; // "CheckBox14"
    const char *caption;    // UTF-8, "腹泻"
    int column;
    int row;

    QString captionText() const { return QString::fromUtf8(caption); }
};

// The 49 boxes in the order the picker visits them when it writes its text: column by
// column, each column top to bottom. This is not the order of the numbers in the names
// (column 2 runs CheckBox8, 14, 13, 12, 11, 10, 9), and captions repeat on purpose.
const std::array<SymptomBox, kSymptomCount> &symptomBoxes();

} // namespace builders
