#pragma once
#include <QString>

// Lines of a memo's text as stored: a line runs between line breaks (CR LF, a lone
// LF or a lone CR, and the editor's own paragraph and line separators), however the
// editor wraps it on screen. Positions are indexes into the given text.
namespace phrases {

struct LineSpan
{
    qsizetype begin = 0; // first character of the line
    qsizetype end = 0;   // one past its last character, where its line break starts
    qsizetype next = 0;  // first character of the next line; the text's length for the last line
};

// The line that holds a position. A position between the CR and the LF of a CR LF
// pair belongs to the line the pair ends; positions outside the text are clamped.
LineSpan lineAt(const QString &text, qsizetype position);

// The whole stored line holding the caret, without its line break.
QString caretLine(const QString &text, qsizetype caret);

// The text with the caret's line deleted: from its first character up to the first
// character of the next line, so its line break goes with it; for the last line from
// its first character to the end, so the break before it stays. An empty memo, or the
// empty line after a final line break, gives the text unchanged.
QString deleteCaretLine(const QString &text, qsizetype caret);

// Maps an editor position, which counts every line break as one character, onto an
// index into a text whose breaks may be CR LF pairs (the stored form of a memo).
qsizetype textIndexOfPosition(const QString &text, qsizetype position);

} // namespace phrases
