#pragma once
// An input-method service that only records what it is asked to do.
#include "options/InputMethodService.h"

#include <QStringList>

class RecordingService : public InputMethodService
{
public:
    QStringList calls;
    QString kind() const override { return QStringLiteral("recording"); }
    QStringList inputMethods() override { return {QStringLiteral("拼音")}; }
    void activate(const QString &name) override { calls.append(QStringLiteral("on:") + name); }
    void deactivate() override { calls.append(QStringLiteral("off")); }
};
