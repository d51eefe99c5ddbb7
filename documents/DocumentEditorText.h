#pragma once
#include <QString>

class QFont;
class QTextDocument;

// What the document window does with its editor's text, apart from any widget: how a
// generated document is put in, where the caret stands in display lines, the line
// height the "行高" command reports and the plain text the printed report receives.
namespace documents {

// A caret place in display lines: with word wrap on, every wrapped part of a
// paragraph is a line of its own. Both numbers count from 0.
struct DisplayPosition
{
    int line = 0;
    int column = 0;
};

// Replaces the whole content with the text (CR LF, LF or CR end a paragraph) in the
// document's default character format, so nothing pasted before (a colour, a font)
// carries over into a new document, and empties the undo and redo history: putting a
// document in is not a step the doctor can undo.
void replaceDocumentText(QTextDocument &document, const QString &text);

// The display line holding the character position and the column within that line.
// Lays the document out as far as needed first.
DisplayPosition displayPosition(const QTextDocument &document, int position);

// The "行高" number of a font as shown on the screen: its cell height plus its
// internal leading.
int lineHeightNumber(const QFont &font);

// The document as plain text for the report: every paragraph whole, each followed by
// CR LF. Line breaks typed inside a paragraph become paragraph breaks and embedded
// objects (pasted pictures) are left out, since the report prints characters only.
QString reportBodyText(const QTextDocument &document);

} // namespace documents
