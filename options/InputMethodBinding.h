#pragma once
#include <QObject>
#include <QPointer>
#include <QString>
#include <vector>

class InputMethodService;
class QWidget;

// Switches the input method of the Chinese entry fields: a bound field switches its
// input method on when it receives the focus and the keyboard layout back on when it
// loses it. Each field keeps the name of its input method in a dynamic property;
// an empty name switches on whichever input method the switcher would use.
//
// The focus moving to a drop-down list or a menu and back is not a change of field
// and switches nothing; nor does the window losing the activation, so that another
// program that gets it is left alone (the field switches on again when the window
// comes back).
//
// The switcher acts on the input context it last saw take the focus, and Qt tells
// the desktop's input context about a focus change only after the fields' focus
// events. So the switching a focus change asks for is sent right after Qt has moved
// its input context to the newly focused field (or at the next turn of the event
// loop when no such move follows, unless the field's window has not yet become the
// focused window), in the order asked; never before, when it would land in the field
// or window being left.
class InputMethodBinding : public QObject
{
    Q_OBJECT
public:
    // The dynamic property that holds a field's input-method name.
    static constexpr const char *NameProperty = "inputMethodName";

    // The service is not owned and must outlive the binding, or be replaced first.
    explicit InputMethodBinding(InputMethodService *service, QObject *parent = nullptr);

    void setService(InputMethodService *service) { m_service = service; }
    InputMethodService *service() const { return m_service; }

    // Makes the field switch its input method on focus changes; binding it twice does
    // no harm.
    void bind(QWidget *field);
    void unbind(QWidget *field);

    static void setInputMethodName(QWidget *field, const QString &name);
    static QString inputMethodName(const QObject *field);

    // Sends what the focus changes so far asked for; normally called by the binding itself.
    void flush();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Request
    {
        bool on;
        QString name;
        QPointer<QWidget> field;
    };
    void ask(Request request);
    bool waitsForItsWindow() const;

    InputMethodService *m_service;
    std::vector<Request> m_pending;
    bool m_flushQueued = false;
};
