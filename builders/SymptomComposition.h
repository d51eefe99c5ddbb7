#pragma once
#include <QList>
#include <QString>
#include <array>

namespace builders {

// One box of the symptom picker as read when "Post" is pressed.
struct SymptomTick
{
    QString caption;
    bool ticked = false;
};

// The symptom text: the captions of the ticked boxes, in the order given (the picker
// passes its boxes in symptomBoxes() order), joined by "、". Repeated captions are
// all written; no box ticked gives the empty text.
QString composeSymptomText(const QList<SymptomTick> &boxes);

// The edits of the present-illness dialog the picker can fill, indexed by SymptomTarget
// (0 Edit1, 1 Edit2, 2 Edit3, 3 Edit4, 4 Edit14).
inline constexpr std::array<const char *, 5> kSymptomTargetEdits = {"Edit1", "Edit2", "Edit3", "Edit4",
                                                                    "Edit14"};

// The objectName of the edit that receives the symptom text for a SymptomTarget value,
// or the empty text for any value outside 0..4 (then no edit is changed).
QString symptomTargetEdit(int symptomTarget);

} // namespace builders
