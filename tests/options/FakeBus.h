// A private D-Bus bus for the input-method tests, and stand-ins for the switchers'
// objects on it. The stand-ins answer on a thread of their own, so that the code
// under test may wait for their answers on the main thread.
#pragma once
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QMap>
#include <QMutex>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QThread>
#include <functional>
#include <memory>

// One dbus-daemon of our own; address() is empty when it could not be started.
class PrivateBus
{
public:
    PrivateBus()
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (program.isEmpty())
            return;
        m_daemon.start(program, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                 QStringLiteral("--print-address")});
        if (!m_daemon.waitForStarted(5000))
            return;
        QElapsedTimer timer;
        timer.start();
        while (!m_daemon.canReadLine() && timer.elapsed() < 5000)
            m_daemon.waitForReadyRead(100);
        m_address = QString::fromLocal8Bit(m_daemon.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.terminate();
            if (!m_daemon.waitForFinished(3000)) {
                m_daemon.kill();
                m_daemon.waitForFinished();
            }
        }
    }
    QString address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
};

// An object on the bus that logs every call ("Member" or "Member:arg,arg") and answers
// with what the handler for that member returns; members without a handler get an error.
class FakeObject : public QDBusVirtualObject
{
public:
    using Handler = std::function<QVariantList(const QDBusMessage &)>;

    void handle(const QString &member, Handler handler) { m_handlers.insert(member, std::move(handler)); }

    QStringList log() const
    {
        QMutexLocker lock(&m_mutex);
        return m_log;
    }
    void clearLog()
    {
        QMutexLocker lock(&m_mutex);
        m_log.clear();
    }
    // Waits until `count` calls were logged (the switching calls do not wait for answers).
    QStringList waitForLog(qsizetype count, int timeoutMs = 5000) const
    {
        QElapsedTimer timer;
        timer.start();
        while (log().size() < count && timer.elapsed() < timeoutMs)
            QThread::msleep(10);
        return log();
    }

    QString introspect(const QString &) const override { return {}; }
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        QStringList arguments;
        for (const QVariant &argument : message.arguments())
            arguments.append(argument.toString());
        {
            QMutexLocker lock(&m_mutex);
            m_log.append(arguments.isEmpty()
                             ? message.member()
                             : message.member() + QLatin1Char(':') + arguments.join(QLatin1Char(',')));
        }
        const auto handler = m_handlers.constFind(message.member());
        if (handler == m_handlers.constEnd()) {
            connection.send(message.createErrorReply(QDBusError::UnknownMethod, message.member()));
            return true;
        }
        connection.send(message.createReply((*handler)(message)));
        return true;
    }

private:
    QMap<QString, Handler> m_handlers;
    mutable QMutex m_mutex;
    QStringList m_log;
};

// A process-like party on the private bus: its own connection, the service names it
// owns and the objects it serves, answered on its own thread.
class FakeParty
{
public:
    FakeParty(const QString &address, const QString &connectionName)
        : m_name(connectionName), m_connection(QDBusConnection::connectToBus(address, connectionName))
    {
        m_thread.start();
    }
    ~FakeParty()
    {
        for (const QString &path : m_paths)
            m_connection.unregisterObject(path);
        for (const QString &service : m_services)
            m_connection.unregisterService(service);
        m_thread.quit();
        m_thread.wait();
        m_objects.clear();
        QDBusConnection::disconnectFromBus(m_name);
    }
    bool isConnected() const { return m_connection.isConnected(); }

    bool own(const QString &service)
    {
        m_services.append(service);
        return m_connection.registerService(service);
    }
    FakeObject *serve(const QString &path)
    {
        auto object = std::make_unique<FakeObject>();
        object->moveToThread(&m_thread);
        m_connection.registerVirtualObject(path, object.get());
        m_paths.append(path);
        m_objects.push_back(std::move(object));
        return m_objects.back().get();
    }

private:
    QString m_name;
    QDBusConnection m_connection;
    QThread m_thread;
    QStringList m_services;
    QStringList m_paths;
    std::vector<std::unique_ptr<FakeObject>> m_objects;
};
