#include "AppFixture.h"
#include "records/DBCtrlGrid.h"
#include "records/DBEdit.h"
#include "records/FileListBox.h"

#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>

using PatientList = AppFixture;

TEST_F(PatientList, ScrollsBeyondThirtyAndShowsAnAppendedRecordAtTheEnd)
{
    std::vector<QHash<QString, QString>> records;
    for (int bed = 1; bed <= 35; ++bed)
        records.push_back({{"Bed", QString::number(bed)}});
    addRecords(records);
    start();
    auto *grid = find<DBCtrlGrid>("DBCtrlGrid1");
    EXPECT_EQ(grid->scrollBar()->maximum(), 5);
    EXPECT_EQ(grid->firstVisibleRow(), 0);
    session()->append();
    EXPECT_EQ(session()->currentRow(), 35);
    EXPECT_EQ(grid->firstVisibleRow(), 6); // the new record's panel is the last one shown
    EXPECT_EQ(grid->currentCell()->objectName(), "DBEdit7");
}

TEST_F(PatientList, ClickIntoAnotherDiagnosisCellMakesItCurrentWithoutTheListClick)
{
    addRecords({{{"Bed", "1"}, {"PriDiagnosis", "肺炎"}}, {{"Bed", "2"}, {"PriDiagnosis", "哮喘"}}});
    start();
    auto *grid = find<DBCtrlGrid>("DBCtrlGrid1");
    QSignalSpy clicks(grid, &DBCtrlGrid::clicked);
    grid->clickCell(1);
    EXPECT_EQ(session()->currentRow(), 1);
    EXPECT_EQ(grid->currentCell()->text(), "哮喘");
    EXPECT_EQ(clicks.count(), 0);
    grid->clickPanel(0);
    EXPECT_EQ(clicks.count(), 1);
    // Typed into the list's cell, the diagnosis is stored with the next post.
    grid->currentCell()->end(false);
    type(grid->currentCell(), "（重症）");
    form1()->menuItem("N4")->trigger();
    EXPECT_EQ(stored()["1"]["PriDiagnosis"], "肺炎（重症）");
}

TEST_F(PatientList, ListClickShowsTheNewPatientsPictures)
{
    addRecords({{{"Bed", "1"}, {"ID", "1001"}, {"Name", "甲"}}, {{"Bed", "2"}, {"ID", "1002"}, {"Name", "乙"}}});
    const QString folder = dataFolder() + "images/1002-乙/";
    QDir().mkpath(folder);
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    ASSERT_TRUE(picture.save(folder + "胸片.JPG", "JPG"));
    start();
    auto *grid = find<DBCtrlGrid>("DBCtrlGrid1");
    grid->clickPanel(1);
    auto *files = find<FileListBox>("FileListBox2");
    EXPECT_EQ(QDir(files->directory()), QDir(folder));
    ASSERT_EQ(files->count(), 1);
    EXPECT_EQ(files->item(0)->text(), "胸片.JPG");
}
