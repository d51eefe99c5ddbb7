// The generated-document window TForm7 and the Ctrl+G command that fills it, on a real
// encrypted store in a temporary folder, with the boxes answered by ScriptedDialogs.
#include "SmallDisk.h"
#include "documents/AdmissionRecord.h"
#include "documents/AdmissionRecordCommand.h"
#include "documents/DocumentEditorText.h"
#include "documents/TForm2.h"
#include "documents/TForm7.h"
#include "records/ColumnTable.h"
#include "records/PatientStore.h"
#include "records/RecordSession.h"
#include "records/SaveFileDialog.h"
#include "records/ScriptedDialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QString q(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QHash<int, QString> byIndex(const QHash<QString, QString> &values)
{
    QHash<int, QString> result;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        result.insert(columns::indexOf(it.key()), it.value());
    return result;
}

const QHash<QString, QString> &storedRecord()
{
    static const QHash<QString, QString> record{
        {"Bed", "12"},
        {"ID", "20060512"},
        {"Name", q("张三")},
        {"sex", q("男")},
        {"age", "45"},
        {"DoR", "2006-05-12 10:15:00"},
        {"complaint", q("反复咳嗽3年，加重1周。")},
        {"PresentIllness", q("患者3年前受凉后咳嗽，\r\n近1周加重。")},
        {"P", "80"},
        {"fuzhu", q("血常规：正常\r\n胸片：双肺纹理增粗")},
        {"diagnosis", q("1.慢性支气管炎\r\n2.高血压病")},
    };
    return record;
}

// A store with one record, its session, a stand-in main window carrying the caption
// labels, and the document window over it.
class DocumentWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        const QString path = m_dir.filePath("Quillcase.dat");
        PatientStore::create(path);
        m_store = PatientStore::open(path);
        m_store->insertRecord(byIndex(storedRecord()));
        m_session = std::make_unique<RecordSession>(m_store.get());
        m_session->open();

        const QHash<QString, QString> captions = documents::admissionLabelDefaults();
        for (const QString &name : documents::admissionLabelNames()) {
            if (name == QLatin1String("Label14"))
                continue; // a label the main window lacks takes its usual caption
            auto *label = new QLabel(captions.value(name), &m_main);
            label->setObjectName(name);
        }
        // A caption that differs from the usual one shows that the labels are read.
        m_main.findChild<QLabel *>("Label9")->setText(q("主  诉："));

        SecondaryWindow::setMainWindow(&m_main);
        m_form2 = std::make_unique<TForm2>(m_session.get());
        m_form7 = std::make_unique<TForm7>(&m_saveDialog, m_form2.get());
    }

    void TearDown() override
    {
        m_form7.reset();
        SecondaryWindow::setMainWindow(nullptr);
    }

    QTextEdit *editor() const { return m_form7->richEdit1(); }
    QAction *item(const char *name) const { return m_form7->findChild<QAction *>(QString::fromLatin1(name)); }

    void generate() { documents::generateAdmissionRecord(&m_main, m_session.get(), m_form7.get()); }

    // The editor's paragraphs, each whole.
    QStringList paragraphs() const
    {
        QStringList result;
        for (QTextBlock b = editor()->document()->begin(); b.isValid(); b = b.next())
            result << b.text();
        return result;
    }

    bool undoOffered()
    {
        m_form7->popupMenu1()->popup(QPoint(0, 0));
        const bool enabled = item("N9")->isEnabled();
        m_form7->popupMenu1()->hide();
        return enabled;
    }

    void typeKey(Qt::Key key, const QString &text)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(editor(), &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(editor(), &release);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<PatientStore> m_store;
    std::unique_ptr<RecordSession> m_session;
    QWidget m_main;
    ScriptedDialogs m_dialogs;
    SaveFileDialog m_saveDialog;
    std::unique_ptr<TForm2> m_form2;
    std::unique_ptr<TForm7> m_form7;
};

} // namespace

TEST_F(DocumentWindow, WindowLayout)
{
    EXPECT_EQ(m_form7->windowTitle(), q("入院记录"));
    EXPECT_EQ(m_form7->size(), QSize(522, 660));
    EXPECT_EQ(m_form7->minimumSize(), m_form7->maximumSize()) << "fixed size";
    EXPECT_FALSE(m_form7->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(editor()->geometry(), QRect(0, 0, 522, 633));
    EXPECT_TRUE(editor()->acceptRichText());
    EXPECT_EQ(editor()->lineWrapMode(), QTextEdit::WidgetWidth);
    EXPECT_EQ(editor()->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(editor()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(editor()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(editor()->palette().color(QPalette::Base), QColor(192, 192, 192));
    EXPECT_EQ(editor()->palette().color(QPalette::Text), QColor(Qt::black));
    EXPECT_EQ(editor()->palette().color(QPalette::Inactive, QPalette::Highlight),
              editor()->palette().color(QPalette::Active, QPalette::Highlight))
        << "the selection stays visible without the focus";
    EXPECT_EQ(editor()->font().family(), "Verdana");
    EXPECT_EQ(editor()->font().pixelSize(), 14);
    EXPECT_EQ(editor()->viewport()->cursor().shape(), Qt::ArrowCursor);

    // Three buttons in one row at the bottom right: 另存为, 打印预览, 关闭.
    const char *names[] = {"Button3", "Button1", "Button2"};
    const QString captions[] = {q("另存为"), q("打印预览"), q("关闭")};
    int left = 0;
    for (int i = 0; i < 3; ++i) {
        const auto *button = m_form7->findChild<QPushButton *>(names[i]);
        ASSERT_NE(button, nullptr) << names[i];
        EXPECT_EQ(button->text(), captions[i]);
        EXPECT_GT(button->x(), left);
        EXPECT_GE(button->y(), 633);
        EXPECT_LE(button->geometry().bottom(), 659);
        left = button->geometry().right();
    }
    EXPECT_LE(left, 521);
    EXPECT_GT(left, 500) << "right-aligned";
}

TEST_F(DocumentWindow, ContextMenuItemsInOrder)
{
    struct Item
    {
        const char *name;
        const char *caption;
        QKeySequence shortcut;
    };
    const Item expected[] = {
        {"N9", "撤销", {}},
        {"N1", "全选", QKeySequence(Qt::CTRL | Qt::Key_A)},
        {"N8", "剪切", QKeySequence(Qt::CTRL | Qt::Key_X)},
        {"N3", "复制", QKeySequence(Qt::CTRL | Qt::Key_C)},
        {"N5", "粘贴", QKeySequence(Qt::CTRL | Qt::Key_V)},
        {"N7", "------------------", {}},
        {"N4", "字体", {}},
        {nullptr, "信息", {}}, // the submenu N6
        {"N10", "------------------", {}},
        {"rtf1", "另存为(*.rtf)", {}},
        {"N2", "打印预览", {}},
    };
    const QList<QAction *> actions = m_form7->popupMenu1()->actions();
    ASSERT_EQ(actions.size(), qsizetype(std::size(expected)));
    for (qsizetype i = 0; i < actions.size(); ++i) {
        const Item &e = expected[i];
        const QAction *action = actions.at(i);
        SCOPED_TRACE(e.caption);
        EXPECT_EQ(action->text(), q(e.caption));
        EXPECT_FALSE(action->isSeparator());
        EXPECT_EQ(action->shortcut(), e.shortcut);
        if (e.name) {
            EXPECT_EQ(action->objectName(), e.name);
        }
        if (!e.shortcut.isEmpty()) {
            // The keys act while the editor has the focus.
            EXPECT_EQ(action->shortcutContext(), Qt::WidgetWithChildrenShortcut);
            EXPECT_TRUE(action->associatedObjects().contains(editor()));
        }
    }
    const QMenu *info = actions.at(7)->menu();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->objectName(), "N6");
    ASSERT_EQ(info->actions().size(), 2);
    EXPECT_EQ(info->actions().at(0)->objectName(), "ShowCurrentPosition");
    EXPECT_EQ(info->actions().at(0)->text(), q("光标坐标"));
    EXPECT_EQ(info->actions().at(1)->objectName(), "LineHeight");
    EXPECT_EQ(info->actions().at(1)->text(), q("行高"));

    // A divider is an item that does nothing when chosen.
    editor()->setPlainText("abc");
    item("N7")->trigger();
    item("N10")->trigger();
    EXPECT_EQ(editor()->toPlainText(), "abc");
    EXPECT_TRUE(m_dialogs.informations.isEmpty());
}

TEST_F(DocumentWindow, GenerationFromTheSessionDisablesMainWindowUntilClosed)
{
    m_main.show();
    generate();

    EXPECT_EQ(m_session->state(), RecordSession::State::Browse) << "generation only reads";
    EXPECT_TRUE(m_form7->isVisible());
    EXPECT_FALSE(m_main.isEnabled());

    QHash<QString, QString> captions = documents::admissionLabelDefaults();
    captions.insert("Label9", q("主  诉："));
    const QStringList lines = documents::admissionRecordLines(storedRecord(), captions);
    EXPECT_EQ(paragraphs(), documents::admissionEditorText(lines).split("\r\n"));
    EXPECT_TRUE(paragraphs().at(0).startsWith(q("    姓名：张三")));
    EXPECT_EQ(paragraphs().at(5), q("    主  诉：反复咳嗽3年，加重1周。"));
    EXPECT_TRUE(paragraphs().contains(QString(26, ' ') + q("入院诊断："))) << "missing label, usual caption";
    EXPECT_TRUE(paragraphs().contains(q("胸片：双肺纹理增粗"))) << "the auxiliary block keeps its lines";
    EXPECT_EQ(editor()->textCursor().position(), 0);

    m_form7->Button2Click();
    EXPECT_FALSE(m_form7->isVisible());
    EXPECT_TRUE(m_main.isEnabled());
    EXPECT_EQ(paragraphs().at(5), q("    主  诉：反复咳嗽3年，加重1周。")) << "the text stays when hidden";
}

TEST_F(DocumentWindow, UnsavedEditsReachTheDocumentAndStayUnsaved)
{
    generate();
    editor()->textCursor().insertText(q("医生的修改"));
    m_form7->close(); // the close box
    EXPECT_TRUE(m_main.isEnabled());

    m_session->userChange(columns::indexOf("Name"), q("李四"));
    generate();
    EXPECT_TRUE(paragraphs().at(0).startsWith(q("    姓名：李四")));
    EXPECT_FALSE(editor()->toPlainText().contains(q("医生的修改"))) << "a new document replaces the old";
    EXPECT_EQ(m_session->state(), RecordSession::State::Edit);
    EXPECT_EQ(m_store->loadRecord(m_store->loadList().at(0).rowId).at(columns::indexOf("Name")), q("张三"))
        << "nothing is stored";
}

TEST_F(DocumentWindow, UndoOfferedOnlyAfterAnEdit)
{
    generate();
    EXPECT_FALSE(undoOffered()) << "putting a document in is not undoable";
    EXPECT_TRUE(item("N1")->isEnabled());

    editor()->moveCursor(QTextCursor::End);
    typeKey(Qt::Key_X, "x");
    EXPECT_TRUE(editor()->toPlainText().endsWith('x'));
    EXPECT_TRUE(undoOffered());

    item("N9")->trigger();
    EXPECT_FALSE(editor()->toPlainText().endsWith('x'));

    // A second generation empties the history again.
    typeKey(Qt::Key_Y, "y");
    m_form7->close();
    generate();
    EXPECT_FALSE(undoOffered());
}

TEST_F(DocumentWindow, ClipboardCommands)
{
    m_form7->showDocument(q("甲乙丙\r\n丁"));
    item("N1")->trigger();
    EXPECT_EQ(editor()->textCursor().selectedText(), q("甲乙丙") + QChar::ParagraphSeparator + q("丁"));

    QTextCursor cursor = editor()->textCursor();
    cursor.setPosition(0);
    cursor.setPosition(2, QTextCursor::KeepAnchor);
    editor()->setTextCursor(cursor);
    item("N3")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), q("甲乙"));
    item("N8")->trigger();
    EXPECT_EQ(editor()->toPlainText(), q("丙\n丁"));
    editor()->moveCursor(QTextCursor::End);
    item("N5")->trigger();
    EXPECT_EQ(editor()->toPlainText(), q("丙\n丁甲乙"));
}

TEST_F(DocumentWindow, CaretPositionCountsDisplayLines)
{
    // A paragraph far wider than the window, so that it wraps over several lines.
    QString longParagraph;
    for (int i = 0; i < 12; ++i)
        longParagraph += q("双肺呼吸音清，未闻及干湿罗音。");
    m_form7->showDocument(q("    姓名：张三\r\n") + longParagraph + q("\r\n末行"));
    const int second = editor()->document()->findBlockByNumber(1).position();

    auto caretMessage = [&](int position) {
        QTextCursor cursor = editor()->textCursor();
        cursor.setPosition(position);
        editor()->setTextCursor(cursor);
        m_dialogs.informations.clear();
        item("ShowCurrentPosition")->trigger();
        return m_dialogs.informations.value(0);
    };
    // The display line and its start as the editor's own cursor movement finds them.
    auto expectedByMovement = [&](int position) {
        QTextCursor cursor(editor()->document());
        cursor.setPosition(position);
        QTextCursor start = cursor;
        start.movePosition(QTextCursor::StartOfLine);
        int line = 0;
        while (cursor.movePosition(QTextCursor::Up))
            ++line;
        return q("Line:%1，Column:%2").arg(line).arg(position - start.position());
    };

    EXPECT_EQ(caretMessage(0), q("Line:0，Column:0"));
    EXPECT_EQ(caretMessage(4), q("Line:0，Column:4")) << "after the indent of the first line";
    EXPECT_EQ(caretMessage(second + 3), q("Line:1，Column:3"));
    // Inside the second display line of the wrapped paragraph: the line counts the
    // wrap and the column starts at the display line, not at the paragraph.
    const int wrapped = second + 45;
    ASSERT_GT(editor()->document()->findBlockByNumber(1).layout()->lineCount(), 2);
    EXPECT_EQ(caretMessage(wrapped),
              q("Line:2，Column:%1")
                  .arg(45 - editor()->document()->findBlockByNumber(1).layout()->lineAt(1).textStart()));
    EXPECT_EQ(caretMessage(wrapped), expectedByMovement(wrapped));
    const int last = editor()->document()->lastBlock().position() + 1;
    EXPECT_EQ(caretMessage(last), expectedByMovement(last));

    // With a selection the caret is its start.
    QTextCursor cursor = editor()->textCursor();
    cursor.setPosition(second + 3);
    cursor.setPosition(1, QTextCursor::KeepAnchor);
    editor()->setTextCursor(cursor);
    m_dialogs.informations.clear();
    item("ShowCurrentPosition")->trigger();
    EXPECT_EQ(m_dialogs.informations, QStringList{q("Line:0，Column:1")});
}

TEST_F(DocumentWindow, LineHeightCountsInternalLeadingTwice)
{
    auto expected = [](const QFont &font) {
        const QFontMetrics metrics(font);
        const int cell = metrics.ascent() + metrics.descent();
        return cell + std::max(0, cell - QFontInfo(font).pixelSize());
    };
    item("LineHeight")->trigger();
    ASSERT_EQ(m_dialogs.informations.size(), 1);
    EXPECT_EQ(m_dialogs.informations.at(0), QString::number(expected(editor()->font())));
    EXPECT_GE(m_dialogs.informations.at(0).toInt(), QFontMetrics(editor()->font()).height());

    QFont bigger(QStringLiteral("Noto Sans CJK SC"));
    bigger.setPixelSize(30);
    m_dialogs.fontAnswers.push_back(bigger);
    item("N4")->trigger();
    item("LineHeight")->trigger();
    ASSERT_EQ(m_dialogs.informations.size(), 2);
    EXPECT_EQ(m_dialogs.informations.at(1), QString::number(expected(bigger)));
    EXPECT_GT(m_dialogs.informations.at(1).toInt(), m_dialogs.informations.at(0).toInt());
}

TEST_F(DocumentWindow, ChosenFontStaysForLaterDocumentsAndPastedFormatsDoNot)
{
    m_form7->showDocument(q("第一份"));
    // Formatting pasted into the document (a red, large run) ...
    QTextCursor all(editor()->document());
    all.select(QTextCursor::Document);
    QTextCharFormat pasted;
    pasted.setForeground(Qt::red);
    pasted.setFontPointSize(30);
    all.mergeCharFormat(pasted);
    editor()->setTextCursor(all);

    m_dialogs.fontAnswers.push_back(std::nullopt); // cancel changes nothing
    item("N4")->trigger();
    EXPECT_EQ(editor()->font().family(), "Verdana");

    QFont kai(QStringLiteral("AR PL UKai CN"));
    kai.setPixelSize(20);
    m_dialogs.fontAnswers.push_back(kai);
    item("N4")->trigger();
    EXPECT_EQ(editor()->font().family(), "AR PL UKai CN");
    EXPECT_EQ(editor()->document()->defaultFont().family(), "AR PL UKai CN");

    m_form7->close();
    generate();
    // ... does not reach the next document, which shows wholly in the chosen font.
    for (QTextBlock b = editor()->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            ASSERT_FALSE(format.hasProperty(QTextFormat::ForegroundBrush));
            ASSERT_FALSE(format.hasProperty(QTextFormat::FontPointSize));
            ASSERT_FALSE(format.hasProperty(QTextFormat::FontFamilies));
        }
    EXPECT_EQ(editor()->currentFont().family(), "AR PL UKai CN");

    // The saved file carries the chosen font.
    const QString path = m_dir.filePath("font.rtf");
    m_dialogs.fileAnswers.push_back(path);
    m_form7->rtf1Click();
    EXPECT_TRUE(readAll(path).contains("AR PL UKai CN"));
}

TEST_F(DocumentWindow, SaveAsRtf)
{
    generate();
    const QString original = editor()->toPlainText();

    // A new name without an extension: written as named, no question, RTF inside.
    const QString plain = m_dir.filePath("record");
    m_dialogs.fileAnswers.push_back(plain);
    m_form7->rtf1Click();
    EXPECT_TRUE(m_dialogs.confirmations.isEmpty());
    EXPECT_TRUE(readAll(plain).startsWith("{\\rtf1"));
    EXPECT_FALSE(QFile::exists(plain + ".rtf"));

    // An existing file: Cancel leaves it untouched, OK replaces it.
    const QString existing = m_dir.filePath("old.rtf");
    writeAll(existing, "old content");
    m_dialogs.fileAnswers.push_back(existing);
    m_dialogs.confirmAnswers.push_back(false);
    item("rtf1")->trigger();
    EXPECT_EQ(m_dialogs.confirmations, QStringList{q("文件已存在,覆盖?")});
    EXPECT_EQ(readAll(existing), "old content");
    EXPECT_EQ(m_dialogs.fileInitialNames.last(), plain) << "the shared dialog opens with the last name";

    m_dialogs.fileAnswers.push_back(existing);
    m_dialogs.confirmAnswers.push_back(true);
    m_form7->findChild<QPushButton *>("Button3")->click();
    EXPECT_EQ(m_dialogs.confirmations.size(), 2);
    EXPECT_TRUE(readAll(existing).startsWith("{\\rtf1"));
    EXPECT_TRUE(readAll(existing).contains("\\ansicpg936"));

    // Cancelling the chooser does nothing.
    m_form7->rtf1Click();
    EXPECT_EQ(m_dialogs.confirmations.size(), 2);

    // A folder that does not exist: the error box, and the editor keeps its text.
    m_dialogs.fileAnswers.push_back(m_dir.filePath("missing/record.rtf"));
    m_form7->rtf1Click();
    ASSERT_EQ(m_dialogs.errors.size(), 1);
    EXPECT_FALSE(m_dialogs.errors.at(0).isEmpty());
    EXPECT_EQ(editor()->toPlainText(), original);
    EXPECT_TRUE(m_form7->isVisible());
}

TEST(DocumentEditorText, ReportBodyTakesParagraphsWhole)
{
    QTextDocument document;
    documents::replaceDocumentText(document, QString::fromUtf8("第一行\r\n\r\n第三行\n末行"));
    EXPECT_EQ(document.blockCount(), 4);
    EXPECT_EQ(documents::reportBodyText(document), QString::fromUtf8("第一行\r\n\r\n第三行\r\n末行\r\n"));

    // A line break typed inside a paragraph prints as a break; a pasted picture's
    // placeholder prints as nothing.
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QString(QChar::LineSeparator) + QString::fromUtf8("续"));
    cursor.insertImage(QStringLiteral("missing.png"));
    EXPECT_TRUE(documents::reportBodyText(document).endsWith(QString::fromUtf8("末行\r\n续\r\n")));

    // An empty document still gives one (empty) paragraph.
    documents::replaceDocumentText(document, QString());
    EXPECT_EQ(documents::reportBodyText(document), "\r\n");
    EXPECT_FALSE(document.isUndoAvailable());
}

TEST_F(DocumentWindow, RtfIsOwnerOnlyAndAFullDiskKeepsTheOldFile)
{
    generate();
    const QString fresh = m_dir.filePath("fresh.rtf");
    m_dialogs.fileAnswers.push_back(fresh);
    m_form7->rtf1Click();
    struct stat info;
    ASSERT_EQ(::stat(QFile::encodeName(fresh).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);

    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason().toStdString();
    const QString existing = disk.filePath("入院记录.rtf");
    writeAll(existing, "{\\rtf1 old}");
    disk.fill();
    m_dialogs.fileAnswers.push_back(existing);
    m_dialogs.confirmAnswers.push_back(true); // "文件已存在,覆盖?"
    m_form7->rtf1Click();
    ASSERT_EQ(m_dialogs.errors.size(), 1);
    EXPECT_TRUE(m_dialogs.errors.first().contains(existing)) << m_dialogs.errors.first().toStdString();
    EXPECT_TRUE(m_dialogs.errors.first().contains(q("磁盘空间不足")))
        << m_dialogs.errors.first().toStdString();
    EXPECT_EQ(readAll(existing), QByteArray("{\\rtf1 old}"));
    EXPECT_EQ(disk.entries(), QStringList{q("入院记录.rtf")});
}
