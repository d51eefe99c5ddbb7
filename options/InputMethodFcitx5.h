#pragma once
#include "options/InputMethodCatalog.h"
#include "options/InputMethodService.h"
#include <QDBusConnection>
#include <QTimer>
#include <QVariantList>
#include <memory>
#include <optional>

class QDBusMessage;

// fcitx5 through its controller object on the session bus.
//
// The installed input methods are those of the user's input-method groups, shown
// by their names. Switching acts on the input context fcitx5 last saw take the focus.
// Qt's fcitx5 input context tells fcitx5 about focus changes over a connection of its
// own, so its message can reach fcitx5 after a switch sent just behind it, and a
// window's first input context is made only after a round trip; each switch is
// therefore sent again, unchanged, once those messages have had time to arrive.
// Sending a switch twice changes nothing in fcitx5.
class InputMethodFcitx5 : public InputMethodService
{
public:
    static const QString ServiceName; // org.fcitx.Fcitx5
    static const QString ObjectPath;  // /controller
    static const QString Interface;   // org.fcitx.Fcitx.Controller1

    explicit InputMethodFcitx5(const QDBusConnection &bus);

    // How long after a switch it is sent again (0: never).
    static constexpr int ConfirmDelayMs = 150;
    void setConfirmDelay(int milliseconds) { m_confirmDelayMs = milliseconds; }

    // The service when fcitx5 runs on that bus, otherwise none.
    static std::unique_ptr<InputMethodFcitx5> connect(const QDBusConnection &bus);

    QString kind() const override { return QStringLiteral("fcitx5"); }
    QStringList inputMethods() override;
    void activate(const QString &name) override;
    void deactivate() override;

private:
    const InputMethodCatalog &catalog();
    QDBusMessage call(const QString &method, const QVariantList &arguments = {}) const;
    void send(const QString &method, const QVariantList &arguments = {}) const;
    void sendSwitch(const QString &method, const QVariantList &arguments = {});

    QDBusConnection m_bus;
    std::optional<InputMethodCatalog> m_catalog;
    bool m_listFailed = false;
    int m_confirmDelayMs = ConfirmDelayMs;
    QTimer m_confirm;
    QString m_lastMethod;
    QVariantList m_lastArguments;
};
