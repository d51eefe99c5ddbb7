#include "options/InputMethodBinding.h"

#include "options/InputMethodService.h"

#include <QEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QWindow>
#include <QVariant>
#include <QWidget>

InputMethodBinding::InputMethodBinding(InputMethodService *service, QObject *parent)
    : QObject(parent), m_service(service)
{
    // Emitted once the platform's input context has been given the new focus object.
    connect(qGuiApp, &QGuiApplication::focusObjectChanged, this, &InputMethodBinding::flush);
}

void InputMethodBinding::ask(Request request)
{
    m_pending.push_back(std::move(request));
    if (!m_flushQueued) {
        m_flushQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_flushQueued = false;
                // A window being activated: Qt moves its input context when the window
                // system confirms, and the move flushes then.
                if (!waitsForItsWindow())
                    flush();
            },
            Qt::QueuedConnection);
    }
}

bool InputMethodBinding::waitsForItsWindow() const
{
    for (const Request &request : m_pending) {
        if (!request.on || !request.field)
            continue;
        const QWidget *window = request.field->window();
        if (window->windowHandle() && window->windowHandle() != QGuiApplication::focusWindow())
            return true;
    }
    return false;
}

void InputMethodBinding::flush()
{
    std::vector<Request> requests;
    requests.swap(m_pending);
    if (!m_service)
        return;
    for (const Request &request : requests) {
        if (request.on)
            m_service->activate(request.name);
        else
            m_service->deactivate();
    }
}

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
        ask({true, inputMethodName(watched), qobject_cast<QWidget *>(watched)});
    else if (reason != Qt::ActiveWindowFocusReason)
        ask({false, QString(), nullptr});
    return QObject::eventFilter(watched, event);
}
