#pragma once
#include "options/InputMethodCatalog.h"
#include "options/InputMethodService.h"
#include <QDBusConnection>
#include <QVariantList>
#include <memory>
#include <optional>

class QDBusMessage;

// IBus through its daemon, which keeps a bus of its own (not the session bus).
//
// The installed input methods are the engines the user has chosen (the
// "preload-engines" setting), shown by their long names; when that setting cannot be
// read, every engine that is not a plain keyboard layout. IBus has no on and off: the
// default keyboard layout is the first keyboard-layout engine of the user's list, and
// "switching on" selects the first Chinese engine.
class InputMethodIBus : public InputMethodService
{
public:
    static const QString ServiceName;   // org.freedesktop.IBus
    static const QString ObjectPath;    // /org/freedesktop/IBus
    static const QString Interface;     // org.freedesktop.IBus
    static const QString DefaultLayout; // xkb:us::eng, when the user's list names none

    explicit InputMethodIBus(const QDBusConnection &bus);

    // The address of IBus's bus: $IBUS_ADDRESS, else what `ibus address` prints; empty
    // when IBus does not run.
    static QString busAddress();
    // The service when IBus answers at that address or on that bus, otherwise none.
    static std::unique_ptr<InputMethodIBus> connect(const QString &address);
    static std::unique_ptr<InputMethodIBus> connect(const QDBusConnection &bus);

    QString kind() const override { return QStringLiteral("ibus"); }
    QStringList inputMethods() override;
    void activate(const QString &name) override;
    void deactivate() override;

    // The engine the default keyboard layout is and the one "switching on" selects.
    QString defaultEngine();
    QString chineseEngine();

private:
    bool load();
    void loadForSwitching();
    QDBusMessage call(const QString &service, const QString &path, const QString &interface,
                      const QString &method, const QVariantList &arguments = {}) const;
    void setEngine(const QString &engine) const;

    QDBusConnection m_bus;
    std::optional<InputMethodCatalog> m_catalog;
    QString m_defaultEngine = DefaultLayout;
    QString m_chineseEngine;
    bool m_loadFailed = false;
};
