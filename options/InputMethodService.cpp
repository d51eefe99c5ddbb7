#include "options/InputMethodService.h"

#include "options/InputMethodFcitx5.h"
#include "options/InputMethodIBus.h"
#include "options/InputMethodNone.h"

#include <QDBusConnection>

std::unique_ptr<InputMethodService> InputMethodService::detect()
{
    // fcitx5 first: it is asked on the session bus at no cost, while finding IBus's bus
    // may mean running `ibus address`.
    if (auto fcitx = InputMethodFcitx5::connect(QDBusConnection::sessionBus()))
        return fcitx;
    if (auto ibus = InputMethodIBus::connect(InputMethodIBus::busAddress()))
        return ibus;
    return std::make_unique<InputMethodNone>();
}

std::unique_ptr<InputMethodService> InputMethodService::detect(const QDBusConnection &sessionBus,
                                                               const QString &ibusAddress)
{
    if (auto fcitx = InputMethodFcitx5::connect(sessionBus))
        return fcitx;
    if (auto ibus = InputMethodIBus::connect(ibusAddress))
        return ibus;
    return std::make_unique<InputMethodNone>();
}
