// The input-method services against stand-ins for fcitx5 and IBus on a private bus,
// and detection without any bus.
#include "options/InputMethodService.h"
#include "FakeBus.h"
#include "QtPrinters.h"
#include "options/InputMethodFcitx5.h"
#include "options/InputMethodIBus.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

// fcitx5's group entry "(ss)": input method and keyboard layout.
struct GroupItem
{
    QString id;
    QString layout;
};

// fcitx5's description of an input method "(ssssssb)".
struct FcitxEntry
{
    QString id;
    QString name;
    QString nativeName;
    QString icon;
    QString label;
    QString language;
    bool configurable = false;
};

// IBus's serialized engine description, with more fields than the service reads.
struct IBusEngine
{
    QString name;
    QString longName;
    QString language;
};

} // namespace

Q_DECLARE_METATYPE(GroupItem)
Q_DECLARE_METATYPE(FcitxEntry)
Q_DECLARE_METATYPE(IBusEngine)

QDBusArgument &operator<<(QDBusArgument &a, const GroupItem &v)
{
    a.beginStructure();
    a << v.id << v.layout;
    a.endStructure();
    return a;
}
const QDBusArgument &operator>>(const QDBusArgument &a, GroupItem &v)
{
    a.beginStructure();
    a >> v.id >> v.layout;
    a.endStructure();
    return a;
}
QDBusArgument &operator<<(QDBusArgument &a, const FcitxEntry &v)
{
    a.beginStructure();
    a << v.id << v.name << v.nativeName << v.icon << v.label << v.language << v.configurable;
    a.endStructure();
    return a;
}
const QDBusArgument &operator>>(const QDBusArgument &a, FcitxEntry &v)
{
    a.beginStructure();
    a >> v.id >> v.name >> v.nativeName >> v.icon >> v.label >> v.language >> v.configurable;
    a.endStructure();
    return a;
}
QDBusArgument &operator<<(QDBusArgument &a, const IBusEngine &v)
{
    a.beginStructure();
    a << QStringLiteral("IBusEngineDesc") << QVariantMap() << v.name << v.longName
      << QStringLiteral("description") << v.language << QStringLiteral("GPL") << QStringLiteral("author")
      << QStringLiteral("icon") << QStringLiteral("us") << 0u;
    a.endStructure();
    return a;
}
const QDBusArgument &operator>>(const QDBusArgument &a, IBusEngine &v)
{
    QString skip;
    QVariantMap attachments;
    a.beginStructure();
    a >> skip >> attachments >> v.name >> v.longName >> skip >> v.language;
    a.endStructure();
    return a;
}

namespace {

void registerTypes()
{
    qDBusRegisterMetaType<GroupItem>();
    qDBusRegisterMetaType<QList<GroupItem>>();
    qDBusRegisterMetaType<FcitxEntry>();
    qDBusRegisterMetaType<QList<FcitxEntry>>();
    qDBusRegisterMetaType<IBusEngine>();
    qDBusRegisterMetaType<QList<QDBusVariant>>();
}

QList<GroupItem> items(const QStringList &ids)
{
    QList<GroupItem> list;
    for (const QString &id : ids)
        list.append({id, QString()});
    return list;
}

// Two groups as a user may have them; "keyboard-de" has no description.
void serveFcitx(FakeObject *controller)
{
    controller->handle(QStringLiteral("InputMethodGroups"), [](const QDBusMessage &) {
        return QVariantList{QStringList{QStringLiteral("Default"), QStringLiteral("Other")}};
    });
    controller->handle(QStringLiteral("InputMethodGroupInfo"), [](const QDBusMessage &m) {
        const QString group = m.arguments().value(0).toString();
        const QList<GroupItem> list =
            group == QStringLiteral("Default")
                ? items({QStringLiteral("keyboard-us"), QStringLiteral("pinyin")})
                : items({QStringLiteral("pinyin"), QStringLiteral("wbx"), QStringLiteral("keyboard-de")});
        return QVariantList{QStringLiteral("us"), QVariant::fromValue(list)};
    });
    controller->handle(QStringLiteral("AvailableInputMethods"), [](const QDBusMessage &) {
        const QList<FcitxEntry> list = {
            {QStringLiteral("keyboard-us"),
             QStringLiteral("Keyboard - English (US)"),
             {},
             {},
             {},
             "en",
             false},
            {QStringLiteral("pinyin"), QStringLiteral("拼音"), {}, {}, {}, "zh_CN", true},
            {QStringLiteral("wbx"), QStringLiteral("五笔字型"), {}, {}, {}, "zh_CN", true},
            {QStringLiteral("rime"), QStringLiteral("中州韵"), {}, {}, {}, "zh", true}, // in no group
        };
        return QVariantList{QVariant::fromValue(list)};
    });
    for (const char *member : {"Activate", "Deactivate", "SetCurrentIM"})
        controller->handle(QString::fromLatin1(member), [](const QDBusMessage &) { return QVariantList(); });
}

void serveIBus(FakeObject *daemon)
{
    daemon->handle(QStringLiteral("ListEngines"), [](const QDBusMessage &) {
        const QList<IBusEngine> engines = {
            {QStringLiteral("xkb:us::eng"), QStringLiteral("English (US)"), QStringLiteral("en")},
            {QStringLiteral("anthy"), QStringLiteral("Anthy"), QStringLiteral("ja")},
            {QStringLiteral("libpinyin"), QStringLiteral("Intelligent Pinyin"), QStringLiteral("zh_CN")},
            {QStringLiteral("xkb:de::ger"), QStringLiteral("German"), QStringLiteral("de")},
        };
        QList<QDBusVariant> list;
        for (const IBusEngine &engine : engines)
            list.append(QDBusVariant(QVariant::fromValue(engine)));
        return QVariantList{QVariant::fromValue(list)};
    });
    daemon->handle(QStringLiteral("SetGlobalEngine"), [](const QDBusMessage &) { return QVariantList(); });
}

class InputMethodServiceBus : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { registerTypes(); }
    void SetUp() override
    {
        if (bus.address().isEmpty())
            GTEST_SKIP() << "dbus-daemon is not available";
    }
    // The connection of the program under test.
    QDBusConnection client()
    {
        return QDBusConnection::connectToBus(bus.address(), QStringLiteral("client-%1").arg(++clients));
    }
    void TearDown() override
    {
        for (int i = 1; i <= clients; ++i)
            QDBusConnection::disconnectFromBus(QStringLiteral("client-%1").arg(i));
    }

    PrivateBus bus;
    int clients = 0;
};

} // namespace

TEST_F(InputMethodServiceBus, Fcitx5ListsTheGroupsInputMethodsByName)
{
    FakeParty fcitx(bus.address(), QStringLiteral("fake-fcitx"));
    FakeObject *controller = fcitx.serve(InputMethodFcitx5::ObjectPath);
    serveFcitx(controller);
    ASSERT_TRUE(fcitx.own(InputMethodFcitx5::ServiceName));

    const std::unique_ptr<InputMethodService> service = InputMethodService::detect(client(), QString());
    ASSERT_EQ(service->kind(), QStringLiteral("fcitx5"));
    const QStringList expected = {"Keyboard - English (US)", "keyboard-de", "五笔字型", "拼音"};
    EXPECT_EQ(service->inputMethods(), expected);
    // Read once per run: the second request gives the same without asking again.
    const qsizetype asked = controller->log().size();
    EXPECT_EQ(service->inputMethods(), expected);
    EXPECT_EQ(controller->log().size(), asked);
}

TEST_F(InputMethodServiceBus, Fcitx5SwitchesByNameIdOrToTheKeyboardLayout)
{
    FakeParty fcitx(bus.address(), QStringLiteral("fake-fcitx"));
    FakeObject *controller = fcitx.serve(InputMethodFcitx5::ObjectPath);
    serveFcitx(controller);
    ASSERT_TRUE(fcitx.own(InputMethodFcitx5::ServiceName));
    InputMethodFcitx5 service(client());
    service.inputMethods();
    controller->clearLog();

    service.activate(QStringLiteral("拼音"));
    service.deactivate();
    service.activate(QStringLiteral("wbx"));      // by id
    service.activate(QString());                  // no name: just switch on
    service.activate(QStringLiteral("没有这个")); // nobody has it: the keyboard layout
    service.activate(QStringLiteral("中州韵"));   // known to fcitx5 but in no group of the user
    EXPECT_EQ(controller->waitForLog(6), QStringList({"SetCurrentIM:pinyin", "Deactivate", "SetCurrentIM:wbx",
                                                      "Activate", "Deactivate", "Deactivate"}));
}

TEST_F(InputMethodServiceBus, Fcitx5ThatDoesNotAnswerOffersNothingAndAsksAgainLater)
{
    FakeParty fcitx(bus.address(), QStringLiteral("fake-fcitx"));
    FakeObject *controller = fcitx.serve(InputMethodFcitx5::ObjectPath); // no handlers: every call fails
    ASSERT_TRUE(fcitx.own(InputMethodFcitx5::ServiceName));
    InputMethodFcitx5 service(client());
    EXPECT_TRUE(service.inputMethods().isEmpty());
    service.activate(QStringLiteral("拼音")); // does not ask for the list again
    EXPECT_EQ(controller->waitForLog(2), QStringList({"InputMethodGroups", "Deactivate"}));

    serveFcitx(controller); // handlers are read on the object's thread; it is idle now
    EXPECT_EQ(service.inputMethods().size(), 4);
}

TEST_F(InputMethodServiceBus, IBusOffersTheUsersEnginesAndSwitchesEngines)
{
    struct Case
    {
        const char *name;
        bool withSettings;
        QStringList expected;
    };
    const QList<Case> cases = {
        {"user's list", true, {"English (US)", "German", "Intelligent Pinyin"}},
        {"no settings service", false, {"Anthy", "English (US)", "Intelligent Pinyin"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeParty ibus(bus.address(), QStringLiteral("fake-ibus"));
        FakeObject *daemon = ibus.serve(InputMethodIBus::ObjectPath);
        serveIBus(daemon);
        ASSERT_TRUE(ibus.own(InputMethodIBus::ServiceName));
        if (c.withSettings) {
            FakeObject *settings = ibus.serve(QStringLiteral("/org/freedesktop/IBus/Config"));
            settings->handle(QStringLiteral("GetValue"), [](const QDBusMessage &m) {
                if (m.arguments().value(1).toString() != QStringLiteral("preload-engines"))
                    return QVariantList{QVariant::fromValue(QDBusVariant(QString()))};
                const QStringList preload = {"xkb:de::ger", "libpinyin", "xkb:us::eng"};
                return QVariantList{QVariant::fromValue(QDBusVariant(preload))};
            });
            ASSERT_TRUE(ibus.own(QStringLiteral("org.freedesktop.IBus.Config")));
        }

        const std::unique_ptr<InputMethodIBus> service = InputMethodIBus::connect(client());
        ASSERT_TRUE(service);
        EXPECT_EQ(service->inputMethods(), c.expected);
        const QString layout = c.withSettings ? QStringLiteral("xkb:de::ger") : QStringLiteral("xkb:us::eng");
        EXPECT_EQ(service->defaultEngine(), layout);
        EXPECT_EQ(service->chineseEngine(), QStringLiteral("libpinyin"));

        daemon->clearLog();
        service->activate(QStringLiteral("Intelligent Pinyin"));
        service->deactivate();
        service->activate(QString());
        service->activate(QStringLiteral("没有这个"));
        EXPECT_EQ(daemon->waitForLog(4),
                  QStringList({"SetGlobalEngine:libpinyin", "SetGlobalEngine:" + layout,
                               "SetGlobalEngine:libpinyin", "SetGlobalEngine:" + layout}));
    }
}

TEST_F(InputMethodServiceBus, DetectFindsIBusAtItsAddressAndNothingOnAnEmptyBus)
{
    const QDBusConnection noBus =
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("nobus"));
    EXPECT_EQ(InputMethodService::detect(client(), QString())->kind(), QStringLiteral("none"));
    EXPECT_EQ(InputMethodService::detect(noBus, bus.address())->kind(), QStringLiteral("none"));
    {
        FakeParty ibus(bus.address(), QStringLiteral("fake-ibus"));
        serveIBus(ibus.serve(InputMethodIBus::ObjectPath));
        ASSERT_TRUE(ibus.own(InputMethodIBus::ServiceName));
        EXPECT_EQ(InputMethodService::detect(noBus, bus.address())->kind(), QStringLiteral("ibus"));
        QDBusConnection::disconnectFromBus(QStringLiteral("quillcase-ibus"));
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("nobus"));
}

TEST(InputMethodServiceDetect, NoBusGivesTheNullService)
{
    const QDBusConnection noBus =
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("nobus"));
    ASSERT_FALSE(noBus.isConnected());
    for (const QString &ibus :
         {QString(), QStringLiteral("unix:path=/nonexistent/ibus"), QStringLiteral("nonsense")}) {
        const std::unique_ptr<InputMethodService> service = InputMethodService::detect(noBus, ibus);
        ASSERT_TRUE(service);
        EXPECT_EQ(service->kind(), QStringLiteral("none"));
        EXPECT_TRUE(service->inputMethods().isEmpty());
        service->activate(QStringLiteral("拼音"));
        service->deactivate();
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("nobus"));
}

// detect() itself reads the session from the environment; a child run of this program
// gets an environment without a usable session bus.
TEST(InputMethodServiceDetectChild, DISABLED_Run)
{
    std::printf("detected: %s\n", qPrintable(InputMethodService::detect()->kind()));
    std::fflush(stdout);
}

TEST(InputMethodServiceDetect, NoSessionBusInTheEnvironmentGivesTheNullService)
{
    QTemporaryDir runtime; // an empty runtime folder: no bus socket to fall back on
    struct Case
    {
        const char *name;
        QString sessionAddress; // empty: unset
    };
    const QList<Case> cases = {{"unset", QString()},
                               {"dead address", QStringLiteral("unix:path=/nonexistent/session-bus")}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY", "IBUS_ADDRESS"})
            env.remove(QString::fromLatin1(name));
        if (!c.sessionAddress.isEmpty())
            env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), c.sessionAddress);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("IBUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent/ibus"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess child;
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_also_run_disabled_tests"),
                     QStringLiteral("--gtest_filter=InputMethodServiceDetectChild.DISABLED_Run")});
        ASSERT_TRUE(child.waitForFinished(30000));
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(child.exitCode(), 0);
        EXPECT_TRUE(child.readAllStandardOutput().contains("detected: none\n"));
    }
}
