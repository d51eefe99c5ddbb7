#include "records/DBComboBox.h"

#include <QEvent>
#include <QLineEdit>

DBComboBox::DBComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    lineEdit()->installEventFilter(this);
    connect(this, &QComboBox::editTextChanged, this, [this](const QString &text) { userChanged(text); });
}

void DBComboBox::showValue()
{
    const QString value = session()->value(column());
    if (value == currentText())
        return;
    m_showing = true;
    setEditText(value);
    lineEdit()->setCursorPosition(0);
    m_showing = false;
}

bool DBComboBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonDblClick) {
        const bool handled = QComboBox::eventFilter(watched, event);
        emit doubleClicked();
        return handled;
    }
    return QComboBox::eventFilter(watched, event);
}
