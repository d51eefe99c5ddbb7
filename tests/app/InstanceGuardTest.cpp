// The single-instance guard, tested with real processes: the test program runs
// itself again as the other instance (the disabled child test below, chosen by an
// environment variable and a test filter).
#include "app/InstanceGuard.h"
#include "records/ScriptedDialogs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QWidget>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

const char *const ChildMode = "QC_GUARD_CHILD";
const char *const ChildServer = "QC_GUARD_SERVER";
const char *const ChildLock = "QC_GUARD_LOCK";
const char *const ChildTimeout = "QC_GUARD_TIMEOUT";

struct ChildResult
{
    int exitCode = -1;
    QString output;
    qint64 pid = 0;
};

// Runs the events of this process until the condition holds or the time is up.
template <typename Condition> bool spinUntil(Condition done, int timeoutMs = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Starts this test program as another instance in the given mode and keeps this
// process's events running (so its guard can answer) until the child has ended.
ChildResult runChild(const QString &mode, const QString &server, const QString &lock, int timeoutMs = 10000)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(ChildMode), mode);
    env.insert(QString::fromLatin1(ChildServer), server);
    env.insert(QString::fromLatin1(ChildLock), lock);
    env.insert(QString::fromLatin1(ChildTimeout), QString::number(timeoutMs));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(),
                  {QStringLiteral("--gtest_also_run_disabled_tests"),
                   QStringLiteral("--gtest_filter=InstanceGuardChild.DISABLED_Run")});
    ChildResult result;
    if (!process.waitForStarted(10000))
        return result;
    result.pid = process.processId();
    spinUntil([&] { return process.state() == QProcess::NotRunning; }, timeoutMs + 20000);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
    result.exitCode = process.exitCode();
    for (const QString &line :
         QString::fromLocal8Bit(process.readAllStandardOutput()).split(QLatin1Char('\n')))
        if (line.startsWith(QStringLiteral("guard:")))
            result.output = line.trimmed();
    return result;
}

class InstanceGuardTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString server() const { return dir.filePath(QStringLiteral("guard.socket")); }
    QString lock() const { return dir.filePath(QStringLiteral("guard.lock")); }
};

} // namespace

// The other instance. It reports what it found on one line starting with "guard:".
TEST(InstanceGuardChild, DISABLED_Run)
{
    const QString mode = qEnvironmentVariable(ChildMode);
    ASSERT_FALSE(mode.isEmpty()) << "run only as the child of InstanceGuardTest";
    InstanceGuard guard(qEnvironmentVariable(ChildServer), qEnvironmentVariable(ChildLock));
    if (mode == QStringLiteral("start")) {
        // The whole start as the program makes it, the error box answered by script.
        ScriptedDialogs dialogs;
        const bool goOn = guard.settleStart(qEnvironmentVariableIntValue(ChildTimeout));
        std::printf("guard: %s%s\n", goOn ? "go on" : "end",
                    qPrintable(dialogs.errors.join(QStringLiteral("|"))));
        std::fflush(stdout);
        return;
    }
    const InstanceGuard::Role role = guard.start();
    if (role == InstanceGuard::Role::First) {
        std::printf("guard: first\n");
        std::fflush(stdout);
        if (mode == QStringLiteral("crash"))
            std::_Exit(0); // ends without unlocking or closing, as a crash would
        if (mode == QStringLiteral("hold"))
            spinUntil([] { return false; }, qEnvironmentVariableIntValue(ChildTimeout));
        return;
    }
    const InstanceGuard::Outcome outcome = guard.waitForAnswer(qEnvironmentVariableIntValue(ChildTimeout));
    if (outcome == InstanceGuard::Outcome::Answered)
        std::printf("guard: second answered %lld\n", static_cast<long long>(guard.answeringIdentity()));
    else
        std::printf("guard: second timed out\n");
    std::fflush(stdout);
}

TEST_F(InstanceGuardTest, SecondInstanceIsAnsweredAndTheFirstComesForward)
{
    InstanceGuard first(server(), lock());
    ASSERT_EQ(first.start(), InstanceGuard::Role::First);
    int forward = 0;
    QObject::connect(&first, &InstanceGuard::comeForwardRequested, [&] { ++forward; });

    const ChildResult child = runChild(QStringLiteral("ask"), server(), lock());
    EXPECT_EQ(child.exitCode, 0);
    EXPECT_EQ(child.output, QStringLiteral("guard: second answered %1").arg(first.identity()));
    EXPECT_EQ(forward, 1);

    // Every later start is answered too, while the first one runs.
    const ChildResult again = runChild(QStringLiteral("ask"), server(), lock());
    EXPECT_EQ(again.output, QStringLiteral("guard: second answered %1").arg(first.identity()));
    EXPECT_EQ(forward, 2);
}

TEST_F(InstanceGuardTest, UnknownMessagesChangeNothingInTheRunningInstance)
{
    InstanceGuard first(server(), lock());
    ASSERT_EQ(first.start(), InstanceGuard::Role::First);
    int forward = 0;
    QObject::connect(&first, &InstanceGuard::comeForwardRequested, [&] { ++forward; });

    QLocalSocket client;
    client.connectToServer(server());
    ASSERT_TRUE(client.waitForConnected(3000));
    const QList<QByteArray> unknown = {
        "0 123\n",
        "3 123\n",
        "-1 5\n",
        "99 5\n",
        "1 123\n", // an "I am" must not make the running instance give way
        "1 0\n",
        "2 0\n", // no identity: nobody to answer
        "2\n",
        "2 x\n",
        "two 5\n",
        "\n",
        "2 5 6\n",
        "2  5\n",
        QByteArray(300, '2') + " 5\n", // far longer than any message
    };
    for (const QByteArray &message : unknown)
        client.write(message);
    client.flush();
    spinUntil([] { return false; }, 300);
    EXPECT_EQ(forward, 0);
    EXPECT_EQ(client.bytesAvailable(), 0);

    // The same connection still works: a real question is answered.
    ASSERT_EQ(client.state(), QLocalSocket::ConnectedState);
    client.write(InstanceGuard::messageText(InstanceGuard::QuestionMessage, 77));
    client.flush();
    ASSERT_TRUE(spinUntil([&] { return client.canReadLine(); }));
    EXPECT_EQ(client.readLine(), InstanceGuard::messageText(InstanceGuard::AnswerMessage, first.identity()));
    EXPECT_EQ(forward, 1);
}

TEST_F(InstanceGuardTest, RunningInstanceDropsALineThatNeverEnds)
{
    InstanceGuard first(server(), lock());
    ASSERT_EQ(first.start(), InstanceGuard::Role::First);
    QLocalSocket client;
    client.connectToServer(server());
    ASSERT_TRUE(client.waitForConnected(3000));
    client.write(QByteArray(4096, '7'));
    client.flush();
    EXPECT_TRUE(spinUntil([&] { return client.state() == QLocalSocket::UnconnectedState; }));
}

// The asking instance against a stand-in for the running one that answers with the given lines.
TEST_F(InstanceGuardTest, AskingInstanceWaitsForAValidAnswer)
{
    struct Case
    {
        const char *name;
        bool listening;
        QByteArray answer;
        QString expected;
    };
    const QList<Case> cases = {
        {"valid answer", true, "1 4242\n", QStringLiteral("guard: second answered 4242")},
        {"invalid answers first", true, "1 0\n0 5\n3 9\nhello\n2 8\n1 4243\n",
         QStringLiteral("guard: second answered 4243")},
        {"only invalid answers", true, "1 0\n0 5\n3 9\n2 8\n", QStringLiteral("guard: second timed out")},
        {"no answer", true, QByteArray(), QStringLiteral("guard: second timed out")},
        {"nobody listening", false, QByteArray(), QStringLiteral("guard: second timed out")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir caseDir;
        const QString caseServer = caseDir.filePath(QStringLiteral("s"));
        QLockFile held(caseDir.filePath(QStringLiteral("l")));
        ASSERT_TRUE(held.tryLock(0));
        QLocalServer standIn;
        QByteArray question;
        if (c.listening) {
            ASSERT_TRUE(standIn.listen(caseServer));
            QObject::connect(&standIn, &QLocalServer::newConnection, [&] {
                QLocalSocket *s = standIn.nextPendingConnection();
                QObject::connect(s, &QLocalSocket::readyRead, [&, s] {
                    if (!s->canReadLine())
                        return;
                    question = s->readLine();
                    s->write(c.answer);
                    s->flush();
                });
            });
        }
        QElapsedTimer timer;
        timer.start();
        const ChildResult child = runChild(QStringLiteral("ask"), caseServer, held.fileName(), 1500);
        EXPECT_EQ(child.output, c.expected);
        if (c.expected.contains(QStringLiteral("timed out"))) {
            EXPECT_GE(timer.elapsed(), 1500);
        }
        if (c.listening) {
            EXPECT_EQ(question, InstanceGuard::messageText(InstanceGuard::QuestionMessage, child.pid));
        }
    }
}

TEST_F(InstanceGuardTest, NextStartIsFirstAfterTheOnlyInstanceEnded)
{
    // Ended normally.
    EXPECT_EQ(runChild(QStringLiteral("end"), server(), lock()).output, QStringLiteral("guard: first"));
    EXPECT_FALSE(QFile::exists(lock()));
    {
        InstanceGuard next(server(), lock());
        EXPECT_EQ(next.start(), InstanceGuard::Role::First);
    }

    // Died holding the lock: the lock and the socket file are left behind, and still
    // the next start is first and answers the one after it.
    EXPECT_EQ(runChild(QStringLiteral("crash"), server(), lock()).output, QStringLiteral("guard: first"));
    EXPECT_TRUE(QFile::exists(lock()));
    InstanceGuard next(server(), lock());
    ASSERT_EQ(next.start(), InstanceGuard::Role::First);
    int forward = 0;
    QObject::connect(&next, &InstanceGuard::comeForwardRequested, [&] { ++forward; });
    EXPECT_EQ(runChild(QStringLiteral("ask"), server(), lock()).output,
              QStringLiteral("guard: second answered %1").arg(next.identity()));
    EXPECT_EQ(forward, 1);
}

TEST_F(InstanceGuardTest, SecondInstanceInTheSameProcessIsRefusedTheLock)
{
    InstanceGuard first(server(), lock());
    ASSERT_EQ(first.start(), InstanceGuard::Role::First);
    InstanceGuard second(server(), lock());
    EXPECT_EQ(second.start(), InstanceGuard::Role::Second);
    // A first instance never waits.
    EXPECT_EQ(first.waitForAnswer(5000), InstanceGuard::Outcome::TimedOut);
}

TEST(InstanceGuardNames, MessagesReadBackAndOddLinesAreRefused)
{
    int number = 0;
    qint64 identity = 0;
    ASSERT_TRUE(
        InstanceGuard::parseMessage(InstanceGuard::messageText(2, 1234567890123), &number, &identity));
    EXPECT_EQ(number, 2);
    EXPECT_EQ(identity, 1234567890123);
    for (const QByteArray &odd : {QByteArray(""), QByteArray("2"), QByteArray("2 "), QByteArray(" 2"),
                                  QByteArray("2 5 6"), QByteArray("a 5"), QByteArray("2 5x")})
        EXPECT_FALSE(InstanceGuard::parseMessage(odd, &number, &identity)) << odd.constData();
}

TEST(InstanceGuardNames, DefaultNamesCarryTheGuidAndTheUser)
{
    const QString server = InstanceGuard::defaultServerName();
    const QString lock = InstanceGuard::defaultLockPath();
    EXPECT_TRUE(server.contains(QStringLiteral("{2BE6D96E-827F-4BF9-B33E-8740412CDE96}-")));
    EXPECT_TRUE(lock.contains(QStringLiteral("{2BE6D96E-827F-4BF9-B33E-8740412CDE96}-")));
    EXPECT_NE(server, lock);
    EXPECT_TRUE(lock.startsWith(QLatin1Char('/')));
}

TEST(InstanceGuardWindow, BringForwardRestoresAMinimisedWindow)
{
    QWidget window;
    window.resize(200, 100);
    window.show();
    window.setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(window.isMinimized());
    InstanceGuard::bringForward(&window);
    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(window.isVisible());

    // Not minimised: it stays as it is and comes to the front.
    window.setWindowState(Qt::WindowMaximized);
    InstanceGuard::bringForward(&window);
    EXPECT_TRUE(window.windowState() & Qt::WindowMaximized);
    EXPECT_FALSE(window.isMinimized());
}

// Lock files that nobody holds must not keep a start from running: it takes the lock over
// at once and runs as the first instance.
TEST_F(InstanceGuardTest, ALockFileNobodyHoldsIsTakenOver)
{
    // A process that has ended: its number names nobody.
    QProcess gone;
    gone.start(QStringLiteral("true"));
    gone.waitForFinished();
    const qint64 deadPid = gone.processId() > 0 ? gone.processId() : 999999;

    const std::pair<const char *, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"junk", QByteArray("\x01\x02 not a lock file at all\n\xff")},
        {"another host", "4242\nquillcase\nward-pc-17.example\n"},
        {"this host, process gone",
         QByteArray::number(deadPid) + "\nquillcase\n" + QSysInfo::machineHostName().toUtf8() + "\n"},
    };
    for (const auto &[name, content] : cases) {
        SCOPED_TRACE(name);
        QFile file(lock());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        QElapsedTimer timer;
        timer.start();
        const ChildResult child = runChild(QStringLiteral("start"), server(), lock(), 3000);
        EXPECT_EQ(child.output, QStringLiteral("guard: go on"));
        EXPECT_LT(timer.elapsed(), 2500);    // no waiting for an answer that cannot come
        EXPECT_FALSE(QFile::exists(lock())); // the child held it and let it go at its end
    }
}

// A running instance that holds the lock but does not answer (stopped here by a signal):
// the new start says so and ends, without a window.
TEST_F(InstanceGuardTest, AnInstanceThatDoesNotAnswerIsReportedAndTheStartEnds)
{
    QProcess holder;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(ChildMode), QStringLiteral("hold"));
    env.insert(QString::fromLatin1(ChildServer), server());
    env.insert(QString::fromLatin1(ChildLock), lock());
    env.insert(QString::fromLatin1(ChildTimeout), QStringLiteral("30000"));
    holder.setProcessEnvironment(env);
    holder.start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--gtest_also_run_disabled_tests"),
                  QStringLiteral("--gtest_filter=InstanceGuardChild.DISABLED_Run")});
    ASSERT_TRUE(holder.waitForStarted(10000));
    QByteArray said;
    ASSERT_TRUE(spinUntil(
        [&] {
            said += holder.readAllStandardOutput();
            return said.contains("guard: first");
        },
        10000));

    // Answering, it sends the new start away quietly.
    EXPECT_EQ(runChild(QStringLiteral("start"), server(), lock(), 3000).output, QStringLiteral("guard: end"));

    ::kill(pid_t(holder.processId()), SIGSTOP);
    QElapsedTimer timer;
    timer.start();
    const ChildResult child = runChild(QStringLiteral("start"), server(), lock(), 1500);
    EXPECT_EQ(child.output, QStringLiteral("guard: end") + InstanceGuard::notRespondingMessage());
    EXPECT_GE(timer.elapsed(), 1500);
    ::kill(pid_t(holder.processId()), SIGCONT);
    holder.kill();
    holder.waitForFinished();
}

TEST_F(InstanceGuardTest, AConnectionThatSendsNothingIsClosed)
{
    InstanceGuard first(server(), lock());
    first.setIdleTimeout(300);
    ASSERT_EQ(first.start(), InstanceGuard::Role::First);
    QLocalSocket silent;
    silent.connectToServer(server());
    ASSERT_TRUE(silent.waitForConnected(3000));
    EXPECT_TRUE(spinUntil([&] { return silent.state() == QLocalSocket::UnconnectedState; }, 3000));

    // The default is a few seconds.
    InstanceGuard other(server() + QStringLiteral("2"), lock() + QStringLiteral("2"));
    ASSERT_EQ(other.start(), InstanceGuard::Role::First);
    QLocalSocket slow;
    slow.connectToServer(other.serverName());
    ASSERT_TRUE(slow.waitForConnected(3000));
    EXPECT_FALSE(spinUntil([&] { return slow.state() == QLocalSocket::UnconnectedState; }, 1000));
    EXPECT_TRUE(spinUntil([&] { return slow.state() == QLocalSocket::UnconnectedState; }, 5000));
}
