#pragma once
#include <QString>
#include <exception>
#include <functional>

// The text of the standard error box: the message, a known English reason at its end
// said in Chinese, with a full stop appended unless its last character has a code of 46
// (the full stop) or less.
QString errorBoxText(const QString &message);

// Runs one event handler. An error it lets through ends it at the failing step
// (what it did before stays done) and is shown in the standard error box; the
// program goes on. Returns false when an error was shown.
bool runHandler(const std::function<void()> &handler);
