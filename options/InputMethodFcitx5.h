#pragma once
#include "options/InputMethodCatalog.h"
#include "options/InputMethodService.h"
#include <QDBusConnection>
#include <QVariantList>
#include <memory>
#include <optional>

class QDBusMessage;

// fcitx5 through its controller object on the session bus.
//
// The installed input methods are those of the user's input-method groups, shown
// by their names. Switching acts on the input context that has the focus, which is
// the field that just received it.
class InputMethodFcitx5 : public InputMethodService
{
public:
    static const QString ServiceName; // org.fcitx.Fcitx5
    static const QString ObjectPath;  // /controller
    static const QString Interface;   // org.fcitx.Fcitx.Controller1

    explicit InputMethodFcitx5(const QDBusConnection &bus);

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

    QDBusConnection m_bus;
    std::optional<InputMethodCatalog> m_catalog;
    bool m_listFailed = false;
};
