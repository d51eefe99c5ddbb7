#include "options/InputMethodIBus.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>

namespace {

constexpr int CallTimeoutMs = 2000;
constexpr int AddressTimeoutMs = 2000;

const QString ConfigService = QStringLiteral("org.freedesktop.IBus.Config");
const QString ConfigPath = QStringLiteral("/org/freedesktop/IBus/Config");
const QString ConnectionName = QStringLiteral("quillcase-ibus");

struct Engine
{
    QString name;
    QString longName;
    QString language;
};

bool isLayout(const QString &engine)
{
    return engine.startsWith(QStringLiteral("xkb:"));
}

// One serialized engine description: ("IBusEngineDesc", attachments, name, long name,
// description, language, ...). Only the first fields are read.
std::optional<Engine> readEngine(const QVariant &value)
{
    if (!value.canConvert<QDBusArgument>())
        return std::nullopt;
    const QDBusArgument argument = value.value<QDBusArgument>();
    if (argument.currentType() != QDBusArgument::StructureType)
        return std::nullopt;
    QString typeName;
    QVariantMap attachments;
    Engine engine;
    QString description;
    argument.beginStructure();
    argument >> typeName >> attachments >> engine.name >> engine.longName >> description >> engine.language;
    argument.endStructure();
    if (engine.name.isEmpty())
        return std::nullopt;
    return engine;
}

QList<Engine> readEngines(const QDBusMessage &reply)
{
    QList<Engine> engines;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty() ||
        !reply.arguments().constFirst().canConvert<QDBusArgument>())
        return engines;
    const QDBusArgument list = reply.arguments().constFirst().value<QDBusArgument>();
    if (list.currentType() != QDBusArgument::ArrayType)
        return engines;
    list.beginArray();
    while (!list.atEnd()) {
        QDBusVariant item;
        list >> item;
        if (const auto engine = readEngine(item.variant()))
            engines.append(*engine);
    }
    list.endArray();
    return engines;
}

} // namespace

const QString InputMethodIBus::ServiceName = QStringLiteral("org.freedesktop.IBus");
const QString InputMethodIBus::ObjectPath = QStringLiteral("/org/freedesktop/IBus");
const QString InputMethodIBus::Interface = QStringLiteral("org.freedesktop.IBus");
const QString InputMethodIBus::DefaultLayout = QStringLiteral("xkb:us::eng");

InputMethodIBus::InputMethodIBus(const QDBusConnection &bus) : m_bus(bus) {}

QString InputMethodIBus::busAddress()
{
    const QString fromEnvironment = qEnvironmentVariable("IBUS_ADDRESS");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    const QString program = QStandardPaths::findExecutable(QStringLiteral("ibus"));
    if (program.isEmpty())
        return {};
    QProcess process;
    process.start(program, {QStringLiteral("address")});
    if (!process.waitForFinished(AddressTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    const QString address = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 ||
        address == QStringLiteral("(null)"))
        return {};
    return address;
}

std::unique_ptr<InputMethodIBus> InputMethodIBus::connect(const QString &address)
{
    if (address.isEmpty())
        return nullptr;
    auto service = connect(QDBusConnection::connectToBus(address, ConnectionName));
    if (!service)
        QDBusConnection::disconnectFromBus(ConnectionName);
    return service;
}

std::unique_ptr<InputMethodIBus> InputMethodIBus::connect(const QDBusConnection &bus)
{
    if (!bus.isConnected() || !bus.interface())
        return nullptr;
    if (!bus.interface()->isServiceRegistered(ServiceName).value())
        return nullptr;
    return std::make_unique<InputMethodIBus>(bus);
}

QStringList InputMethodIBus::inputMethods()
{
    load();
    return m_catalog ? m_catalog->names() : QStringList();
}

void InputMethodIBus::activate(const QString &name)
{
    loadForSwitching();
    if (name.isEmpty()) {
        if (!m_chineseEngine.isEmpty())
            setEngine(m_chineseEngine);
        return;
    }
    const QString id = m_catalog ? m_catalog->idFor(name) : QString();
    setEngine(id.isEmpty() ? m_defaultEngine : id);
}

void InputMethodIBus::deactivate()
{
    loadForSwitching();
    setEngine(m_defaultEngine);
}

QString InputMethodIBus::defaultEngine()
{
    load();
    return m_defaultEngine;
}

QString InputMethodIBus::chineseEngine()
{
    load();
    return m_chineseEngine;
}

void InputMethodIBus::loadForSwitching()
{
    // A focus change must not wait for a daemon that failed to answer before; only the
    // input-method list asks it again.
    if (!m_catalog && !m_loadFailed)
        m_loadFailed = !load();
}

bool InputMethodIBus::load()
{
    if (m_catalog)
        return true;
    const QDBusMessage listed = call(ServiceName, ObjectPath, Interface, QStringLiteral("ListEngines"));
    if (listed.type() != QDBusMessage::ReplyMessage)
        return false; // ask again next time rather than keep nothing for the whole run
    QHash<QString, Engine> known;
    QStringList order;
    for (const Engine &engine : readEngines(listed)) {
        if (!known.contains(engine.name))
            order.append(engine.name);
        known.insert(engine.name, engine);
    }

    // The user's own list, when the settings service answers.
    QStringList chosen;
    const QDBusMessage preload = call(ConfigService, ConfigPath, ConfigService, QStringLiteral("GetValue"),
                                      {QStringLiteral("general"), QStringLiteral("preload-engines")});
    if (preload.type() == QDBusMessage::ReplyMessage && !preload.arguments().isEmpty())
        chosen = preload.arguments().constFirst().value<QDBusVariant>().variant().toStringList();
    if (chosen.isEmpty()) {
        for (const QString &name : order)
            if (!isLayout(name))
                chosen.append(name);
    }

    m_defaultEngine = DefaultLayout;
    for (const QString &name : chosen) {
        if (isLayout(name)) {
            m_defaultEngine = name;
            break;
        }
    }
    if (!chosen.contains(m_defaultEngine))
        chosen.prepend(m_defaultEngine);

    m_chineseEngine.clear();
    for (const QString &name : chosen) {
        if (!isLayout(name) && m_chineseEngine.isEmpty())
            m_chineseEngine = name;
        if (!isLayout(name) && known.value(name).language.startsWith(QStringLiteral("zh"))) {
            m_chineseEngine = name;
            break;
        }
    }

    QList<InputMethodEntry> entries;
    for (const QString &name : chosen)
        entries.append({name, known.value(name).longName});
    m_catalog.emplace(entries);
    return true;
}

QDBusMessage InputMethodIBus::call(const QString &service, const QString &path, const QString &interface,
                                   const QString &method, const QVariantList &arguments) const
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    message.setAutoStartService(false);
    return m_bus.call(message, QDBus::Block, CallTimeoutMs);
}

void InputMethodIBus::setEngine(const QString &engine) const
{
    QDBusMessage message =
        QDBusMessage::createMethodCall(ServiceName, ObjectPath, Interface, QStringLiteral("SetGlobalEngine"));
    message.setArguments({engine});
    message.setAutoStartService(false);
    m_bus.send(message);
}
