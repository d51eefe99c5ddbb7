#include "phrases/MemoLines.h"
#include "phrases/MemoKeys.h"

#include <gtest/gtest.h>

using namespace phrases;

TEST(MemoLines, CaretLineIsTheWholeStoredLine)
{
    struct Case
    {
        QString text;
        qsizetype caret;
        QString line;
    };
    const QString longLine(300, QChar(0x75C5)); // one stored line however it wraps
    const Case cases[] = {
        {"", 0, ""},
        {"abc", 1, "abc"},
        {"abc\r\ndef", 0, "abc"},
        {"abc\r\ndef", 3, "abc"}, // end of the first line
        {"abc\r\ndef", 4, "abc"}, // between CR and LF
        {"abc\r\ndef", 5, "def"},
        {"abc\r\ndef\r\n", 10, ""}, // the empty line after a final break
        {"a\nb\rc", 4, "c"},
        {"a\r\n\r\nb", 3, ""}, // empty middle line
        {"x\r\n" + longLine + "\r\ny", 3 + 250, longLine},
        {"  \t发热  ", 3, "  \t发热  "}, // untrimmed
        {QStringLiteral("a\u2029b"), 2, "b"},
        {"abc", -5, "abc"},
        {"abc\r\ndef", 99, "def"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(caretLine(c.text, c.caret), c.line) << c.text.toStdString() << " @" << c.caret;
}

TEST(MemoLines, DeleteCaretLine)
{
    const QString three = "one\r\ntwo\r\nthree";
    struct Case
    {
        const char *what;
        QString text;
        qsizetype caret;
        QString result;
    };
    const Case cases[] = {
        {"middle line with its break", three, 6, "one\r\nthree"},
        {"last line keeps the break before it", three, 12, "one\r\ntwo\r\n"},
        {"first line", three, 0, "two\r\nthree"},
        {"caret at end of first line", three, 3, "two\r\nthree"},
        {"caret between CR and LF", three, 4, "two\r\nthree"},
        {"empty memo", "", 0, ""},
        {"empty line after final break", "one\r\ntwo\r\n", 10, "one\r\ntwo\r\n"},
        {"empty middle line", "one\r\n\r\ntwo", 5, "one\r\ntwo"},
        {"only line", "alone", 2, ""},
        {"only line with break", "alone\r\n", 0, ""},
        {"lone LF breaks", "a\nb\nc", 2, "a\nc"},
        {"lone CR breaks", "a\rb\rc", 4, "a\rb\r"},
        {"wrapped long line goes whole", "x\r\n" + QString(500, QChar(0x80F8)) + "\r\ny", 400, "x\r\ny"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(deleteCaretLine(c.text, c.caret), c.result) << c.what;
}

TEST(MemoLines, SelectionSpanningLinesDeletesTheLineOfItsStart)
{
    // The caller passes the selection's start; the second line stays whole.
    const QString text = "first\r\nsecond\r\nthird";
    const qsizetype selectionStart = 2;
    EXPECT_EQ(deleteCaretLine(text, selectionStart), "second\r\nthird");
}

TEST(MemoLines, EditorPositionsMapOntoCrLfText)
{
    const QString stored = "ab\r\ncd\r\n\r\nef";
    // editor text "ab\ncd\n\nef": position 3 is 'c', 6 the empty line, 7 'e'
    EXPECT_EQ(textIndexOfPosition(stored, 0), 0);
    EXPECT_EQ(textIndexOfPosition(stored, 2), 2);
    EXPECT_EQ(textIndexOfPosition(stored, 3), 4);
    EXPECT_EQ(textIndexOfPosition(stored, 6), 8);
    EXPECT_EQ(textIndexOfPosition(stored, 7), 10);
    EXPECT_EQ(textIndexOfPosition(stored, 100), stored.size());
    EXPECT_EQ(deleteCaretLine(stored, textIndexOfPosition(stored, 4)), "ab\r\n\r\nef");
}

TEST(MemoKeys, CommandsOnKeyRelease)
{
    struct Case
    {
        bool hasBuilder;
        int key;
        Qt::KeyboardModifiers mods;
        MemoKeyCommand command;
    };
    const Case cases[] = {
        {true, Qt::Key_F1, Qt::NoModifier, MemoKeyCommand::OpenBuilder},
        {true, Qt::Key_F1, Qt::ShiftModifier, MemoKeyCommand::OpenBuilder},
        {true, Qt::Key_F1, Qt::ControlModifier, MemoKeyCommand::OpenBuilder},
        {false, Qt::Key_F1, Qt::NoModifier, MemoKeyCommand::None},
        {false, Qt::Key_D, Qt::ControlModifier, MemoKeyCommand::DeleteLine},
        {true, Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier, MemoKeyCommand::DeleteLine},
        {true, Qt::Key_D, Qt::ControlModifier | Qt::AltModifier, MemoKeyCommand::DeleteLine},
        {true, Qt::Key_D, Qt::NoModifier, MemoKeyCommand::None},
        {true, Qt::Key_D, Qt::ShiftModifier, MemoKeyCommand::None},
        {true, Qt::Key_Left, Qt::NoModifier, MemoKeyCommand::None},
    };
    for (const Case &c : cases)
        EXPECT_EQ(memoKeyCommand(c.hasBuilder, c.key, c.mods), c.command) << c.key << " " << c.mods.toInt();

    ASSERT_EQ(memoKeyFields().size(), 7u);
    EXPECT_STREQ(memoKeyField("DBMemo6")->builder, "TForm5");
    EXPECT_STREQ(memoKeyField("DBMemo6")->column, "fuzhu");
    EXPECT_EQ(memoKeyField("DBMemo4")->builder, nullptr);
    EXPECT_EQ(memoKeyField("DBMemo5"), nullptr);
}
