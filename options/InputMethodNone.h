#pragma once
#include "options/InputMethodService.h"

// The service when no input-method switcher runs: nothing is listed and nothing
// switches; typing goes through whatever the desktop provides.
class InputMethodNone : public InputMethodService
{
public:
    QString kind() const override { return QStringLiteral("none"); }
    QStringList inputMethods() override { return {}; }
    void activate(const QString &) override {}
    void deactivate() override {}
};
