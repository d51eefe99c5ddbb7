// Two desktops of one ward as two processes: this test's windows, and a second copy of the
// program's windows in a child process with its own data folder, signed in as another
// doctor and driven line by line through its standard input.
#include "WardFixture.h"
#include "text/Error.h"

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QProcess>

#include <poll.h>
#include <unistd.h>

namespace {

constexpr char DesktopConnection[] = "QC_WARD_DESKTOP_CONNECTION";
constexpr char Reply[] = "desktop: ";

// The second desktop, seen from this process.
class OtherDesktop
{
public:
    explicit OtherDesktop(const QString &connection)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(DesktopConnection), connection);
        env.remove(QStringLiteral("QUILLCASE_SERVER"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--gtest_also_run_disabled_tests"),
                         QStringLiteral("--gtest_filter=WardDesktopChild.DISABLED_Run")});
    }
    ~OtherDesktop()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.write("quit\n");
            if (!m_process.waitForFinished(10000))
                m_process.kill();
            m_process.waitForFinished();
        }
    }

    // The child's next reply; this process's events run meanwhile, so its own windows
    // keep hearing the server.
    QString reply(int timeoutMs = 30000)
    {
        const bool answered = QTest::qWaitFor(
            [&] {
                m_output += m_process.readAllStandardOutput();
                return nextReply().has_value() || m_process.state() == QProcess::NotRunning;
            },
            timeoutMs);
        const std::optional<QString> line = nextReply(true);
        if (!answered || !line)
            return QStringLiteral("(no reply)");
        return *line;
    }
    QString ask(const QString &command)
    {
        m_process.write(command.toUtf8() + "\n");
        return reply();
    }

private:
    // The first complete reply line in the output, taken out of it when `take` is set.
    std::optional<QString> nextReply(bool take = false)
    {
        qsizetype start = 0;
        while (true) {
            const qsizetype end = m_output.indexOf('\n', start);
            if (end < 0)
                return std::nullopt;
            const QByteArray line = m_output.mid(start, end - start);
            if (line.startsWith(Reply)) {
                if (take)
                    m_output.remove(0, end + 1);
                return QString::fromUtf8(line.mid(int(sizeof(Reply)) - 1));
            }
            start = end + 1;
        }
    }

    QProcess m_process;
    QByteArray m_output;
};

class TwoDesktops : public WardFixture
{
protected:
    QLineEdit *box(const char *objectName) const { return find<QLineEdit>(QString::fromLatin1(objectName)); }
    // Replaces a box's text as the doctor would, by selecting it and typing.
    void retype(const char *objectName, const QString &text) const
    {
        QLineEdit *edit = box(objectName);
        edit->setFocus();
        edit->selectAll();
        type(edit, text);
    }
};

// The stale post is refused on this desktop with the other doctor's name, every typed text
// stays, Cancel brings the other doctor's version; records each desktop adds show on the
// other's list without disturbing the record being written.
TEST_F(TwoDesktops, StalePostIsRefusedAndEachListFollowsTheOther)
{
    addServerRecords({{{"Bed", "5"}, {"Name", "甲"}, {"ID", "1001"}}});
    start();
    ASSERT_EQ(session()->rowCount(), 1);
    retype("DBEdit2", QStringLiteral("王写的"));
    ASSERT_EQ(session()->state(), RecordSession::State::Edit);

    OtherDesktop other(ward->connectionString(ward->addDoctor(QStringLiteral("张医生"))));
    ASSERT_EQ(other.reply(), "ready 1");
    EXPECT_EQ(other.ask("bed 5"), "ok");
    EXPECT_EQ(other.ask("type DBEdit2 张改的"), "ok");
    EXPECT_EQ(other.ask("save"), "ok");
    EXPECT_EQ(other.ask("new 9 丙"), "ok");

    // The other desktop's new record reaches this list within two seconds.
    ASSERT_TRUE(QTest::qWaitFor([&] { return session()->rowCount() == 2; }, 2000));
    EXPECT_EQ(session()->state(), RecordSession::State::Edit);
    EXPECT_EQ(session()->currentRow(), 0);
    EXPECT_EQ(box("DBEdit2")->text(), "王写的");

    form1()->menuItem(QStringLiteral("N4"))->trigger();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].startsWith("该病历已被 张医生 于 ")) << dialogs.errors[0].toStdString();
    EXPECT_TRUE(dialogs.errors[0].contains(" 修改并保存，本次修改未保存。")) << dialogs.errors[0].toStdString();
    EXPECT_EQ(session()->state(), RecordSession::State::Edit);
    EXPECT_EQ(box("DBEdit2")->text(), "王写的");
    EXPECT_EQ(box("DBEdit5")->text(), "1001");

    session()->cancel();
    EXPECT_EQ(box("DBEdit2")->text(), "张改的");

    // And the other way: a record stored here shows on the other desktop.
    session()->append();
    session()->fill("Bed", "3");
    session()->fill("Name", "王收的");
    session()->post();
    EXPECT_EQ(other.ask("rows 3"), "ok");
    EXPECT_EQ(other.ask("name-at 0"), "王收的");
}

// The child's side: the program's windows over the server named in the environment, in a
// data folder of its own, answering one line for each command it reads.
class WardDesktopChild : public AppFixture
{
protected:
    static void say(const QString &text)
    {
        const QByteArray line = Reply + text.toUtf8() + "\n";
        ::write(STDOUT_FILENO, line.constData(), size_t(line.size()));
    }
    // The next command line, running the windows' events while waiting for it.
    static std::optional<QString> readCommand(QByteArray &pending)
    {
        while (true) {
            const qsizetype end = pending.indexOf('\n');
            if (end >= 0) {
                const QString line = QString::fromUtf8(pending.left(end));
                pending.remove(0, end + 1);
                return line;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            pollfd input{STDIN_FILENO, POLLIN, 0};
            if (::poll(&input, 1, 20) > 0) {
                char buffer[4096];
                const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
                if (got <= 0)
                    return std::nullopt;
                pending.append(buffer, got);
            }
        }
    }
    QString run(const QStringList &words)
    {
        const QString command = words.value(0);
        if (command == "bed")
            return session()->locateBed(words.value(1)) ? "ok" : "no such bed";
        if (command == "type") {
            auto *edit = find<QLineEdit>(words.value(1));
            if (!edit)
                return "no such box";
            edit->setFocus();
            edit->selectAll();
            type(edit, words.value(2));
            return "ok";
        }
        if (command == "save") {
            dialogs.errors.clear();
            form1()->menuItem(QStringLiteral("N4"))->trigger();
            return dialogs.errors.isEmpty() ? QStringLiteral("ok") : dialogs.errors.join(" | ");
        }
        if (command == "new") {
            session()->append();
            session()->fill("Bed", words.value(1));
            session()->fill("Name", words.value(2));
            session()->post();
            return "ok";
        }
        if (command == "rows") {
            const int rows = words.value(1).toInt();
            return QTest::qWaitFor([&] { return session()->rowCount() == rows; }, 2000)
                       ? QStringLiteral("ok")
                       : QStringLiteral("rows %1").arg(session()->rowCount());
        }
        if (command == "name-at")
            return session()->listValue(words.value(1).toInt(), 2);
        return "unknown command";
    }
};

TEST_F(WardDesktopChild, DISABLED_Run)
{
    const QString connection = qEnvironmentVariable(DesktopConnection);
    ASSERT_FALSE(connection.isEmpty()) << "run only as the child of TwoDesktops";
    QFile conf(dataFolder() + QStringLiteral("quillcase.conf"));
    ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
    conf.write("[server]\nconnection=" + connection.toUtf8() + "\n");
    conf.close();
    start();
    say(QStringLiteral("ready %1").arg(session()->rowCount()));
    QByteArray pending;
    while (const std::optional<QString> line = readCommand(pending)) {
        if (*line == "quit")
            break;
        const QStringList words = line->split(QLatin1Char(' '));
        QString answer;
        try {
            answer = run(words);
        } catch (const Error &error) {
            answer = QStringLiteral("error ") + error.message();
        }
        say(answer);
    }
}

} // namespace
