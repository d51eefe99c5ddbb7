#include "AppFixture.h"
#include "builders/TForm3.h"
#include "builders/TForm4.h"
#include "documents/TForm7.h"
#include "phrases/DropDownComboBox.h"
#include "phrases/PhraseMemo.h"
#include "phrases/TemplateEditor.h"
#include "records/DBCheckBox.h"
#include "records/DBCtrlGrid.h"
#include "records/DBMemo.h"
#include "records/ErrorBox.h"
#include "records/TFormHistory.h"
#include "records/TrailCommands.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimeZone>

using ArchiveTest = AppFixture;

namespace {
const QString refused = QStringLiteral("病历已归档，不能修改。");
const QDateTime morning(QDate(2026, 12, 11), QTime(9, 15, 30));
} // namespace

TEST_F(ArchiveTest, ToolsMenuOffersTheNewItemsAfterTheOldOnes)
{
    start();
    QStringList names, captions;
    for (QAction *action : find<QMenu>("Tools1")->actions()) {
        names << action->objectName();
        captions << action->text();
    }
    EXPECT_EQ(names, (QStringList{"Generate1", "N2", "Options1", "Signature1", "History1", "Archive1",
                                  "Unarchive1", "Passphrase1"}));
    EXPECT_EQ(captions.mid(3),
              (QStringList{"医师签名…", "修改痕迹…", "归档…", "取消归档…", "设置数据库口令…"}));
}

TEST_F(ArchiveTest, EveryWriterRefusesAnArchivedRecord)
{
    addRecords({{{"Bed", "1"}, {"Name", "张三"}, {"PresentIllness", "咳嗽3天"}, {"Pripro2", "旧内容"}}});
    start();
    // A record being edited is posted first; the question comes before anything is done.
    find<QLineEdit>("DBEdit2")->end(false);
    type(find<QLineEdit>("DBEdit2"), "丰");
    dialogs.confirmAnswers = {false};
    form1()->menuItem("Archive1")->trigger();
    EXPECT_EQ(dialogs.confirmations, QStringList{"归档后病历不能再修改，确定归档？"});
    EXPECT_FALSE(session()->isArchived());
    EXPECT_EQ(session()->state(), RecordSession::State::Edit);
    dialogs.confirmAnswers = {true};
    form1()->menuItem("Archive1")->trigger();
    ASSERT_TRUE(session()->isArchived());
    EXPECT_EQ(session()->state(), RecordSession::State::Browse);
    const auto before = stored();
    EXPECT_EQ(before["1"]["Name"], "张三丰");

    struct Writer
    {
        const char *what;
        std::function<void()> act;
    };
    auto *memo = find<DBMemo>("DBMemo1");
    const Writer writers[] = {
        {"typing in a box", [&] { type(find<QLineEdit>("DBEdit2"), "X"); }},
        {"typing in a memo", [&] { type(memo, "X"); }},
        {"a flag box of the past-history builder",
         [&] { windows->form4()->findChild<DBCheckBox *>("DBCheckBox1")->click(); }},
        {"the date stamp", [&] { QTest::mouseDClick(find<QLineEdit>("DBEdit8"), Qt::LeftButton); }},
        {"the birthplace fill", [&] { QTest::mouseDClick(find<QLineEdit>("DBEdit6"), Qt::LeftButton); }},
        {"a phrase",
         [&] {
             QTest::mouseDClick(find<QLineEdit>("DBEdit26"), Qt::LeftButton);
             emit form1()->templateEditor()->phraseChosen(QStringLiteral("汉族"));
         }},
        {"F1 in the present-illness memo", [&] { QTest::keyClick(memo, Qt::Key_F1); }},
        {"Ctrl+D in a memo", [&] { QTest::keyClick(memo, Qt::Key_D, Qt::ControlModifier); }},
        {"the present-illness builder's Post",
         [&] { windows->form3()->findChild<QPushButton *>("Button9")->click(); }},
        {"the past-history builder's Post",
         [&] { windows->form4()->findChild<QPushButton *>("Button1")->click(); }},
        {"Generate of the first course record", [&] { find<QPushButton>("Button6")->click(); }},
        {"the differential box",
         [&] {
             auto *box = find<DropDownComboBox>("ComboBox4");
             box->showPopup();
             box->hidePopup();
             const int index = box->findText("高血压病");
             box->setCurrentIndex(index);
             emit box->activated(index);
         }},
    };
    for (const Writer &writer : writers) {
        SCOPED_TRACE(writer.what);
        dialogs.errors.clear();
        writer.act();
        ASSERT_FALSE(dialogs.errors.isEmpty());
        EXPECT_EQ(dialogs.errors.front(), errorBoxText(refused));
        EXPECT_EQ(session()->state(), RecordSession::State::Browse);
        EXPECT_FALSE(windows->form3()->isVisible());
        EXPECT_EQ(session()->value("Name"), "张三丰");
    }
    // The controls show the stored texts again.
    EXPECT_EQ(find<QLineEdit>("DBEdit2")->text(), "张三丰");
    EXPECT_EQ(memo->storedText(), "咳嗽3天");
    // Moving about in a memo is no change and says nothing.
    dialogs.errors.clear();
    QTest::keyClick(memo, Qt::Key_Right);
    EXPECT_TRUE(dialogs.errors.isEmpty());
    // Reading goes on: Ctrl+G composes the admission record.
    form1()->menuItem("Generate1")->trigger();
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_TRUE(windows->form7()->isVisible());
    windows->form7()->close();
    form1()->menuItem("N4")->trigger();
    EXPECT_EQ(stored(), before);
}

TEST_F(ArchiveTest, AnArchivedBedTakesTheNextAdmissionAndUnarchivingUnlocks)
{
    addRecords({{{"Bed", "3"}, {"Name", "李四"}}, {{"Bed", "5"}, {"Name", "王五"}}});
    start();
    dialogs.confirmAnswers = {true};
    form1()->menuItem("Archive1")->trigger(); // bed 3, the first in the list
    auto *grid = find<DBCtrlGrid>("DBCtrlGrid1");
    EXPECT_TRUE(grid->panelMarkedArchived(0));
    EXPECT_FALSE(grid->panelMarkedArchived(1));

    dialogs.inputAnswers = {QStringLiteral("3")};
    form1()->menuItem("N3")->trigger();
    EXPECT_TRUE(dialogs.informations.isEmpty()) << dialogs.informations.join("|").toStdString();
    EXPECT_EQ(session()->state(), RecordSession::State::Insert);
    EXPECT_FALSE(session()->isArchived());
    type(find<QLineEdit>("DBEdit2"), "赵六");
    form1()->menuItem("N4")->trigger();
    auto store = PatientStore::open(databasePath());
    ASSERT_TRUE(store->findBed("3"));
    EXPECT_EQ(store->loadRecord(*store->findBed("3")).at(columns::indexOf("Name")), "赵六");
    store.reset();

    // Ctrl+N for bed 3 now finds the new admission.
    dialogs.inputAnswers = {QStringLiteral("3")};
    form1()->menuItem("N3")->trigger();
    EXPECT_EQ(dialogs.informations, QStringList{"床号3已经存在，继续编辑或删除重建！"});
    EXPECT_EQ(session()->value("Name"), "赵六");

    // Back to the archived one: unlock it after the question.
    for (int row = 0; row < session()->rowCount(); ++row)
        if (session()->isArchived(row))
            session()->moveTo(row);
    ASSERT_TRUE(session()->isArchived());
    dialogs.confirmAnswers = {true};
    form1()->menuItem("Unarchive1")->trigger();
    EXPECT_EQ(dialogs.confirmations.back(), "取消归档后病历可以再修改，确定取消归档？");
    EXPECT_FALSE(session()->isArchived());
    find<QLineEdit>("DBEdit2")->end(false);
    type(find<QLineEdit>("DBEdit2"), "甲");
    EXPECT_EQ(session()->value("Name"), "李四甲");
}

TEST_F(ArchiveTest, TrailWindowShowsTheChangesNewestFirstAndExportsThem)
{
    text::setClock([] { return morning; });
    addRecords({{{"Bed", "1"}, {"Name", "张三"}, {"PresentIllness", "咳嗽3天"}}});
    dialogs.inputAnswers = {QStringLiteral("王建国 主治医师")};
    start();
    form1()->menuItem("Signature1")->trigger();
    session()->fill("PresentIllness", "咳嗽5天，发热");
    session()->post();
    dialogs.confirmAnswers = {true};
    form1()->menuItem("Archive1")->trigger();

    form1()->menuItem("History1")->trigger();
    TFormHistory *history = windows->formHistory();
    ASSERT_TRUE(history->isVisible());
    EXPECT_EQ(history->windowTitle(), "修改痕迹");
    EXPECT_EQ(history->objectName(), "TFormHistory");
    EXPECT_FALSE(form1()->isEnabled());
    const QString html = history->shownHtml();
    EXPECT_TRUE(html.contains("现病史：")) << html.toStdString();
    EXPECT_TRUE(html.contains("王建国 主治医师（" + trail::accountName() + "）"));
    EXPECT_TRUE(html.contains("2026-12-11 09:15:30"));
    // The changed part is marked, the common part is not.
    EXPECT_TRUE(
        html.contains("咳嗽<span style='background-color:#f4b6b6;text-decoration:line-through'>3天</span>"));
    EXPECT_TRUE(html.contains("咳嗽<span style='background-color:#b6e6b6'>5天，发热</span>"));
    // Newest first: the archiving, then the present illness, then the first post's fields.
    EXPECT_LT(html.indexOf("归档："), html.indexOf("现病史："));
    EXPECT_LT(html.indexOf("现病史："), html.indexOf("姓名："));

    history->setFilterColumn("Name");
    EXPECT_TRUE(history->shownHtml().contains("姓名："));
    EXPECT_FALSE(history->shownHtml().contains("现病史："));

    const QString pdf = dir.filePath("trail.pdf");
    dialogs.fileAnswers = {pdf};
    history->findChild<QPushButton *>("ExportButton")->click();
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("|").toStdString();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5).startsWith("%PDF-"));
    EXPECT_EQ(file.permissions() & (QFile::ReadGroup | QFile::ReadOther), QFileDevice::Permissions());
    if (!QStandardPaths::findExecutable("pdftotext").isEmpty()) {
        QProcess pdftotext;
        pdftotext.start("pdftotext", {pdf, "-"});
        pdftotext.waitForFinished(60000);
        const QString words = QString::fromUtf8(pdftotext.readAllStandardOutput());
        EXPECT_TRUE(words.contains("姓名")) << words.toStdString();
        EXPECT_FALSE(words.contains("现病史")); // the list as filtered
    }

    history->close();
    EXPECT_TRUE(form1()->isEnabled());
    EXPECT_TRUE(session()->isArchived()); // the viewer changed nothing
}

TEST_F(ArchiveTest, SignatureRefusesBadNamesWithAMessage)
{
    start();
    dialogs.inputAnswers = {QStringLiteral("王建国\n主治医师"), QString(101, u'王')};
    form1()->menuItem("Signature1")->trigger();
    form1()->menuItem("Signature1")->trigger();
    ASSERT_EQ(dialogs.errors.size(), 2);
    EXPECT_TRUE(dialogs.errors[0].contains("控制字符"));
    EXPECT_TRUE(dialogs.errors[1].contains("100"));
    EXPECT_EQ(session()->store()->displayName(), QString());
}

TEST_F(ArchiveTest, ClockBehindTheTrailIsToldOnceAtStart)
{
    text::setClock([] { return morning; });
    addRecords({{{"Bed", "1"}}});
    text::setClock([] { return morning.addSecs(-3600); });
    start();
    ASSERT_EQ(dialogs.informations.size(), 1);
    EXPECT_TRUE(dialogs.informations[0].contains("系统时钟")) << dialogs.informations[0].toStdString();

    EXPECT_EQ(trailcommands::clockWarning(QString(), morning), QString());
    EXPECT_EQ(trailcommands::clockWarning(text::isoDateTimeText(morning), morning), QString());
    EXPECT_EQ(trailcommands::clockWarning(QStringLiteral("2026-12-11T09:15:30+08:00"),
                                          QDateTime(QDate(2026, 12, 11), QTime(1, 15, 31), Qt::UTC)),
              QString());
    EXPECT_NE(trailcommands::clockWarning(QStringLiteral("2026-12-11T09:15:30+08:00"),
                                          QDateTime(QDate(2026, 12, 11), QTime(1, 15, 29), Qt::UTC)),
              QString());
}
