#include "documents/DocumentEditorText.h"

#include <QAbstractTextDocumentLayout>
#include <QFontInfo>
#include <QFontMetrics>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>

namespace documents {

void replaceDocumentText(QTextDocument &document, const QString &text)
{
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    document.setUndoRedoEnabled(false);
    document.clear();
    QTextCursor cursor(&document);
    // Empty formats: the text takes the document's default font, which is the font the
    // doctor chose with "字体", never a format left over from pasted text.
    cursor.setBlockFormat(QTextBlockFormat());
    cursor.setBlockCharFormat(QTextCharFormat());
    cursor.insertText(plain, QTextCharFormat());
    document.setUndoRedoEnabled(true);
    document.clearUndoRedoStacks();
    document.setModified(false);
}

DisplayPosition displayPosition(const QTextDocument &document, int position)
{
    position = std::clamp(position, 0, std::max(0, document.characterCount() - 1));
    // Wrapped lines exist only once the layout has run; the documents are short, so
    // laying out all of it is cheap.
    document.documentLayout()->documentSize();

    const QTextBlock target = document.findBlock(position);
    int line = 0;
    for (QTextBlock block = document.begin(); block.isValid() && block != target; block = block.next())
        line += std::max(1, block.layout()->lineCount());

    const int inBlock = position - target.position();
    const QTextLine displayLine = target.layout()->lineForTextPosition(inBlock);
    if (!displayLine.isValid()) // not laid out (no width yet): the paragraph is one line
        return {line, inBlock};
    return {line + displayLine.lineNumber(), inBlock - displayLine.textStart()};
}

int lineHeightNumber(const QFont &font)
{
    // The number is the screen's cell height plus internal leading of the font. In
    // Qt's terms the cell height is ascent + descent, and the internal leading is the
    // part of the cell above the em square: the cell height minus the font's em height,
    // which is its pixel size on this screen. The leading is never below zero, as a
    // font whose glyph cell is smaller than its em square has no leading to add.
    const QFontMetrics metrics(font);
    const int cellHeight = metrics.ascent() + metrics.descent();
    const int emHeight = QFontInfo(font).pixelSize();
    const int internalLeading = std::max(0, cellHeight - emHeight);
    return cellHeight + internalLeading;
}

QString reportBodyText(const QTextDocument &document)
{
    QString text;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QString paragraph = block.text();
        paragraph.remove(QChar::ObjectReplacementCharacter);
        paragraph.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
        text += paragraph + QStringLiteral("\r\n");
    }
    return text;
}

} // namespace documents
