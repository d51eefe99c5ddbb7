#include "WardFixture.h"
#include "app/StoreAtStart.h"
#include "text/Error.h"

namespace {

// A doctor whose role gives a password: the test cluster asks members of
// quillcase_password_login for one over TCP.
class SignIn : public WardFixture
{
protected:
    QString role;
    const QString secret = QStringLiteral("正确的-pass'word");

    void SetUp() override
    {
        WardFixture::SetUp();
        if (IsSkipped())
            return;
        // None of libpq's own ways may answer for the window.
        qunsetenv("PGPASSWORD");
        qputenv("PGPASSFILE", QFile::encodeName(dir.filePath(QStringLiteral("no-pgpass"))));
        role = ward->addDoctor(QStringLiteral("李医生"));
        pg::Connection admin = ward->superuser();
        pg::exec(admin.get(), "DO $$ BEGIN CREATE ROLE quillcase_password_login NOLOGIN; "
                              "EXCEPTION WHEN duplicate_object OR unique_violation THEN NULL; END $$");
        const QByteArray quoted = pg::roleIdentifier(admin.get(), role);
        pg::exec(admin.get(), "GRANT quillcase_password_login TO " + quoted);
        pg::exec(admin.get(), "SELECT set_config('password_encryption', 'scram-sha-256', false)");
        const pg::Result literal = pg::exec(admin.get(), "SELECT quote_literal($1)", {pg::textValue(secret)});
        pg::exec(admin.get(), "ALTER ROLE " + quoted + " PASSWORD " + pg::text(literal.get(), 0, 0).toUtf8());
        writeConf(ward->connectionString(role));
    }
    void TearDown() override
    {
        qunsetenv("PGPASSFILE");
        qunsetenv("PGPASSWORD");
        WardFixture::TearDown();
    }
    SignInAnswer typed(const QString &password) const { return SignInAnswer{role, password}; }
};

TEST_F(SignIn, WindowAsksAgainAfterAWrongPasswordAndTheProgramStarts)
{
    dialogs.signInAnswers = {typed(QStringLiteral("wrong")), typed(secret)};
    start();
    EXPECT_EQ(dialogs.signInMessages.size(), 2);
    EXPECT_EQ(dialogs.signInUsers.value(0), role);
    EXPECT_TRUE(dialogs.signInMessages.value(1).startsWith("登录未成功"))
        << dialogs.signInMessages.value(1).toStdString();
    EXPECT_EQ(session()->store()->operatorName(), role);
    // Nothing of the password lands in the data folder.
    for (const QString &name : QDir(dataFolder()).entryList(QDir::Files)) {
        QFile file(dataFolder() + name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_FALSE(file.readAll().contains(secret.toUtf8())) << name.toStdString();
    }
}

TEST_F(SignIn, ThreeRefusalsOrAClosedWindowEndTheStart)
{
    const QString connection = ward->connectionString(role);
    const struct
    {
        std::deque<std::optional<SignInAnswer>> answers;
        qsizetype windows;
        const char *message;
    } cases[] = {
        {{typed("a"), typed("b"), typed("c"), typed(secret)}, 3, "登录病区服务器三次未成功，程序结束"},
        {{typed("a"), std::nullopt}, 2, "未登录病区服务器，程序结束"},
        {{}, 1, "未登录病区服务器，程序结束"},
    };
    for (const auto &c : cases) {
        dialogs.signInAnswers = c.answers;
        dialogs.signInMessages.clear();
        try {
            startup::openServer(connection, dialogs);
            ADD_FAILURE() << "signed in";
        } catch (const Error &error) {
            EXPECT_TRUE(error.message().startsWith(QString::fromUtf8(c.message)))
                << error.message().toStdString();
        }
        EXPECT_EQ(dialogs.signInMessages.size(), c.windows) << c.message;
    }
}

TEST_F(SignIn, PasswordFromTheEnvironmentNeedsNoWindow)
{
    qputenv("PGPASSWORD", secret.toUtf8());
    auto store = startup::openServer(ward->connectionString(role), dialogs);
    EXPECT_EQ(store->operatorName(), role);
    EXPECT_TRUE(dialogs.signInMessages.isEmpty());
    // A wrong one brings the window, which does not count it among the three.
    qputenv("PGPASSWORD", "wrong");
    dialogs.signInAnswers = {typed("x"), typed("y"), typed(secret)};
    store = startup::openServer(ward->connectionString(role), dialogs);
    EXPECT_EQ(dialogs.signInMessages.size(), 3);
}

} // namespace
