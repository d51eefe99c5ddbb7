#include "options/InputMethodFcitx5.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QHash>

namespace {

// Long enough for a busy switcher, short enough that a hung one does not freeze the
// Options dialog for long.
constexpr int CallTimeoutMs = 2000;

// Reads an array of structures whose first fields are strings ("a(ss)",
// "a(ssssssb)"), keeping the first `count` strings of each.
QList<QStringList> readStringStructs(const QVariant &value, int count)
{
    QList<QStringList> rows;
    if (!value.canConvert<QDBusArgument>())
        return rows;
    const QDBusArgument argument = value.value<QDBusArgument>();
    if (argument.currentType() != QDBusArgument::ArrayType)
        return rows;
    argument.beginArray();
    while (!argument.atEnd()) {
        QStringList row;
        argument.beginStructure();
        for (int i = 0; i < count && !argument.atEnd(); ++i) {
            QString field;
            argument >> field;
            row.append(field);
        }
        argument.endStructure();
        rows.append(row);
    }
    argument.endArray();
    return rows;
}

} // namespace

const QString InputMethodFcitx5::ServiceName = QStringLiteral("org.fcitx.Fcitx5");
const QString InputMethodFcitx5::ObjectPath = QStringLiteral("/controller");
const QString InputMethodFcitx5::Interface = QStringLiteral("org.fcitx.Fcitx.Controller1");

InputMethodFcitx5::InputMethodFcitx5(const QDBusConnection &bus) : m_bus(bus)
{
    m_confirm.setSingleShot(true);
    QObject::connect(&m_confirm, &QTimer::timeout, [this] {
        // Not once another program has the focus: fcitx5 would switch that one.
        if (QGuiApplication::focusWindow())
            send(m_lastMethod, m_lastArguments);
    });
}

std::unique_ptr<InputMethodFcitx5> InputMethodFcitx5::connect(const QDBusConnection &bus)
{
    if (!bus.isConnected() || !bus.interface())
        return nullptr;
    if (!bus.interface()->isServiceRegistered(ServiceName).value())
        return nullptr;
    return std::make_unique<InputMethodFcitx5>(bus);
}

QStringList InputMethodFcitx5::inputMethods()
{
    m_listFailed = false;
    return catalog().names();
}

void InputMethodFcitx5::activate(const QString &name)
{
    if (name.isEmpty()) {
        sendSwitch(QStringLiteral("Activate"));
        return;
    }
    // A focus change must not wait for a controller that failed to answer before; only
    // the input-method list asks it again.
    const QString id = m_listFailed ? QString() : catalog().idFor(name);
    if (id.isEmpty())
        sendSwitch(QStringLiteral("Deactivate")); // fcitx5's inactive state is the group's keyboard layout
    else
        sendSwitch(QStringLiteral("SetCurrentIM"), {id});
}

void InputMethodFcitx5::deactivate()
{
    sendSwitch(QStringLiteral("Deactivate"));
}

void InputMethodFcitx5::sendSwitch(const QString &method, const QVariantList &arguments)
{
    send(method, arguments);
    // Only the last switch is sent again: it is the state the focused field wants.
    m_lastMethod = method;
    m_lastArguments = arguments;
    if (m_confirmDelayMs > 0)
        m_confirm.start(m_confirmDelayMs);
}

const InputMethodCatalog &InputMethodFcitx5::catalog()
{
    if (m_catalog)
        return *m_catalog;

    // Every input method of every group, in the groups' order.
    const QDBusMessage groupsReply = call(QStringLiteral("InputMethodGroups"));
    if (groupsReply.type() != QDBusMessage::ReplyMessage || groupsReply.arguments().isEmpty()) {
        // fcitx5 did not answer: nothing to offer now, and ask again next time rather
        // than keep an empty list for the whole run.
        static const InputMethodCatalog none;
        m_listFailed = true;
        return none;
    }
    const QStringList groups = groupsReply.arguments().constFirst().toStringList();
    QStringList ids;
    for (const QString &group : groups) {
        const QDBusMessage info = call(QStringLiteral("InputMethodGroupInfo"), {group});
        if (info.type() != QDBusMessage::ReplyMessage || info.arguments().size() < 2)
            continue;
        for (const QStringList &item : readStringStructs(info.arguments().at(1), 1))
            if (!item.isEmpty())
                ids.append(item.constFirst());
    }

    // Their names as fcitx5 shows them.
    QHash<QString, QString> names;
    const QDBusMessage available = call(QStringLiteral("AvailableInputMethods"));
    if (available.type() == QDBusMessage::ReplyMessage && !available.arguments().isEmpty())
        for (const QStringList &item : readStringStructs(available.arguments().constFirst(), 2))
            if (item.size() == 2)
                names.insert(item[0], item[1]);

    QList<InputMethodEntry> entries;
    for (const QString &id : ids)
        entries.append({id, names.value(id)});
    m_catalog.emplace(entries);
    m_listFailed = false;
    return *m_catalog;
}

QDBusMessage InputMethodFcitx5::call(const QString &method, const QVariantList &arguments) const
{
    QDBusMessage message = QDBusMessage::createMethodCall(ServiceName, ObjectPath, Interface, method);
    message.setArguments(arguments);
    message.setAutoStartService(false);
    return m_bus.call(message, QDBus::Block, CallTimeoutMs);
}

void InputMethodFcitx5::send(const QString &method, const QVariantList &arguments) const
{
    // Switching must not hold up the focus change; the calls keep their order on the
    // one connection, so a focus-out followed by a focus-in ends as the focus-in asks.
    QDBusMessage message = QDBusMessage::createMethodCall(ServiceName, ObjectPath, Interface, method);
    message.setArguments(arguments);
    message.setAutoStartService(false);
    m_bus.send(message);
}
