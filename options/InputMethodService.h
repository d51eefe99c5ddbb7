#pragma once
#include <QString>
#include <QStringList>
#include <memory>

class QDBusConnection;

// The desktop's input-method switcher, as far as the program needs it: the list of
// installed input methods by name, switching one on when a Chinese entry field gets
// the focus and switching back to the keyboard layout when it loses it.
class InputMethodService
{
public:
    virtual ~InputMethodService() = default;

    // "fcitx5", "ibus" or "none": which switcher is behind the service.
    virtual QString kind() const = 0;

    // The names of the installed input methods as the user sees them: sorted, without
    // duplicates, read from the system on the first request and the same afterwards.
    virtual QStringList inputMethods() = 0;

    // Switches the input method of that name on. An empty name switches on the input
    // method the switcher would use anyway; a name that no input method has switches to
    // the default keyboard layout.
    virtual void activate(const QString &name) = 0;

    // Switches to the default keyboard layout.
    virtual void deactivate() = 0;

    // The switcher that runs in this session: fcitx5 when its controller is on the
    // session bus, else IBus when its own bus answers, else none.
    static std::unique_ptr<InputMethodService> detect();
    // The same with the session bus and IBus's bus address given (empty: no IBus).
    static std::unique_ptr<InputMethodService> detect(const QDBusConnection &sessionBus,
                                                      const QString &ibusAddress);
};
