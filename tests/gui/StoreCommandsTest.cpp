#include "AppFixture.h"
#include "text/Error.h"

#include <QAction>

using StoreCommands = AppFixture;

TEST_F(StoreCommands, CompactionPostsTheEditKeepsTheOldFileAndEnds)
{
    // The clock is set first: a trail written later than the clock's time brings a warning at start.
    text::setClock([] { return QDateTime(QDate(2005, 3, 7), QTime(9, 15, 30)); });
    addRecords({{{"Bed", "6"}, {"Name", "旧"}}});
    start();
    session()->fill("Name", "压缩前的修改");
    form1()->menuItem("N2")->trigger();
    EXPECT_EQ(dialogs.informations, QStringList{"操作成功"});
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_FALSE(form1()->isVisible());
    EXPECT_TRUE(QFile::exists(dataFolder() + "20050307091530.bak"));
    EXPECT_FALSE(QFile::exists(dataFolder() + "tmp.dat"));
    EXPECT_EQ(stored()["6"]["Name"], "压缩前的修改");
}

TEST_F(StoreCommands, CompactionFailureIsReportedAndStillEnds)
{
    text::setClock([] { return QDateTime(QDate(2005, 3, 7), QTime(9, 15, 30)); });
    start();
    // A folder where the .bak must go makes the first rename fail.
    QDir().mkpath(dataFolder() + "20050307091530.bak");
    form1()->menuItem("N2")->trigger();
    EXPECT_TRUE(dialogs.informations.isEmpty());
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].contains("Quillcase.dat"));
    EXPECT_FALSE(form1()->isVisible());
    EXPECT_TRUE(QFile::exists(databasePath()));
}

TEST_F(StoreCommands, MissingOrForeignDatabaseStopsStartUpWithoutCreatingOne)
{
    QFile::remove(databasePath());
    try {
        start();
        FAIL() << "started without a database";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().contains(databasePath()));
    }
    EXPECT_FALSE(QFile::exists(databasePath()));

    QFile garbage(databasePath());
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(8192, 'x'));
    garbage.close();
    EXPECT_THROW(start(), Error);
    EXPECT_EQ(QFileInfo(databasePath()).size(), 8192);
}
