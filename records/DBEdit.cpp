#include "records/DBEdit.h"

DBEdit::DBEdit(QWidget *parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textEdited, this, [this](const QString &text) { userChanged(text); });
}

void DBEdit::showValue()
{
    const QString value = session()->value(column());
    if (value == text())
        return;
    m_showing = true;
    setText(value);
    setCursorPosition(0);
    m_showing = false;
}

void DBEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    QLineEdit::mouseDoubleClickEvent(event);
    emit doubleClicked();
}
