// Per-field input methods with a real fcitx5 and Qt's fcitx5 input context: a child
// run of this program on a virtual X display with a session bus of its own starts
// fcitx5 with a keyboard layout and pinyin, moves the focus through fields with and
// without an input method and across a second window, and asks fcitx5 after each step
// which state the focused window's input context is in.
#include "QtPrinters.h"
#include "options/InputMethodBinding.h"
#include "options/InputMethodFcitx5.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

const char *const profile = R"([Groups/0]
Name=Default
Default Layout=us
DefaultIM=pinyin

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=pinyin
Layout=

[GroupOrder]
0=Default
)";

void wait(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

QDBusMessage controller(const char *member)
{
    QDBusMessage message = QDBusMessage::createMethodCall(InputMethodFcitx5::ServiceName, InputMethodFcitx5::ObjectPath,
                                                          InputMethodFcitx5::Interface, member);
    return QDBusConnection::sessionBus().call(message, QDBus::Block, 3000);
}

// fcitx5's state of the input context it last saw focused: 2 is an input method on.
QString fcitxState()
{
    const QDBusMessage reply = controller("State");
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return QStringLiteral("no answer");
    return reply.arguments().constFirst().toInt() == 2 ? QStringLiteral("pinyin") : QStringLiteral("keyboard");
}

bool activate(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
    QElapsedTimer timer;
    timer.start();
    while (!window->isActiveWindow() && timer.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return window->isActiveWindow();
}

} // namespace

TEST(RealFcitx5Child, DISABLED_Run)
{
    QProcess fcitx;
    fcitx.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    fcitx.setStandardOutputFile(QProcess::nullDevice());
    fcitx.start(QStringLiteral("fcitx5"), {QStringLiteral("--disable=notificationitem,kimpanel,clipboard,xim,wayland,"
                                                           "waylandim,ibusfrontend,fcitx4frontend,spell,emoji")});
    QElapsedTimer timer;
    timer.start();
    QDBusConnectionInterface *bus = QDBusConnection::sessionBus().interface();
    while (bus && !bus->isServiceRegistered(InputMethodFcitx5::ServiceName).value() && timer.elapsed() < 15000)
        wait(100);
    if (!bus || !bus->isServiceRegistered(InputMethodFcitx5::ServiceName).value()) {
        std::printf("skip: fcitx5 did not come up on the session bus\n");
        return;
    }

    QWidget main;
    main.setWindowTitle("main");
    auto *layout = new QVBoxLayout(&main);
    auto *name = new QLineEdit;
    auto *age = new QLineEdit;
    auto *number = new QLineEdit;
    auto *memo = new QPlainTextEdit;
    for (QWidget *w : std::initializer_list<QWidget *>{name, age, number, memo})
        layout->addWidget(w);
    QWidget builder;
    builder.setWindowTitle("builder");
    auto *entry = new QLineEdit(&builder);
    builder.move(400, 0);

    InputMethodFcitx5 service(QDBusConnection::sessionBus());
    InputMethodBinding binding(&service);
    for (QWidget *field : {static_cast<QWidget *>(name), static_cast<QWidget *>(memo)}) {
        binding.bind(field);
        InputMethodBinding::setInputMethodName(field, QStringLiteral("pinyin"));
    }
    ASSERT_TRUE(activate(&main)) << "the window does not become active";
    wait(500); // the window's input context is made

    struct Step
    {
        const char *what;
        std::function<void()> act;
        const char *expected;
    };
    const std::vector<Step> steps = {
        {"into the name", [&] { name->setFocus(Qt::TabFocusReason); }, "pinyin"},
        {"on to the age", [&] { age->setFocus(Qt::TabFocusReason); }, "keyboard"},
        {"on to the admission number", [&] { number->setFocus(Qt::TabFocusReason); }, "keyboard"},
        {"into the memo", [&] { memo->setFocus(Qt::TabFocusReason); }, "pinyin"},
        {"back to the name", [&] { name->setFocus(Qt::BacktabFocusReason); }, "pinyin"},
        {"on to the age again", [&] { age->setFocus(Qt::TabFocusReason); }, "keyboard"},
        {"into the memo again", [&] { memo->setFocus(Qt::MouseFocusReason); }, "pinyin"},
        {"a builder opens in front",
         [&] {
             activate(&builder);
             entry->setFocus(Qt::OtherFocusReason);
         },
         "keyboard"},
        {"the builder closes",
         [&] {
             builder.hide();
             activate(&main);
         },
         "pinyin"},
        {"into the name after the builder", [&] { name->setFocus(Qt::MouseFocusReason); }, "pinyin"},
        {"on to the age after the builder", [&] { age->setFocus(Qt::TabFocusReason); }, "keyboard"},
        {"the builder opens again",
         [&] {
             activate(&builder);
             entry->setFocus(Qt::OtherFocusReason);
         },
         "keyboard"},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        wait(3 * InputMethodFcitx5::ConfirmDelayMs);
        EXPECT_EQ(fcitxState(), QString::fromLatin1(step.expected));
    }
    std::printf("real fcitx5: ran\n");
    std::fflush(stdout);
    fcitx.terminate();
    if (!fcitx.waitForFinished(3000))
        fcitx.kill();
}

TEST(RealFcitx5, FocusedFieldGetsItsInputMethod)
{
    QStringList missing;
    for (const char *program : {"xvfb-run", "dbus-run-session", "fcitx5", "xauth"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty())
            missing << QString::fromLatin1(program);
    const QString plugin = QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                           QStringLiteral("/platforminputcontexts/libfcitx5platforminputcontextplugin.so");
    if (!QFile::exists(plugin))
        missing << QStringLiteral("fcitx5-frontend-qt6");
    if (!QFile::exists(QStringLiteral("/usr/share/fcitx5/addon/pinyin.conf")))
        missing << QStringLiteral("fcitx5-chinese-addons");
    if (!missing.isEmpty())
        GTEST_SKIP() << "a real fcitx5 needs " << missing.join(", ").toStdString();

    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    QDir(home.path()).mkpath("config/fcitx5");
    QDir(home.path()).mkpath("data");
    QDir(home.path()).mkpath("cache");
    QDir(home.path()).mkpath("runtime");
    QFile::setPermissions(home.filePath("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile file(home.filePath("config/fcitx5/profile"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(profile);
    file.close();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY", "XMODIFIERS", "GTK_IM_MODULE"})
        env.remove(QString::fromLatin1(name));
    env.insert("XDG_CONFIG_HOME", home.filePath("config"));
    env.insert("XDG_DATA_HOME", home.filePath("data"));
    env.insert("XDG_CACHE_HOME", home.filePath("cache"));
    env.insert("XDG_RUNTIME_DIR", home.filePath("runtime"));
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("QT_IM_MODULE", "fcitx");
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start("xvfb-run", {"-a", "-s", "-screen 0 1366x768x24", "dbus-run-session", "--",
                             QCoreApplication::applicationFilePath(), "--gtest_also_run_disabled_tests",
                             "--gtest_filter=RealFcitx5Child.DISABLED_Run"});
    ASSERT_TRUE(child.waitForFinished(90000)) << "the child run did not end within 90 s";
    const QString output = QString::fromLocal8Bit(child.readAll());
    const qsizetype skipAt = output.indexOf("skip: ");
    if (skipAt >= 0)
        GTEST_SKIP() << output.mid(skipAt, output.indexOf('\n', skipAt) - skipAt).toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("real fcitx5: ran")) << output.toStdString();
}
