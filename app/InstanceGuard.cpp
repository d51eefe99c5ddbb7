#include "app/InstanceGuard.h"

#include "records/Dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QSysInfo>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The name every instance of the program agrees on.
const QString GuardName = QStringLiteral("{2BE6D96E-827F-4BF9-B33E-8740412CDE96}");

// No message of the exchange is longer than this; a longer line is not ours.
constexpr qsizetype MaxLine = 64;
// Unread text without a line end beyond this is dropped with its connection.
constexpr qsizetype MaxPending = 1024;

// Unix socket paths are limited to about 108 bytes.
constexpr qsizetype MaxSocketPath = 100;

QString userName()
{
    if (const passwd *entry = getpwuid(geteuid()); entry && entry->pw_name && *entry->pw_name)
        return QString::fromLocal8Bit(entry->pw_name);
    return QString::number(geteuid());
}

// The user's own runtime folder (owner-only), or the temporary folder when there is none.
QString guardFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder;
}

QString baseName()
{
    return GuardName + QLatin1Char('-') + userName();
}

} // namespace

InstanceGuard::InstanceGuard(QObject *parent) : InstanceGuard(defaultServerName(), defaultLockPath(), parent)
{}

InstanceGuard::InstanceGuard(const QString &serverName, const QString &lockPath, QObject *parent)
    : QObject(parent), m_serverName(serverName), m_lockPath(lockPath),
      m_identity(QCoreApplication::applicationPid())
{}

InstanceGuard::~InstanceGuard()
{
    // Closing the server removes its socket file; the lock file goes with the unlock,
    // so the next start is a first start again.
    if (m_server)
        m_server->close();
    if (m_lock && m_lock->isLocked())
        m_lock->unlock();
}

QString InstanceGuard::defaultServerName()
{
    const QString path = guardFolder() + QLatin1Char('/') + baseName() + QStringLiteral(".socket");
    // A bare name puts the socket into the temporary folder, which still works when the
    // runtime folder's path is too long for a socket address.
    if (path.toLocal8Bit().size() > MaxSocketPath)
        return baseName();
    return path;
}

QString InstanceGuard::defaultLockPath()
{
    return guardFolder() + QLatin1Char('/') + baseName() + QStringLiteral(".lock");
}

InstanceGuard::Role InstanceGuard::start()
{
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    // Only a dead owner makes the lock stale, never its age: the first instance may run
    // for days.
    m_lock->setStaleLockTime(0);
    // A second try after taking over a lock that nobody holds.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (m_lock->tryLock(0)) {
            m_role = Role::First;
            listen();
            return m_role;
        }
        if (m_lock->error() != QLockFile::LockFailedError)
            break;
        if (lockHeldByLiveProcess(m_lockPath)) {
            m_role = Role::Second;
            return m_role;
        }
        // An empty lock file, one holding junk, naming another host or a process that is
        // gone: nobody holds it, so it must not keep this start from running.
        removeAbandonedLock(m_lockPath);
    }
    // The lock file can be neither made nor read: carry on as the only instance.
    m_lock.reset();
    m_role = Role::First;
    listen();
    return m_role;
}

bool InstanceGuard::lockHeldByLiveProcess(const QString &lockPath)
{
    const int fd = ::open(QFile::encodeName(lockPath).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false; // gone meanwhile: the next try takes it
    // The running instance keeps an exclusive lock on the open lock file for its whole life;
    // the system drops it when that process ends, however it ends.
    const int error = ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
    ::close(fd);
    const bool held = error == EWOULDBLOCK;
    const bool supported = error != ENOLCK && error != EINVAL && error != EOPNOTSUPP;
    if (supported)
        return held;
    // No such locks on this file system: trust a named live process of this host.
    qint64 pid = 0;
    QString host, application;
    QLockFile probe(lockPath);
    if (!probe.getLockInfo(&pid, &host, &application))
        return false;
    if (!host.isEmpty() && host != QSysInfo::machineHostName())
        return false;
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

void InstanceGuard::removeAbandonedLock(const QString &lockPath)
{
    const QByteArray name = QFile::encodeName(lockPath);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    // Holding the lock ourselves while removing, and only the very file that was looked at:
    // another start may have made a new lock file meanwhile, and that one stays.
    struct stat opened, named;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0 &&
        ::stat(name.constData(), &named) == 0 && opened.st_dev == named.st_dev &&
        opened.st_ino == named.st_ino)
        ::unlink(name.constData());
    ::close(fd);
}

bool InstanceGuard::settleStart(int waitMs)
{
    if (start() == Role::First)
        return true;
    if (waitForAnswer(waitMs) == Outcome::TimedOut)
        Dialogs::current().error(notRespondingMessage());
    return false;
}

QString InstanceGuard::notRespondingMessage()
{
    return QStringLiteral("Quillcase 已在运行，但没有响应……");
}

void InstanceGuard::setIdleTimeout(int timeoutMs)
{
    m_idleTimeoutMs = timeoutMs;
}

bool InstanceGuard::listen()
{
    auto *server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    // Holding the lock means no other instance listens: a socket file left behind by a
    // crashed instance can go. Without the lock we must not take another one's socket.
    if (m_lock && m_lock->isLocked())
        QLocalServer::removeServer(m_serverName);
    if (!server->listen(m_serverName)) {
        delete server;
        return false;
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &InstanceGuard::acceptConnections);
    return true;
}

void InstanceGuard::acceptConnections()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readQuestions(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // An asker is answered at once and goes; a connection still open after a while only
        // holds a slot of the server.
        QTimer::singleShot(m_idleTimeoutMs, socket, [socket] { socket->abort(); });
        readQuestions(socket);
    }
}

void InstanceGuard::readQuestions(QLocalSocket *socket)
{
    while (socket->canReadLine()) {
        const QByteArray line = socket->readLine();
        int number = 0;
        qint64 asker = 0;
        if (line.size() > MaxLine || !parseMessage(line, &number, &asker))
            continue;
        // Only a question with an asker is answered; in particular an "I am" reaching the
        // running instance must not make it give way.
        if (number != QuestionMessage || asker == 0)
            continue;
        socket->write(messageText(AnswerMessage, m_identity));
        socket->flush();
        emit comeForwardRequested();
    }
    // A line that never ends is not a message of ours; do not let it fill the memory.
    if (socket->bytesAvailable() > MaxPending)
        socket->abort();
}

InstanceGuard::Outcome InstanceGuard::waitForAnswer(int timeoutMs)
{
    if (m_role != Role::Second)
        return Outcome::TimedOut;
    QElapsedTimer timer;
    timer.start();
    const auto remaining = [&] { return int(std::max<qint64>(0, timeoutMs - timer.elapsed())); };

    QLocalSocket socket;
    while (remaining() > 0) {
        while (socket.canReadLine()) {
            int number = 0;
            qint64 answerer = 0;
            const QByteArray line = socket.readLine();
            if (line.size() <= MaxLine && parseMessage(line, &number, &answerer) && number == AnswerMessage &&
                answerer != 0) {
                m_answeringIdentity = answerer;
                return Outcome::Answered;
            }
        }
        if (socket.bytesAvailable() > MaxPending)
            socket.abort();

        if (socket.state() != QLocalSocket::ConnectedState) {
            // The running instance may not listen yet (it has just taken the lock), or it
            // dropped the connection: ask again shortly, until the time is up.
            socket.abort();
            socket.connectToServer(m_serverName);
            if (!socket.waitForConnected(std::min(remaining(), 1000))) {
                QThread::msleep(std::min(remaining(), 100));
                continue;
            }
            socket.write(messageText(QuestionMessage, m_identity));
            socket.flush();
        }
        if (!socket.canReadLine())
            socket.waitForReadyRead(std::min(remaining(), 200));
        if (socket.state() != QLocalSocket::ConnectedState && !socket.canReadLine())
            QThread::msleep(std::min(remaining(), 100));
    }
    return Outcome::TimedOut;
}

QByteArray InstanceGuard::messageText(int number, qint64 identity)
{
    return QByteArray::number(number) + ' ' + QByteArray::number(identity) + '\n';
}

bool InstanceGuard::parseMessage(const QByteArray &line, int *number, qint64 *identity)
{
    QByteArray body = line;
    if (body.endsWith('\n'))
        body.chop(1);
    const QList<QByteArray> fields = body.split(' ');
    if (fields.size() != 2 || fields[0].isEmpty() || fields[1].isEmpty())
        return false;
    bool numberOk = false;
    bool identityOk = false;
    const int n = fields[0].toInt(&numberOk);
    const qint64 id = fields[1].toLongLong(&identityOk);
    if (!numberOk || !identityOk)
        return false;
    *number = n;
    *identity = id;
    return true;
}

void InstanceGuard::bringForward(QWidget *window)
{
    if (!window)
        return;
    if (window->isMinimized()) {
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->show();
        return;
    }
    window->raise();
    window->activateWindow();
}
