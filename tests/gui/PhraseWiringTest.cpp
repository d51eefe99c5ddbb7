#include "AppFixture.h"
#include "phrases/DropDownComboBox.h"
#include "phrases/PhraseMemo.h"
#include "records/DBMemo.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBlock>

using PhraseWiring = AppFixture;

namespace {
// Puts the caret of a text editor on a line and double-clicks there as the user would.
void doubleClickLine(QPlainTextEdit *editor, int line)
{
    QTextCursor cursor(editor->document()->findBlockByNumber(line));
    editor->setTextCursor(cursor);
    const QRect rect = editor->cursorRect(cursor);
    QTest::mouseDClick(editor->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}
} // namespace

TEST_F(PhraseWiring, FieldDoubleClickOpensItsFileAndAPhraseReachesTheRecord)
{
    addRecords({{{"Bed", "1"}, {"PresentIllness", "原有一行"}}});
    start();
    QTest::mouseDClick(find<DBMemo>("DBMemo1")->viewport(), Qt::LeftButton);
    EXPECT_EQ(text::shared().phraseTarget, "presenthistory");
    EXPECT_EQ(find<QLineEdit>("Edit1")->text(), "PresentIllness.txt");
    EXPECT_EQ(find<QTabWidget>("PageControl1")->currentWidget()->objectName(), "TabSheet10");
    auto *memo4 = find<PhraseMemo>("Memo4");
    ASSERT_FALSE(memo4->toPlainText().isEmpty());
    const QString phrase = memo4->document()->findBlockByNumber(0).text().trimmed();
    doubleClickLine(memo4, 0);
    EXPECT_EQ(session()->state(), RecordSession::State::Edit);
    form1()->menuItem("N4")->trigger();
    EXPECT_EQ(stored()["1"]["PresentIllness"], "原有一行\r\n" + phrase);

    // A one-line field is replaced.
    QTest::mouseDClick(find<QLineEdit>("DBEdit26"), Qt::LeftButton);
    EXPECT_EQ(text::shared().phraseTarget, "minzu");
    doubleClickLine(memo4, 0);
    EXPECT_EQ(find<QLineEdit>("DBEdit26")->text(), "汉族");
}

TEST_F(PhraseWiring, MissingPhraseFileShowsTheErrorAndKeepsTheTarget)
{
    QFile::remove(dataFolder() + "minzu.txt");
    start();
    QTest::mouseDClick(find<QLineEdit>("DBEdit26"), Qt::LeftButton);
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].contains(dataFolder() + "minzu.txt"));
    EXPECT_EQ(text::shared().phraseTarget, "minzu");
    EXPECT_EQ(find<QLineEdit>("Edit1")->text(), "minzu.txt");
    EXPECT_TRUE(find<PhraseMemo>("Memo4")->toPlainText().isEmpty());
    EXPECT_EQ(find<QTabWidget>("PageControl1")->currentWidget()->objectName(), "TabSheet1");
}

TEST_F(PhraseWiring, CtrlDDeletesTheCaretLineAndEveryKeyEdits)
{
    addRecords({{{"Bed", "1"}, {"diagnosis", "高血压病\r\n冠心病\r\n糖尿病"}}});
    start();
    auto *memo = find<DBMemo>("DBMemo7");
    QTextCursor cursor(memo->document()->findBlockByNumber(1));
    memo->setTextCursor(cursor);
    QTest::keyClick(memo, Qt::Key_Right); // any key release puts the record into Edit
    EXPECT_EQ(session()->state(), RecordSession::State::Edit);
    QTest::keyClick(memo, Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(session()->value("diagnosis"), "高血压病\r\n糖尿病");
    cursor = QTextCursor(memo->document()->findBlockByNumber(1));
    memo->setTextCursor(cursor);
    QTest::keyClick(memo, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(session()->value("diagnosis"), "高血压病\r\n");
    form1()->menuItem("N4")->trigger();
    EXPECT_EQ(stored()["1"]["diagnosis"], "高血压病\r\n");
}

TEST_F(PhraseWiring, DifferentialChoiceFillsTheSecondSection)
{
    addRecords({{{"Bed", "1"}, {"Pripro2", "旧内容"}}});
    start();
    auto *box = find<DropDownComboBox>("ComboBox4");
    box->showPopup();
    box->hidePopup();
    const int index = box->findText("高血压病");
    ASSERT_GE(index, 0);
    box->setCurrentIndex(index);
    emit box->activated(index);
    const QString section = session()->value("Pripro2");
    EXPECT_TRUE(section.endsWith("\r\n"));
    EXPECT_FALSE(section.contains("<section"));
    EXPECT_NE(section, "旧内容");
    EXPECT_EQ(session()->state(), RecordSession::State::Edit);
}

TEST_F(PhraseWiring, GenerateWritesTheFirstCourseSummary)
{
    addRecords({{{"Bed", "1"}, {"Name", "张三"}, {"sex", "男"}, {"age", "abc"}}});
    start();
    find<QPushButton>("Button6")->click();
    EXPECT_EQ(session()->state(), RecordSession::State::Edit);
    const QStringList lines = session()->value("Pripro1").split("\r\n");
    ASSERT_EQ(lines.size(), 3); // a non-integer age stops after the second line
    EXPECT_TRUE(lines[0].contains("张三"));
    EXPECT_EQ(lines[1], "一、病例特点：");
    EXPECT_EQ(lines[2], "");
    EXPECT_TRUE(dialogs.errors.isEmpty());
}
