#include "AppFixture.h"
#include "builders/TForm3.h"
#include "builders/TForm4.h"
#include "builders/TForm5.h"
#include "documents/TForm7.h"
#include "options/TForm9.h"
#include "records/DBCheckBox.h"
#include "records/DBMemo.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>

using WindowsWiring = AppFixture;

TEST_F(WindowsWiring, WindowsAreCreatedInTheirOrderAndStayHidden)
{
    start();
    EXPECT_FALSE(windows->form3()->isVisible());
    EXPECT_EQ(windows->form3()->windowTitle(), "现病史：");
    EXPECT_EQ(windows->form9()->windowTitle(), "Options");
    EXPECT_EQ(windows->form7()->windowTitle(), "入院记录");
}

TEST_F(WindowsWiring, F1OpensTheMemosBuilderAndPostReachesTheDatabase)
{
    addRecords({{{"Bed", "8"}, {"PastHistory", "旧"}}});
    start();
    // No builder for the family history: only the edit state.
    QTest::keyClick(find<DBMemo>("DBMemo4"), Qt::Key_F1);
    EXPECT_TRUE(form1()->isEnabled());
    EXPECT_EQ(session()->state(), RecordSession::State::Edit);

    QTest::keyClick(find<DBMemo>("DBMemo2"), Qt::Key_F1, Qt::ShiftModifier);
    QWidget *form4 = static_cast<QWidget *>(windows->form4());
    EXPECT_TRUE(form4->isVisible());
    EXPECT_FALSE(form1()->isEnabled());
    form4->findChild<QPushButton *>("Button1")->click(); // Post
    EXPECT_FALSE(form4->isVisible());
    EXPECT_TRUE(form1()->isEnabled());
    const QString paragraph = session()->value("PastHistory");
    EXPECT_TRUE(paragraph.endsWith("\r\n"));
    EXPECT_NE(paragraph, "旧");
    QTest::keyClick(find<QWidget>("DBEdit2"), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(stored()["8"]["PastHistory"], paragraph);

    QTest::keyClick(find<DBMemo>("DBMemo6"), Qt::Key_F1);
    EXPECT_TRUE(windows->form5()->isVisible());
    windows->form5()->close();
    EXPECT_TRUE(form1()->isEnabled());
}

TEST_F(WindowsWiring, PastHistoryTicksFollowTheCurrentPatient)
{
    addRecords({{{"Bed", "1"}, {"Boolen01", "true"}}, {{"Bed", "2"}, {"Boolen01", "FALSE"}}, {{"Bed", "3"}}});
    start();
    auto *tick = static_cast<QWidget *>(windows->form4())->findChild<DBCheckBox *>("DBCheckBox1");
    ASSERT_TRUE(tick);
    EXPECT_EQ(tick->checkState(), Qt::Checked);
    session()->moveTo(1);
    EXPECT_EQ(tick->checkState(), Qt::Unchecked);
    session()->moveTo(2);
    EXPECT_EQ(tick->checkState(), Qt::PartiallyChecked);
    tick->click(); // greyed becomes ticked
    EXPECT_EQ(session()->value("Boolen01"), "True");
}

TEST_F(WindowsWiring, CtrlGShowsTheAdmissionRecordWithoutEditing)
{
    addRecords({{{"Bed", "4"}, {"Name", "赵六"}, {"DoR", "2026-12-11 08:00:00"}}});
    start();
    QTest::keyClick(find<QWidget>("DBEdit2"), Qt::Key_G, Qt::ControlModifier);
    TForm7 *form7 = windows->form7();
    EXPECT_TRUE(form7->isVisible());
    EXPECT_FALSE(form1()->isEnabled());
    EXPECT_EQ(session()->state(), RecordSession::State::Browse);
    const QString text = form7->richEdit1()->toPlainText();
    EXPECT_TRUE(text.contains("赵六"));
    EXPECT_TRUE(text.contains("2026-12-11"));
    form7->close();
    EXPECT_TRUE(form1()->isEnabled());
}

TEST_F(WindowsWiring, OptionsOpensOverTheMainWindow)
{
    start();
    QTest::keyClick(find<QWidget>("DBEdit2"), Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(windows->form9()->isVisible());
    EXPECT_FALSE(form1()->isEnabled());
    windows->form9()->close();
    EXPECT_TRUE(form1()->isEnabled());
}
