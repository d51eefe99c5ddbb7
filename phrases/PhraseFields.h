#pragma once
#include <QString>
#include <span>

namespace phrases {

// How a phrase reaches its field: one-line fields get their whole text replaced,
// memo fields get the phrase added as a new last line.
enum class InsertionKind { AddLine, Replace };

// One of the nine record fields that open a phrase file when double-clicked.
struct PhraseField
{
    const char *control;   // objectName of the field's control ("DBMemo1")
    const char *handler;   // name of its double-click handler ("DBMemo1DblClick")
    const char *column;    // column of PatientsData the control is bound to ("PresentIllness")
    const char *targetKey; // phrase target the field sets ("presenthistory")
    const char *fileName;  // phrase file in the data folder ("PresentIllness.txt")
    InsertionKind kind;
};

// The nine fields: the six memo fields first, then the three one-line fields.
std::span<const PhraseField> phraseFields();

// The field whose target key is exactly the given key (case counts), or nullptr.
const PhraseField *fieldByTargetKey(const QString &key);

// The field whose control has the given objectName, or nullptr.
const PhraseField *fieldByControl(const QString &control);

} // namespace phrases
