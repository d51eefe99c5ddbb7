#include "WardFixture.h"
#include "records/DBCtrlGrid.h"
#include "text/Error.h"

#include <QAction>

namespace {

using ServerStart = WardFixture;

TEST_F(ServerStart, SettingsFileOpensTheServerAndTheFileStaysUntouched)
{
    addServerRecords({{{"Bed", "10"}, {"Name", "服务器乙"}}, {{"Bed", "2"}, {"Name", "服务器甲"}}});
    addRecords({{{"Bed", "1"}, {"Name", "文件里的"}}});
    start();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("").toStdString();
    EXPECT_EQ(session()->store()->operatorName(), doctor);
    const std::vector<ListRow> list = session()->store()->loadList();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].values.value(2), "服务器甲");
    EXPECT_EQ(session()->value("Name"), "服务器甲");

    // A record stored through the window reaches the server, not the file.
    session()->append();
    session()->fill("Bed", "3");
    session()->fill("Name", "新病人");
    session()->post();
    EXPECT_EQ(ward->openAs(doctor)->recordCount(), 3);
    EXPECT_EQ(stored().size(), 1);
}

TEST_F(ServerStart, FileCommandsAreRefusedAndTheRunGoesOn)
{
    addServerRecords({{{"Bed", "1"}, {"Name", "甲"}}});
    start();
    for (const char *item : {"N2", "N9", "Passphrase1"}) {
        dialogs.errors.clear();
        form1()->menuItem(item)->trigger();
        ASSERT_EQ(dialogs.errors.size(), 1) << item;
        EXPECT_TRUE(dialogs.errors[0].startsWith("病区服务器模式下请由病区管理员")) << item;
    }
    EXPECT_TRUE(dialogs.informations.isEmpty());
    EXPECT_TRUE(form1()->isVisible());
    EXPECT_EQ(ward->openAs(doctor)->recordCount(), 1);
}

TEST_F(ServerStart, UnreachableServerEndsTheStartWithAClearMessage)
{
    // A port nobody listens on: the cluster's own host with port 1.
    writeConf(QStringLiteral("host=127.0.0.1 port=1 dbname=quillcase connect_timeout=5"));
    try {
        start();
        FAIL() << "started without a server";
    } catch (const Error &error) {
        EXPECT_TRUE(error.message().startsWith("无法连接病区服务器……")) << error.message().toStdString();
    }
}

TEST_F(ServerStart, EnvironmentWinsOverTheSettingsFile)
{
    writeConf(QStringLiteral("host=127.0.0.1 port=1 dbname=quillcase"));
    struct Environment
    {
        explicit Environment(const QByteArray &value) { qputenv("QUILLCASE_SERVER", value); }
        ~Environment() { qunsetenv("QUILLCASE_SERVER"); }
    } environment(ward->connectionString(doctor).toUtf8());
    start();
    EXPECT_EQ(session()->store()->operatorName(), doctor);
}

} // namespace
