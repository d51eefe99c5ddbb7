// Backup, restore and compaction through the main window over the ward's server.
#include "WardFixture.h"
#include "records/BackupCheck.h"
#include "records/PatientStore.h"
#include "records/PatientStoreDb.h"
#include "records/RecordSession.h"

#include <QAction>
#include <QDir>

namespace {

using WardAdmin = WardFixture;

TEST_F(WardAdmin, AnAdministratorBacksUpRestoresAndVacuumsTheWard)
{
    addServerRecords({{{"Bed", "1"}, {"Name", "甲"}}, {{"Bed", "2"}, {"Name", "乙"}}});
    writeConf(ward->connectionString(ward->addDoctor(QStringLiteral("赵主任"), true)));
    start();

    // Ctrl+B: both formats, the record being edited posted first.
    session()->fill("Name", "甲改");
    const QString copy = dir.filePath("ward.dat");
    const QString xml = dir.filePath("ward.xml");
    for (const QString &path : {copy, xml}) {
        dialogs.fileAnswers.push_back(path);
        form1()->menuItem("N8")->trigger();
    }
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("").toStdString();
    EXPECT_EQ(PatientStore::open(copy)->loadRecord(1).at(columns::indexOf("Name")), "甲改");
    EXPECT_EQ(backupcheck::check(xml, {}).records, 2);
    EXPECT_TRUE(QFile::exists(PatientStore::historyBackupPath(xml)));

    // Ctrl+R: checked, asked, restored; the run goes on with the list read again.
    addServerRecords({{{"Bed", "3"}, {"Name", "丙"}}});
    dialogs.fileAnswers.push_back(copy);
    dialogs.confirmAnswers.push_back(true);
    form1()->menuItem("N9")->trigger();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("").toStdString();
    ASSERT_EQ(dialogs.confirmations.size(), 1);
    EXPECT_TRUE(dialogs.confirmations[0].startsWith("用此备份替换当前病历库？"));
    ASSERT_EQ(dialogs.informations.size(), 1);
    EXPECT_TRUE(dialogs.informations[0].startsWith("恢复成功")) << dialogs.informations[0].toStdString();
    EXPECT_TRUE(form1()->isVisible());
    EXPECT_EQ(session()->rowCount(), 2);
    EXPECT_EQ(ward->openAs(doctor)->recordCount(), 2);
    EXPECT_EQ(QDir(dataFolder() + "backups").entryList(QDir::Files).size(), 1);

    // The hidden item: VACUUM, "操作成功", and the run ends.
    dialogs.informations.clear();
    form1()->menuItem("N2")->trigger();
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("").toStdString();
    EXPECT_EQ(dialogs.informations, QStringList{"操作成功"});
    EXPECT_FALSE(form1()->isVisible());
}

} // namespace
