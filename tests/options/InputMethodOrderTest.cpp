// Per-field input methods against a stand-in for fcitx5 that keeps one input state
// per window, as Qt's fcitx5 input context makes one input context per window, and
// applies the controller's switches to the input context that last took the focus.
// A stand-in for that input context tells it about focus changes over a connection of
// its own, at the point where Qt tells the real one: after the fields' focus events.
#include "FakeBus.h"
#include "QtPrinters.h"
#include "options/InputMethodBinding.h"
#include "options/InputMethodFcitx5.h"

#include <QApplication>
#include <QLineEdit>
#include <QMutex>
#include <QPlainTextEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// fcitx5's view: which input context has the focus and each one's state.
struct FcitxState
{
    mutable QMutex mutex;
    QString focused;                // input context last focused in
    QMap<QString, QString> current; // input context -> "pinyin" or "keyboard"
    QStringList events;             // what fcitx5 was told, in order, for failure messages

    QString of(const QString &ic) const
    {
        QMutexLocker lock(&mutex);
        return current.value(ic, QStringLiteral("keyboard"));
    }
    void set(const QString &value)
    {
        QMutexLocker lock(&mutex);
        events << focused + QLatin1Char('=') + value;
        if (!focused.isEmpty())
            current[focused] = value;
    }
};

void serveFcitx(FakeObject *controller, FcitxState &state)
{
    controller->handle("InputMethodGroups", [](const QDBusMessage &) { return QVariantList{QStringList{"Default"}}; });
    controller->handle("InputMethodGroupInfo", [](const QDBusMessage &) { return QVariantList(); });
    controller->handle("AvailableInputMethods", [](const QDBusMessage &) { return QVariantList(); });
    controller->handle("SetCurrentIM", [&state](const QDBusMessage &m) {
        state.set(m.arguments().value(0).toString());
        return QVariantList();
    });
    controller->handle("Activate", [&state](const QDBusMessage &) {
        state.set("pinyin");
        return QVariantList();
    });
    controller->handle("Deactivate", [&state](const QDBusMessage &) {
        state.set("keyboard");
        return QVariantList();
    });
    controller->handle("Ping", [](const QDBusMessage &) { return QVariantList(); });
}

void serveInputContexts(FakeObject *contexts, FcitxState &state)
{
    contexts->handle("FocusIn", [&state](const QDBusMessage &m) {
        QMutexLocker lock(&state.mutex);
        state.focused = m.arguments().value(0).toString();
        state.events << QStringLiteral("focus:") + state.focused;
        return QVariantList();
    });
    contexts->handle("FocusOut", [](const QDBusMessage &) { return QVariantList(); });
}

// Qt's input context for fcitx5: told of each new focus object before the rest of
// the program, it moves fcitx5's focus to the window's input context. A window's
// first input context exists only after a round trip, so its first focus-in comes
// later (firstFocusDelayMs).
class FrontendStandIn : public QObject
{
public:
    FrontendStandIn(const QString &address, int firstFocusDelayMs)
        : m_bus(QDBusConnection::connectToBus(address, QStringLiteral("frontend"))), m_delay(firstFocusDelayMs)
    {
        // Connected before the binding, so called before it, as the platform's input
        // context is told before the signal is emitted.
        connect(qGuiApp, &QGuiApplication::focusObjectChanged, this, [this](QObject *object) {
            auto *widget = qobject_cast<QWidget *>(object);
            const QString ic = widget ? widget->window()->objectName() : QString();
            if (!m_last.isEmpty())
                call("FocusOut", m_last);
            m_last = ic;
            if (ic.isEmpty())
                return;
            if (m_known.contains(ic)) {
                call("FocusIn", ic);
            } else {
                m_known << ic;
                QTimer::singleShot(m_delay, this, [this, ic] {
                    if (m_last == ic)
                        call("FocusIn", ic);
                });
            }
        });
    }
    ~FrontendStandIn() override { QDBusConnection::disconnectFromBus(QStringLiteral("frontend")); }

private:
    // Waits for the answer, so that what it says has reached fcitx5 before anything
    // the program sends afterwards.
    void call(const char *member, const QString &ic)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(InputMethodFcitx5::ServiceName, "/inputcontext",
                                                              "org.fcitx.Fcitx.InputContext1", member);
        message.setArguments({ic});
        m_bus.call(message);
    }

    QDBusConnection m_bus;
    int m_delay;
    QString m_last;
    QStringList m_known;
};

class InputMethodOrder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (m_bus.address().isEmpty())
            GTEST_SKIP() << "dbus-daemon is not available";
        m_fcitx = std::make_unique<FakeParty>(m_bus.address(), QStringLiteral("fake-fcitx5"));
        serveFcitx(m_fcitx->serve(InputMethodFcitx5::ObjectPath), m_state);
        serveInputContexts(m_fcitx->serve("/inputcontext"), m_state);
        ASSERT_TRUE(m_fcitx->own(InputMethodFcitx5::ServiceName));
        m_client = QDBusConnection::connectToBus(m_bus.address(), QStringLiteral("program"));
    }
    void TearDown() override
    {
        m_fcitx.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("program"));
    }

    // Lets the program's queued switches arrive: its connection keeps their order, so
    // a call answered after them was handled after them.
    void settle(int ms = 0)
    {
        QElapsedTimer timer;
        timer.start();
        do
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        while (timer.elapsed() < ms);
        m_client.call(QDBusMessage::createMethodCall(InputMethodFcitx5::ServiceName, InputMethodFcitx5::ObjectPath,
                                                     InputMethodFcitx5::Interface, "Ping"));
    }

    std::string log() const
    {
        QMutexLocker lock(&m_state.mutex);
        return m_state.events.join(QLatin1Char(' ')).toStdString();
    }

    static bool activate(QWidget *window)
    {
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window);
        QElapsedTimer timer;
        timer.start();
        while (!window->isActiveWindow() && timer.elapsed() < 3000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        return window->isActiveWindow();
    }

    PrivateBus m_bus;
    FcitxState m_state;
    std::unique_ptr<FakeParty> m_fcitx;
    QDBusConnection m_client{QString()};
};

} // namespace

TEST_F(InputMethodOrder, TheFieldThatTakesTheFocusGetsItsInputMethodAtOnce)
{
    // The main window: name and memo type Chinese, age and admission number do not; a
    // builder window in front of it has no Chinese field.
    QWidget main;
    main.setObjectName("main");
    auto *layout = new QVBoxLayout(&main);
    auto *name = new QLineEdit;
    auto *age = new QLineEdit;
    auto *number = new QLineEdit;
    auto *memo = new QPlainTextEdit;
    for (QWidget *w : std::initializer_list<QWidget *>{name, age, number, memo})
        layout->addWidget(w);
    QWidget builder;
    builder.setObjectName("builder");
    auto *entry = new QLineEdit(&builder);

    FrontendStandIn frontend(m_bus.address(), 40);
    InputMethodFcitx5 service(m_client);
    service.setConfirmDelay(InputMethodFcitx5::ConfirmDelayMs);
    InputMethodBinding binding(&service);
    for (QWidget *field : {static_cast<QWidget *>(name), static_cast<QWidget *>(memo)}) {
        binding.bind(field);
        InputMethodBinding::setInputMethodName(field, QString()); // switch on: pinyin
    }
    if (!activate(&main))
        GTEST_SKIP() << "the platform does not activate windows";

    struct Step
    {
        const char *what;
        std::function<void()> act;
        const char *window;
        const char *expected;
        bool atOnce = true; // false while the window's first input context is being made
    };
    const std::vector<Step> steps = {
        {"into the name", [&] { name->setFocus(Qt::TabFocusReason); }, "main", "pinyin", false},
        {"on to the age", [&] { age->setFocus(Qt::TabFocusReason); }, "main", "keyboard"},
        {"on to the admission number", [&] { number->setFocus(Qt::TabFocusReason); }, "main", "keyboard"},
        {"into the memo", [&] { memo->setFocus(Qt::TabFocusReason); }, "main", "pinyin"},
        {"back to the name", [&] { name->setFocus(Qt::BacktabFocusReason); }, "main", "pinyin"},
        {"a builder opens in front",
         [&] {
             activate(&builder);
             entry->setFocus(Qt::OtherFocusReason);
         },
         "builder", "keyboard", false},
        {"the builder closes", [&] { builder.hide(); activate(&main); }, "main", "pinyin"},
        {"into the age", [&] { age->setFocus(Qt::MouseFocusReason); }, "main", "keyboard"},
        {"back into the memo", [&] { memo->setFocus(Qt::MouseFocusReason); }, "main", "pinyin"},
        // The switch for the memo on the way back must not have landed in the builder.
        {"the builder opens again",
         [&] {
             activate(&builder);
             entry->setFocus(Qt::OtherFocusReason);
         },
         "builder", "keyboard"},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        // What the switch sent at once achieved, and what stands once fcitx5 has heard
        // every focus change (the builder's first input context comes late).
        settle();
        if (step.atOnce)
            EXPECT_EQ(m_state.of(step.window), QString(step.expected)) << "at once " << log();
        settle(3 * InputMethodFcitx5::ConfirmDelayMs);
        EXPECT_EQ(m_state.of(step.window), QString(step.expected)) << "in the end " << log();
        // The window being left keeps what it had: its field switches again on return.
    }
}
