#include "app/StoreChoice.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(StoreChoiceTest, ConnectionReadFromTheServerSectionOnly)
{
    const struct
    {
        const char *conf;
        const char *connection;
    } cases[] = {
        {"", ""},
        {"[server]\nconnection=host=ward7 dbname=quillcase\n", "host=ward7 dbname=quillcase"},
        // Several hosts hold commas and the URI holds '=' and '?': all kept as one text.
        {"[Server]\r\n Connection = postgresql://a:5432,b:5432/quillcase?target_session_attrs=read-write\r\n",
         "postgresql://a:5432,b:5432/quillcase?target_session_attrs=read-write"},
        {"[server]\nconnection=\"host=ward7\"\n", "host=ward7"},
        {"[other]\nconnection=host=x\n", ""},
        {"connection=host=x\n[server]\n", ""},
        {"[server]\n;connection=host=x\n# connection=host=y\n", ""},
        {"[server]\nconnection=host=x\n[other]\nconnection=host=y\n", "host=x"},
        {"[server]\nconnections=host=x\nconnection\n", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(storechoice::connectionFromConf(QString::fromUtf8(c.conf)), QString::fromUtf8(c.connection))
            << c.conf;
}

TEST(StoreChoiceTest, EnvironmentWinsThenSettingsThenTheFile)
{
    const struct
    {
        const char *environment;
        const char *configured;
        bool server;
        const char *connection;
    } cases[] = {
        {"", "", false, ""},
        {"  ", " \t", false, ""},
        {"host=env", "host=conf", true, "host=env"},
        {"", "host=conf", true, "host=conf"},
        {" ", "host=conf", true, "host=conf"},
        {"host=env", "", true, "host=env"},
    };
    for (const auto &c : cases) {
        const storechoice::Choice choice =
            storechoice::decide(QString::fromUtf8(c.environment), QString::fromUtf8(c.configured));
        EXPECT_EQ(choice.server, c.server) << c.environment << " / " << c.configured;
        EXPECT_EQ(choice.connection, QString::fromUtf8(c.connection));
    }
}

TEST(StoreChoiceTest, DataFolderWithoutSettingsOpensTheFile)
{
    if (!qEnvironmentVariableIsEmpty(storechoice::environmentVariable))
        GTEST_SKIP() << "QUILLCASE_SERVER is set for this run";
    QTemporaryDir dir;
    EXPECT_FALSE(storechoice::forDataFolder(dir.path()).server);
    QFile conf(QDir(dir.path()).filePath(QStringLiteral("quillcase.conf")));
    ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
    conf.write("[server]\nconnection=host=ward7\n");
    conf.close();
    const storechoice::Choice choice = storechoice::forDataFolder(dir.path());
    EXPECT_TRUE(choice.server);
    EXPECT_EQ(choice.connection, QStringLiteral("host=ward7"));
}

} // namespace
