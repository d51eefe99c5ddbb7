#include "records/DBMemo.h"

#include <QKeyEvent>
#include <QTextBlock>

DBMemo::DBMemo(QWidget *parent) : QPlainTextEdit(parent)
{
    // Tab moves on to the next control, as in every memo of the program; a tab
    // character never gets into the record.
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] { userChanged(storedText()); });
}

QString DBMemo::toStored(const QString &shown)
{
    QString stored = shown;
    stored.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return stored;
}

QString DBMemo::toShown(const QString &stored)
{
    QString shown = stored;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return shown;
}

void DBMemo::showValue()
{
    const QString value = session()->value(column());
    if (value == storedText())
        return;
    m_showing = true;
    setPlainText(toShown(value));
    m_showing = false;
}

QString DBMemo::storedText() const
{
    return toStored(toPlainText());
}

int DBMemo::storedCaretPosition() const
{
    const int position = textCursor().selectionStart();
    // Every paragraph before the caret's ends in one shown break that is two characters stored.
    return position + document()->findBlock(position).blockNumber();
}

void DBMemo::mouseDoubleClickEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

void DBMemo::keyReleaseEvent(QKeyEvent *event)
{
    QPlainTextEdit::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
        emit keyReleased(event->key(), event->modifiers());
}
