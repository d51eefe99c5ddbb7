#include "AppFixture.h"
#include "records/PatientStoreDb.h"
#include "text/Error.h"

#include <QAction>
#include <QMenu>

namespace {

class RestoreCommands : public AppFixture
{
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        // The clock is set first, so that the trail of the fixture is not in its future.
        text::setClock([] { return QDateTime(QDate(2026, 2, 3), QTime(4, 5, 6)); });
        addRecords({{{"Bed", "6"}, {"Name", "备份时"}, {"DoA", "2025-6-1"}}});
    }
    QString backups() const { return dataFolder() + "backups/"; }
};

TEST_F(RestoreCommands, RestorePostsTheEditKeepsTheOldFileAndEnds)
{
    start();
    dialogs.fileAnswers = {dir.filePath("backup.dat")};
    form1()->menuItem("N8")->trigger();
    session()->fill("Name", "恢复前的修改");

    dialogs.fileAnswers = {dir.filePath("backup.dat")};
    dialogs.confirmAnswers = {true};
    form1()->menuItem("N9")->trigger();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("").toStdString();
    EXPECT_EQ(dialogs.openFolders, QStringList{dataFolder()});
    ASSERT_EQ(dialogs.confirmations.size(), 1);
    EXPECT_TRUE(dialogs.confirmations[0].startsWith("用此备份替换当前病历库？"));
    EXPECT_TRUE(dialogs.confirmations[0].contains("病历数：1"));
    EXPECT_TRUE(dialogs.confirmations[0].contains("2025-6-1"));
    EXPECT_EQ(dialogs.informations, QStringList{"恢复成功，请重新启动程序。"});
    EXPECT_FALSE(form1()->isVisible());
    EXPECT_EQ(stored()["6"]["Name"], "备份时");
    // The edit was posted into the database that is kept.
    auto kept = PatientStore::open(dataFolder() + "20260203040506.bak");
    EXPECT_EQ(kept->loadRecord(kept->loadList()[0].rowId)[columns::indexOf("Name")], "恢复前的修改");
}

TEST_F(RestoreCommands, CancelOrAnUnusableFileChangesNothing)
{
    start();
    QDir().mkpath(backups());
    dialogs.fileAnswers = {dir.filePath("backup.xml")};
    form1()->menuItem("N8")->trigger();
    const QByteArray before = [this] {
        QFile file(databasePath());
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();
    // Chooser cancelled, question cancelled, a file that is no backup.
    form1()->menuItem("N9")->trigger();
    dialogs.fileAnswers = {dir.filePath("backup.xml")};
    dialogs.confirmAnswers = {false};
    form1()->menuItem("N9")->trigger();
    QFile junk(dir.filePath("junk.xml"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("<?xml version='1.0'?><xml>");
    junk.close();
    dialogs.fileAnswers = {dir.filePath("junk.xml")};
    form1()->menuItem("N9")->trigger();
    EXPECT_EQ(dialogs.openFolders, QStringList(3, backups()));
    EXPECT_EQ(dialogs.confirmations.size(), 1);
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].contains("junk.xml"));
    EXPECT_TRUE(dialogs.informations.isEmpty());
    EXPECT_TRUE(form1()->isVisible());
    QFile file(databasePath());
    file.open(QIODevice::ReadOnly);
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(QDir(dataFolder()).entryList({"*.bak"}), QStringList());
    // The program goes on working on its database.
    session()->fill("Name", "之后");
    form1()->menuItem("N4")->trigger();
    EXPECT_EQ(stored()["6"]["Name"], "之后");
}

TEST_F(RestoreCommands, PassphraseIsTheLastToolAndStartUpAsksForIt)
{
    start();
    QMenu *tools = form1()->findChild<QMenu *>("Tools1");
    ASSERT_TRUE(tools);
    EXPECT_EQ(tools->actions().last()->objectName(), "Passphrase1");
    EXPECT_EQ(tools->actions().last()->text(), "设置数据库口令…");
    session()->fill("Name", "设口令前");
    dialogs.confirmAnswers = {true};
    dialogs.passwordAnswers = {QString("新口令"), QString("新口令")};
    form1()->menuItem("Passphrase1")->trigger();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("").toStdString();
    // The program goes on under the new key.
    session()->fill("Name", "设口令后");
    form1()->menuItem("N4")->trigger();
    EXPECT_TRUE(dialogs.errors.isEmpty());
    windows.reset();
    EXPECT_THROW(PatientStore::open(databasePath()), storedb::WrongKey);
    {
        auto store = PatientStore::open(databasePath(), "新口令");
        EXPECT_EQ(store->loadRecord(store->loadList()[0].rowId)[columns::indexOf("Name")], "设口令后");
    }

    // Right on the second try.
    dialogs.passwordPrompts.clear();
    dialogs.passwordAnswers = {QString("错"), QString("新口令")};
    start();
    EXPECT_EQ(dialogs.passwordPrompts, QStringList(2, "请输入病历库口令"));
    EXPECT_EQ(session()->value("Name"), "设口令后");
    windows.reset();
    // Three wrong, or cancelled: the start-up ends with a message.
    dialogs.passwordAnswers = {QString("a"), QString("b"), QString("c")};
    EXPECT_THROW(start(), Error);
    EXPECT_THROW(start(), Error);
}

TEST_F(RestoreCommands, ClosingAfterAPostKeepsASafetyCopy)
{
    start();
    form1()->close();
    EXPECT_FALSE(QFileInfo::exists(backups()));
    windows.reset();
    start();
    session()->fill("Name", "改");
    form1()->menuItem("N4")->trigger();
    form1()->close();
    EXPECT_EQ(QDir(backups()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"safety-20260203-040506.dat"});
    auto copy = PatientStore::open(backups() + "safety-20260203-040506.dat");
    EXPECT_EQ(copy->loadRecord(copy->loadList()[0].rowId)[columns::indexOf("Name")], "改");
}

} // namespace
