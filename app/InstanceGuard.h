#pragma once
#include <QByteArray>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QWidget;

// Keeps the program to one running instance per user.
//
// The first instance holds a lock file and listens on a local socket. A later
// instance finds the lock held, asks the running one "who is running" (message 2
// with its own identity) and waits for the answer "I am" (message 1 with the
// answering instance's identity). The running instance answers every such
// question and comes forward; the asking instance then ends without ever showing
// a window. Any other message, or an answer with a zero identity, changes nothing.
//
// A message is one line of text: the message number, one blank, the identity
// (a decimal process id), a line feed.
class InstanceGuard : public QObject
{
    Q_OBJECT
public:
    enum class Role { First, Second };
    enum class Outcome { Answered, TimedOut };

    // The message numbers of the exchange.
    static constexpr int AnswerMessage = 1;   // "I am", carries the running instance's identity
    static constexpr int QuestionMessage = 2; // "who is running", carries the asker's identity

    // Uses the per-user names below.
    explicit InstanceGuard(QObject *parent = nullptr);
    // Uses the given names; tests put both into a temporary folder.
    InstanceGuard(const QString &serverName, const QString &lockPath, QObject *parent = nullptr);
    ~InstanceGuard() override;

    // The local-socket name and lock file of the current user: both lie in the user's
    // runtime folder and are named from the instance GUID and the user name.
    static QString defaultServerName();
    static QString defaultLockPath();

    // Decides whether this is the first instance. The first instance starts
    // answering questions at once; a second one has to call waitForAnswer().
    // Only a live process holding the lock makes this a second instance: a lock file
    // that nobody holds (empty, junk, naming another host or a process that is gone) is
    // taken over. When the lock file can be neither taken nor tested the instance
    // behaves as the first one, without answering anybody.
    Role start();
    // The whole decision at start: true when this start goes on as the first instance.
    // False when it must end: the running instance answered (and comes forward), or it
    // did not answer within waitMs, which the error box says (notRespondingMessage()).
    bool settleStart(int waitMs = 5000);
    static QString notRespondingMessage();
    // How long a connection to the running instance may stay open (default 3 s).
    void setIdleTimeout(int timeoutMs);
    Role role() const { return m_role; }

    // Second instance only: asks the running instance who it is and waits until
    // its answer came (Answered) or the time is up (TimedOut). An answer that is
    // not a valid "I am" is ignored and the waiting goes on.
    Outcome waitForAnswer(int timeoutMs = 10000);

    // This instance's identity as sent in its messages (never zero).
    qint64 identity() const { return m_identity; }
    // The identity the running instance answered with; 0 until an answer came.
    qint64 answeringIdentity() const { return m_answeringIdentity; }
    QString serverName() const { return m_serverName; }
    QString lockPath() const { return m_lockPath; }

    // One message as it travels, and its reading. parseMessage() returns false for
    // anything that is not "<number> <identity>".
    static QByteArray messageText(int number, qint64 identity);
    static bool parseMessage(const QByteArray &line, int *number, qint64 *identity);

    // What the application does on comeForwardRequested(): restore the window when it
    // is minimised, otherwise raise and activate it.
    static void bringForward(QWidget *window);

signals:
    // The first instance was asked "who is running": its main window should come forward.
    void comeForwardRequested();

private:
    static bool lockHeldByLiveProcess(const QString &lockPath);
    static void removeAbandonedLock(const QString &lockPath);
    void acceptConnections();
    void readQuestions(QLocalSocket *socket);
    bool listen();

    QString m_serverName;
    QString m_lockPath;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
    Role m_role = Role::First;
    qint64 m_identity = 0;
    qint64 m_answeringIdentity = 0;
    int m_idleTimeoutMs = 3000;
};
