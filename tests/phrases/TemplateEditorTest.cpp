#include "phrases/TemplateEditor.h"
#include "PhraseTestFolder.h"
#include "SmallDisk.h"
#include "phrases/PhraseMemo.h"
#include "phrases/TemplateEditorTab.h"
#include "records/ErrorBox.h"
#include "records/FileListBox.h"
#include "records/ScriptedDialogs.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextBlock>
#include <unistd.h>

namespace {
const QString kPresent = QStringLiteral("发热\r\n咳嗽咳痰\r\n");
const QString kPast = QStringLiteral("  \t否认肝炎、结核病史\t  \r\n高血压病史10年");
} // namespace

// The right-hand page control with the template editor as its third tab.
class TemplateEditorTest : public PhraseTestFolder
{
protected:
    void SetUp() override
    {
        PhraseTestFolder::SetUp();
        m_tabs.addTab(new QWidget, QStringLiteral("病人管理"));
        m_tabs.addTab(new QWidget, QStringLiteral("体格检查"));
        m_tab = new TemplateEditorTab;
        m_tabs.addTab(m_tab, TemplateEditorTab::caption());
        m_editor = new TemplateEditor(m_tab, &m_tabs);
        QObject::connect(m_editor, &TemplateEditor::phraseChosen,
                         [this](const QString &line) { m_chosen << line; });
        m_tabs.resize(500, 600);
        m_tabs.show();
        m_tabs.setCurrentIndex(0);
    }

    QString memoText() const { return m_tab->Memo4()->toPlainText(); }

    // Opens a field's phrase file the way the field's double-click handler does.
    bool openForField(const QString &key, const QString &name)
    {
        return runHandler([&] { m_editor->OpenPhraseFile(key, name); });
    }

    // Double-clicks in the editor on the character at a position of its text.
    void doubleClickMemoAt(int position)
    {
        m_tabs.setCurrentWidget(m_tab);
        QCoreApplication::processEvents();
        QTextCursor cursor(m_tab->Memo4()->document());
        cursor.setPosition(position);
        const QRect rect = m_tab->Memo4()->cursorRect(cursor);
        doubleClick(m_tab->Memo4()->viewport(), QPoint(rect.left() + 3, rect.center().y()));
    }

    QPoint listItemPoint(const QString &name)
    {
        m_tabs.setCurrentWidget(m_tab);
        QCoreApplication::processEvents();
        const auto items = m_tab->FileListBox1()->findItems(name, Qt::MatchExactly);
        EXPECT_EQ(items.size(), 1) << name.toStdString();
        return items.isEmpty() ? QPoint() : m_tab->FileListBox1()->visualItemRect(items.front()).center();
    }

    QStringList listedNames() const
    {
        QStringList names;
        for (int i = 0; i < m_tab->FileListBox1()->count(); ++i)
            names << m_tab->FileListBox1()->item(i)->text();
        return names;
    }

    ScriptedDialogs m_dialogs;
    QTabWidget m_tabs;
    TemplateEditorTab *m_tab = nullptr;
    TemplateEditor *m_editor = nullptr;
    QStringList m_chosen;
};

TEST_F(TemplateEditorTest, TabHoldsItsNamedControls)
{
    EXPECT_EQ(m_tab->objectName(), "TabSheet10");
    EXPECT_EQ(m_tabs.tabText(2), "模板编辑");
    EXPECT_EQ(m_tab->findChild<PhraseMemo *>("Memo4"), m_tab->Memo4());
    EXPECT_EQ(m_tab->findChild<FileListBox *>("FileListBox1"), m_tab->FileListBox1());
    EXPECT_EQ(m_tab->findChild<QLabel *>("Label73")->text(), "模板文件：");
    EXPECT_NE(m_tab->findChild<QLineEdit *>("Edit1"), nullptr);
    EXPECT_EQ(m_tab->findChild<QPushButton *>("Button2")->text(), "Save");
    EXPECT_EQ(m_tab->FileListBox1()->mask(), "*.txt");
    const PhraseMemo *memo = m_tab->Memo4();
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(memo->font().pixelSize(), 12);
    EXPECT_EQ(memo->frameShape(), QFrame::NoFrame);
    EXPECT_FALSE(memo->isReadOnly());
}

TEST_F(TemplateEditorTest, OpenPhraseFileShowsTheFileAndListFileKeepsTheTarget)
{
    writeBytes("PresentIllness.txt", gbk(kPresent));
    writeBytes("pasthistory.txt", gbk(kPast));
    writeBytes("notes.TXT", "x");
    writeBytes(".hidden.txt", "x");
    writeBytes("readme.md", "x");

    ASSERT_TRUE(openForField("presenthistory", "PresentIllness.txt"));
    EXPECT_EQ(text::shared().phraseTarget, "presenthistory");
    EXPECT_EQ(m_tab->Edit1()->text(), "PresentIllness.txt");
    EXPECT_EQ(memoText(), QStringLiteral("发热\n咳嗽咳痰\n"));
    EXPECT_EQ(m_tabs.currentIndex(), 2);
    EXPECT_EQ(listedNames(), (QStringList{"PresentIllness.txt", "pasthistory.txt"}));

    // Double-clicking pasthistory.txt in the list shows it; the click puts its full path in the box.
    doubleClick(m_tab->FileListBox1()->viewport(), listItemPoint("pasthistory.txt"));
    EXPECT_EQ(m_tab->Edit1()->text(), dataPath("pasthistory.txt"));
    EXPECT_EQ(memoText(), QStringLiteral("  \t否认肝炎、结核病史\t  \n高血压病史10年"));
    EXPECT_EQ(text::shared().phraseTarget, "presenthistory");

    // A double-click on a phrase line offers the stored line, untrimmed, for the old target.
    doubleClickMemoAt(5);
    ASSERT_EQ(m_chosen.size(), 1);
    EXPECT_EQ(m_chosen.front(), QStringLiteral("  \t否认肝炎、结核病史\t  "));
    EXPECT_TRUE(m_dialogs.errors.isEmpty()) << m_dialogs.errors.join("|").toStdString();
}

TEST_F(TemplateEditorTest, MissingPhraseFileLeavesTheFirstStepsDone)
{
    writeBytes("Occupation.txt", gbk("农民\r\n"));
    ASSERT_TRUE(openForField("occupation", "Occupation.txt"));
    m_tabs.setCurrentIndex(0);

    EXPECT_FALSE(openForField("minzu", "minzu.txt"));
    ASSERT_EQ(m_dialogs.errors.size(), 1);
    EXPECT_TRUE(m_dialogs.errors.front().contains(dataPath("minzu.txt")))
        << m_dialogs.errors.front().toStdString();
    EXPECT_EQ(text::shared().phraseTarget, "minzu");
    EXPECT_EQ(memoText(), QString());
    EXPECT_EQ(m_tab->Edit1()->text(), "minzu.txt");
    EXPECT_EQ(m_tabs.currentIndex(), 0);

    // Saving from here starts the missing file in the data folder.
    m_tab->Memo4()->setPlainText(QStringLiteral("汉族\n回族\n"));
    m_tab->Button2()->click();
    EXPECT_EQ(readBytes(dataPath("minzu.txt")), gbk("汉族\r\n回族\r\n"));
    EXPECT_EQ(m_dialogs.errors.size(), 1);
}

TEST_F(TemplateEditorTest, PhraseChoiceNeedsATargetAndTakesTheWholeStoredLine)
{
    const QString longPhrase = QString(200, QChar(0x75DB)); // wraps over several display lines
    writeBytes("diagnosis.txt", gbk("冠心病\r\n" + longPhrase + "\r\n"));

    // Before any field opened the editor, a double-click offers nothing.
    m_tab->FileListBox1()->setDirectory(text::shared().dataFolder());
    m_tab->Memo4()->setPlainText(QStringLiteral("冠心病\n"));
    doubleClickMemoAt(1);
    EXPECT_TRUE(m_chosen.isEmpty());

    ASSERT_TRUE(openForField("diagnosis", "diagnosis.txt"));
    ASSERT_GT(m_tab->Memo4()->document()->findBlockByNumber(1).layout()->lineCount(), 1);
    doubleClickMemoAt(4 + 150); // inside the third or fourth display line of the long phrase
    doubleClickMemoAt(m_tab->Memo4()->document()->characterCount() - 1); // below the last line
    EXPECT_EQ(m_chosen, (QStringList{longPhrase, QString()}));
}

TEST_F(TemplateEditorTest, SingleClickOnAnotherFileThenSaveWritesTheShownText)
{
    writeBytes("a.txt", gbk("甲\r\n乙\r\n"));
    writeBytes("b.txt", gbk("丙"));
    m_editor->OpenPhraseFolder();
    doubleClick(m_tab->FileListBox1()->viewport(), listItemPoint("a.txt"));
    click(m_tab->FileListBox1()->viewport(), listItemPoint("b.txt"));
    EXPECT_EQ(m_tab->Edit1()->text(), dataPath("b.txt"));
    EXPECT_EQ(memoText(), QStringLiteral("甲\n乙\n"));
    m_tab->Button2()->click();
    EXPECT_EQ(readBytes(dataPath("b.txt")), gbk("甲\r\n乙\r\n"));
    EXPECT_TRUE(m_dialogs.errors.isEmpty());
}

TEST_F(TemplateEditorTest, SaveWritesTheTextExactlyWithCrLf)
{
    struct Case
    {
        const char *what;
        QByteArray stored;
        QByteArray saved;
    };
    const Case cases[] = {
        {"final break kept", gbk("一\r\n二\r\n"), gbk("一\r\n二\r\n")},
        {"no final break", gbk("一\r\n二"), gbk("一\r\n二")},
        {"LF and CR written as CR LF", gbk("一\n二\r三\n"), gbk("一\r\n二\r\n三\r\n")},
        {"empty lines and blanks kept", gbk("  a \r\n\r\n\t\r\n"), gbk("  a \r\n\r\n\t\r\n")},
        {"empty file", QByteArray(), QByteArray()},
        {"no-break space kept", gbk(QString(QChar(0xA0)) + "x"), gbk(QString(QChar(0xA0)) + "x")},
    };
    for (const Case &c : cases) {
        writeBytes("Pripro3.txt", c.stored);
        ASSERT_TRUE(openForField("Pripro3", "Pripro3.txt")) << c.what;
        m_tab->Button2()->click();
        EXPECT_EQ(readBytes(dataPath("Pripro3.txt")), c.saved) << c.what;
    }
    // A new bare name creates the file in the data folder; it is listed at the next opening.
    m_tab->Edit1()->setText("new.txt");
    m_tab->Button2()->click();
    EXPECT_FALSE(listedNames().contains("new.txt"));
    ASSERT_TRUE(openForField("Pripro3", "Pripro3.txt"));
    EXPECT_TRUE(listedNames().contains("new.txt"));
    EXPECT_TRUE(m_dialogs.errors.isEmpty());
}

TEST_F(TemplateEditorTest, FailedSaveKeepsTheOldFileAndTheEditorText)
{
    writeBytes("keep.txt", gbk("旧内容\r\n"));
    writeBytes("plain", "x");
    const bool permissionsBind = geteuid() != 0; // root writes through read-only bits

    struct Case
    {
        const char *what;
        QString name;
        bool applies;
    };
    const Case cases[] = {
        {"missing folder", m_dir.path() + "/nowhere/keep.txt", true},
        {"folder that is a file", dataPath("plain/keep.txt"), true},
        {"empty name", "", true},
        {"name of a folder", m_dir.path() + "/data", true},
        {"read-only file", dataPath("keep.txt"), permissionsBind},
    };
    QFile::setPermissions(dataPath("keep.txt"), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    for (const Case &c : cases) {
        if (!c.applies)
            continue;
        m_dialogs.errors.clear();
        m_tab->Memo4()->setPlainText(QStringLiteral("新内容"));
        m_tab->Edit1()->setText(c.name);
        m_tab->Button2()->click();
        EXPECT_EQ(m_dialogs.errors.size(), 1) << c.what;
        EXPECT_EQ(memoText(), QStringLiteral("新内容")) << c.what;
        EXPECT_EQ(m_tab->Edit1()->text(), c.name) << c.what;
        EXPECT_EQ(readBytes(dataPath("keep.txt")), gbk("旧内容\r\n")) << c.what;
    }
    QFile::setPermissions(dataPath("keep.txt"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TEST_F(TemplateEditorTest, ListClickFillsTheBoxAndRereadingDoesNot)
{
    writeBytes("a.txt", "a");
    m_editor->OpenPhraseFolder();
    click(m_tab->FileListBox1()->viewport(), listItemPoint("a.txt"));
    EXPECT_EQ(m_tab->Edit1()->text(), dataPath("a.txt"));
    // No file selected: the box becomes empty.
    m_tab->FileListBox1()->clearSelection();
    EXPECT_EQ(m_tab->Edit1()->text(), QString());
    click(m_tab->FileListBox1()->viewport(), listItemPoint("a.txt"));

    // The user types a name; another reader of the folder re-reads the list.
    m_tab->Edit1()->setText("typed.txt");
    writeBytes("b.txt", "b");
    m_editor->OpenPhraseFolder();
    EXPECT_EQ(listedNames(), (QStringList{"a.txt", "b.txt"}));
    EXPECT_EQ(m_tab->Edit1()->text(), "typed.txt");
}

TEST_F(TemplateEditorTest, UnreadableListFileKeepsTheEditorText)
{
    writeBytes("gone.txt", "x");
    m_editor->OpenPhraseFolder();
    m_tab->Memo4()->setPlainText(QStringLiteral("正在编辑"));
    const QPoint at = listItemPoint("gone.txt");
    QFile::remove(dataPath("gone.txt"));
    doubleClick(m_tab->FileListBox1()->viewport(), at);
    ASSERT_EQ(m_dialogs.errors.size(), 1);
    EXPECT_TRUE(m_dialogs.errors.front().contains(dataPath("gone.txt")));
    EXPECT_EQ(memoText(), QStringLiteral("正在编辑"));
}

TEST_F(TemplateEditorTest, TenMegabyteFileOpensQuickly)
{
    QByteArray big;
    const QByteArray line =
        gbk(QStringLiteral("患者于入院前3天受凉后出现发热，体温最高39.5℃，伴咳嗽、咳黄痰。\r\n"));
    while (big.size() < 10 * 1024 * 1024)
        big += line;
    writeBytes("PresentIllness.txt", big);
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(openForField("presenthistory", "PresentIllness.txt"));
    QCoreApplication::processEvents();
    EXPECT_LT(timer.elapsed(), 10000);
    EXPECT_EQ(m_tab->Memo4()->blockCount(), big.size() / line.size() + 1);
    timer.restart();
    doubleClickMemoAt(m_tab->Memo4()->document()->characterCount() - 5);
    EXPECT_LT(timer.elapsed(), 2000);
    ASSERT_EQ(m_chosen.size(), 1);
}

TEST_F(TemplateEditorTest, SaveOnAFullDiskShowsTheErrorAndKeepsTheOldFile)
{
    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason().toStdString();
    const QString target = disk.filePath(QStringLiteral("complaints.txt"));
    const QByteArray old = gbk("发热\r\n咳嗽\r\n");
    {
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(old);
    }
    disk.fill();
    m_tab->Memo4()->setPlainText(QString(2000, u'喘'));
    m_tab->Edit1()->setText(target);
    m_tab->Button2()->click();
    ASSERT_EQ(m_dialogs.errors.size(), 1);
    EXPECT_TRUE(m_dialogs.errors.first().contains(target)) << m_dialogs.errors.first().toStdString();
    EXPECT_TRUE(m_dialogs.errors.first().contains(QStringLiteral("磁盘空间不足")))
        << m_dialogs.errors.first().toStdString();
    EXPECT_EQ(readBytes(target), old);
    EXPECT_EQ(disk.entries(), QStringList{QStringLiteral("complaints.txt")});
    EXPECT_EQ(memoText(), QString(2000, u'喘'));
}
