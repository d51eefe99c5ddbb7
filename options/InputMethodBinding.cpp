#include "options/InputMethodBinding.h"

#include "options/InputMethodService.h"

#include <QEvent>
#include <QFocusEvent>
#include <QVariant>
#include <QWidget>

InputMethodBinding::InputMethodBinding(InputMethodService *service, QObject *parent)
    : QObject(parent), m_service(service)
{}

void InputMethodBinding::bind(QWidget *field)
{
    // Qt keeps one copy of a filter per object, so binding twice does no harm.
    if (field)
        field->installEventFilter(this);
}

void InputMethodBinding::unbind(QWidget *field)
{
    if (field)
        field->removeEventFilter(this);
}

void InputMethodBinding::setInputMethodName(QWidget *field, const QString &name)
{
    if (field)
        field->setProperty(NameProperty, name);
}

QString InputMethodBinding::inputMethodName(const QObject *field)
{
    return field ? field->property(NameProperty).toString() : QString();
}

bool InputMethodBinding::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_service || (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut))
        return QObject::eventFilter(watched, event);
    const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
    if (reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn)
        m_service->activate(inputMethodName(watched));
    else if (reason != Qt::ActiveWindowFocusReason)
        m_service->deactivate();
    return QObject::eventFilter(watched, event);
}
