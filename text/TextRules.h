#pragma once
#include <QString>

// Small text rules shared by every composition and every window.
namespace text {

// Removes every leading and trailing character whose code is 0 to 32 (blanks,
// tabs, line breaks, control characters). Inner characters stay, and so does the
// full-width blank U+3000, which counts as text.
QString trim(const QString &s);

// A memo's whole text with every CR LF pair removed (nothing in their place), then trimmed.
QString joinedMemoText(const QString &memo);

// Width of a text in bytes of GBK: 1 for an ASCII character, 2 for every other character.
int gbkWidth(const QString &s);

// The text padded on the right with blanks up to the given GBK width (never cut).
QString padToWidth(const QString &s, int width);

// The first line of a text (up to the first CR or LF), empty for an empty text.
QString firstLine(const QString &s);

} // namespace text
