#include "phrases/MemoKeys.h"

#include <array>

namespace phrases {

namespace {
constexpr std::array<MemoKeyField, 7> kMemos{{
    {"DBMemo1", "DBMemo1KeyUp", "PresentIllness", "TForm3"},
    {"DBMemo2", "DBMemo2KeyUp", "PastHistory", "TForm4"},
    {"DBMemo3", "DBMemo3KeyUp", "PersonalHistory", "TForm10"},
    {"DBMemo4", "DBMemo4KeyUp", "FamilyHistory", nullptr},
    {"DBMemo6", "DBMemo6KeyUp", "fuzhu", "TForm5"},
    {"DBMemo7", "DBMemo7KeyUp", "diagnosis", nullptr},
    {"DBMemo9", "DBMemo9KeyUp", "Pripro3", nullptr},
}};
} // namespace

std::span<const MemoKeyField> memoKeyFields()
{
    return kMemos;
}

const MemoKeyField *memoKeyField(const QString &control)
{
    for (const MemoKeyField &memo : kMemos)
        if (control == QLatin1String(memo.control))
            return &memo;
    return nullptr;
}

MemoKeyCommand memoKeyCommand(bool hasBuilder, int key, Qt::KeyboardModifiers modifiers)
{
    if (key == Qt::Key_F1)
        return hasBuilder ? MemoKeyCommand::OpenBuilder : MemoKeyCommand::None;
    if (key == Qt::Key_D && modifiers.testFlag(Qt::ControlModifier))
        return MemoKeyCommand::DeleteLine;
    return MemoKeyCommand::None;
}

} // namespace phrases
