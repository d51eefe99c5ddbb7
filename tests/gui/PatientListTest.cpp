#include "AppFixture.h"
#include "records/DBCtrlGrid.h"
#include "records/DBEdit.h"
#include "records/FileListBox.h"

#include <QImage>
#include <QLabel>
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

TEST_F(PatientList, TenDigitAdmissionNumberShowsWholeAndLongCellsCarryTheirText)
{
    const QString longName = "阿卜杜热合曼·买买提江";
    const QString longDiagnosis = "社区获得性肺炎（重症），Ⅱ型呼吸衰竭，慢性阻塞性肺疾病急性加重期";
    addRecords({{{"Bed", "1"}, {"ID", "2026120301"}, {"Name", "张三"}, {"PriDiagnosis", "肺炎"}},
                {{"Bed", "2"}, {"ID", "2026120302"}, {"Name", longName}, {"PriDiagnosis", longDiagnosis}}});
    start();
    auto *grid = find<DBCtrlGrid>("DBCtrlGrid1");
    const QFontMetrics metrics(grid->font());
    EXPECT_LE(metrics.horizontalAdvance("2026120301"), grid->cellWidth(1));
    EXPECT_EQ(grid->panelText(0, 1), "2026120301");
    // The list still fits its tab of the 931-pixel window.
    EXPECT_LE(grid->width(), form1()->pageControl1()->width());

    struct Case
    {
        int panel;
        int column;
        QString toolTip;
    };
    const std::vector<Case> cases = {
        {0, 1, ""},            {0, 2, ""},       {0, 6, ""},            // everything fits
        {1, 1, ""},            {1, 2, longName}, {1, 6, longDiagnosis}, // too long: whole in the tooltip
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "panel " << c.panel << " column " << c.column);
        EXPECT_EQ(grid->panelToolTip(c.panel, c.column), c.toolTip);
    }
    // The current record's editable cell too, and it follows the typed text.
    grid->clickPanel(1);
    EXPECT_EQ(grid->currentCell()->toolTip(), longDiagnosis);
    grid->currentCell()->setText("哮喘");
    EXPECT_EQ(grid->currentCell()->toolTip(), "");
}

TEST_F(PatientList, EmptyDatabaseShowsHowToMakeTheFirstRecord)
{
    start();
    auto *grid = find<DBCtrlGrid>("DBCtrlGrid1");
    ASSERT_TRUE(grid->emptyHint());
    EXPECT_TRUE(grid->emptyHint()->isVisible());
    EXPECT_EQ(grid->emptyHint()->text(), "按 Ctrl+N，输入床号，新建第一份病历");

    dialogs.inputAnswers.push_back(QString("12"));
    form1()->menuItem("N3")->trigger();
    EXPECT_FALSE(grid->emptyHint()->isVisible());
    form1()->menuItem("N4")->trigger();
    EXPECT_TRUE(stored().contains("12"));
    EXPECT_FALSE(grid->emptyHint()->isVisible());
}
