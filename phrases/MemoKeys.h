#pragma once
#include <QString>
#include <Qt>
#include <span>

// The keyboard commands of the seven history and examination memos, decided on key
// release: F1 opens the memo's builder dialog (whatever modifiers are held), Ctrl+D
// deletes the caret line (Shift or Alt held as well do not matter).
namespace phrases {

struct MemoKeyField
{
    const char *control; // objectName of the memo ("DBMemo1")
    const char *handler; // its key-release handler ("DBMemo1KeyUp")
    const char *column;  // bound column ("PresentIllness")
    const char *builder; // class of the builder F1 opens ("TForm3"), nullptr for none
};

enum class MemoKeyCommand { None, OpenBuilder, DeleteLine };

// The seven memos, in the order DBMemo1, 2, 3, 4, 6, 7, 9.
std::span<const MemoKeyField> memoKeyFields();

// The memo with that objectName, or nullptr.
const MemoKeyField *memoKeyField(const QString &control);

// What a key release does in a memo that has (or has not) a builder. Every release
// also puts the record into edit state; that is the caller's part.
MemoKeyCommand memoKeyCommand(bool hasBuilder, int key, Qt::KeyboardModifiers modifiers);

} // namespace phrases
