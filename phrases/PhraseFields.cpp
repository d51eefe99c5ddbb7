#include "phrases/PhraseFields.h"

#include <array>

namespace phrases {

namespace {
// Keys and file names differ on purpose in places ("occupation" / "Occupation.txt",
// "complaint" / "complaints.txt"); both are used exactly as written here.
constexpr std::array<PhraseField, 9> kFields{{
    {"DBMemo1", "DBMemo1DblClick", "PresentIllness", "presenthistory", "PresentIllness.txt",
     InsertionKind::AddLine},
    {"DBMemo2", "DBMemo2DblClick", "PastHistory", "pasthistory", "pasthistory.txt", InsertionKind::AddLine},
    {"DBMemo3", "DBMemo3DblClick", "PersonalHistory", "privatehistory", "privatehistory.txt",
     InsertionKind::AddLine},
    {"DBMemo4", "DBMemo4DblClick", "FamilyHistory", "familyhistory", "familyhistory.txt",
     InsertionKind::AddLine},
    {"DBMemo7", "DBMemo7DblClick", "diagnosis", "diagnosis", "diagnosis.txt", InsertionKind::AddLine},
    {"DBMemo9", "DBMemo9DblClick", "Pripro3", "Pripro3", "Pripro3.txt", InsertionKind::AddLine},
    {"DBEdit18", "DBEdit18DblClick", "complaint", "complaint", "complaints.txt", InsertionKind::Replace},
    {"DBEdit26", "DBEdit26DblClick", "tmp20", "minzu", "minzu.txt", InsertionKind::Replace},
    {"DBComboBox3", "DBComboBox3DblClick", "Occupation", "occupation", "Occupation.txt",
     InsertionKind::Replace},
}};
} // namespace

std::span<const PhraseField> phraseFields()
{
    return kFields;
}

const PhraseField *fieldByTargetKey(const QString &key)
{
    if (key.isEmpty())
        return nullptr;
    for (const PhraseField &field : kFields)
        if (key == QLatin1String(field.targetKey))
            return &field;
    return nullptr;
}

const PhraseField *fieldByControl(const QString &control)
{
    for (const PhraseField &field : kFields)
        if (control == QLatin1String(field.control))
            return &field;
    return nullptr;
}

} // namespace phrases
