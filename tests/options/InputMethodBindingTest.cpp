// The focus binding of the Chinese entry fields, with a stand-in service that records
// what it was asked to switch.
#include "options/InputMethodBinding.h"
#include "options/InputMethodService.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

#include "QtPrinters.h"
#include "RecordingService.h"

namespace {


// A focus event and the turn of the event loop that follows it, after which the
// binding has sent what the focus change asks for.
void sendFocus(QWidget *field, QEvent::Type type, Qt::FocusReason reason = Qt::TabFocusReason)
{
    QFocusEvent event(type, reason);
    QCoreApplication::sendEvent(field, &event);
    QCoreApplication::processEvents();
}

} // namespace

TEST(InputMethodBinding, FocusChangesSwitchInOrderWithEachFieldsName)
{
    RecordingService service;
    InputMethodBinding binding(&service);
    QLineEdit name;
    QTextEdit history;
    QLineEdit unbound;
    binding.bind(&name);
    binding.bind(&history);
    binding.bind(&history); // twice: still one switch per focus change
    InputMethodBinding::setInputMethodName(&name, QStringLiteral("拼音"));

    sendFocus(&name, QEvent::FocusIn);
    sendFocus(&name, QEvent::FocusOut);
    sendFocus(&history, QEvent::FocusIn);
    sendFocus(&history, QEvent::FocusOut);
    sendFocus(&unbound, QEvent::FocusIn);
    sendFocus(&unbound, QEvent::FocusOut);
    EXPECT_EQ(service.calls, QStringList({"on:拼音", "off", "on:", "off"}));

    // A new name takes effect at the next focus-in; an unbound field switches nothing.
    service.calls.clear();
    InputMethodBinding::setInputMethodName(&history, QStringLiteral("五笔字型"));
    EXPECT_EQ(InputMethodBinding::inputMethodName(&history), QStringLiteral("五笔字型"));
    sendFocus(&history, QEvent::FocusIn);
    binding.unbind(&history);
    sendFocus(&history, QEvent::FocusOut);
    sendFocus(&history, QEvent::FocusIn);
    EXPECT_EQ(service.calls, QStringList({"on:五笔字型"}));
}

TEST(InputMethodBinding, PopupsMenusAndOtherWindowsDoNotSwitchOff)
{
    struct Case
    {
        const char *name;
        QEvent::Type type;
        Qt::FocusReason reason;
        QStringList expected;
    };
    const QList<Case> cases = {
        {"drop-down opens", QEvent::FocusOut, Qt::PopupFocusReason, {}},
        {"drop-down closes", QEvent::FocusIn, Qt::PopupFocusReason, {}},
        {"menu bar", QEvent::FocusOut, Qt::MenuBarFocusReason, {}},
        {"other window activated", QEvent::FocusOut, Qt::ActiveWindowFocusReason, {}},
        {"window comes back", QEvent::FocusIn, Qt::ActiveWindowFocusReason, {"on:拼音"}},
        {"mouse click away", QEvent::FocusOut, Qt::MouseFocusReason, {"off"}},
        {"tab away", QEvent::FocusOut, Qt::BacktabFocusReason, {"off"}},
        {"program moves focus", QEvent::FocusOut, Qt::OtherFocusReason, {"off"}},
        {"mouse click in", QEvent::FocusIn, Qt::MouseFocusReason, {"on:拼音"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RecordingService service;
        InputMethodBinding binding(&service);
        QLineEdit field;
        InputMethodBinding::setInputMethodName(&field, QStringLiteral("拼音"));
        binding.bind(&field);
        sendFocus(&field, c.type, c.reason);
        EXPECT_EQ(service.calls, c.expected);
    }
}

TEST(InputMethodBinding, WithoutServiceNothingHappens)
{
    InputMethodBinding binding(nullptr);
    QLineEdit field;
    binding.bind(&field);
    sendFocus(&field, QEvent::FocusIn);
    sendFocus(&field, QEvent::FocusOut);
    binding.bind(nullptr);
    binding.unbind(nullptr);
    EXPECT_EQ(InputMethodBinding::inputMethodName(nullptr), QString());
    EXPECT_EQ(InputMethodBinding::inputMethodName(&field), QString());
}

// The kinds of field the main window binds, moving the focus for real.
TEST(InputMethodBinding, RealFocusMovesBetweenEditsMemosAndEditableComboBoxes)
{
    RecordingService service;
    InputMethodBinding binding(&service);
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *edit = new QLineEdit;
    auto *memo = new QTextEdit;
    auto *combo = new QComboBox;
    combo->setEditable(true);
    auto *plain = new QLineEdit; // not a Chinese entry field
    for (QWidget *w : {static_cast<QWidget *>(edit), static_cast<QWidget *>(memo),
                       static_cast<QWidget *>(combo), static_cast<QWidget *>(plain)})
        layout->addWidget(w);
    binding.bind(edit);
    binding.bind(memo);
    binding.bind(combo);
    InputMethodBinding::setInputMethodName(memo, QStringLiteral("拼音"));
    InputMethodBinding::setInputMethodName(combo, QStringLiteral("五笔字型"));
    window.show();
    window.activateWindow();
    QElapsedTimer timer;
    timer.start();
    while (!window.isActiveWindow() && timer.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (!window.isActiveWindow())
        GTEST_SKIP() << "the platform does not activate windows";

    plain->setFocus(Qt::OtherFocusReason);
    QCoreApplication::processEvents();
    service.calls.clear();
    for (QWidget *w : {static_cast<QWidget *>(edit), static_cast<QWidget *>(memo),
                       static_cast<QWidget *>(combo), static_cast<QWidget *>(plain)}) {
        w->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(service.calls, QStringList({"on:", "off", "on:拼音", "off", "on:五笔字型", "off"}));
}
