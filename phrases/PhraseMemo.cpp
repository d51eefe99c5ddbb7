#include "phrases/PhraseMemo.h"
#include "phrases/MemoLines.h"

#include <QTextBlock>

PhraseMemo::PhraseMemo(QWidget *parent) : QPlainTextEdit(parent)
{
    // Tab moves on to the next control instead of typing a tab into the phrase file.
    setTabChangesFocus(true);
}

QString PhraseMemo::caretLine() const
{
    // A block of the document is one stored line; looking it up avoids copying the
    // whole text of a large phrase file at every double-click. A line separator typed
    // inside a block (Shift+Enter) is saved as a line break, so it splits lines too.
    const int start = textCursor().selectionStart();
    const QTextBlock block = document()->findBlock(start);
    return phrases::caretLine(block.text(), start - block.position());
}

void PhraseMemo::mouseDoubleClickEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseDoubleClickEvent(event);
    emit doubleClicked();
}
