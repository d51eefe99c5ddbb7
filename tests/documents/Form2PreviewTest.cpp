// The print preview of the document window: N2Click fills the report form TForm2 from
// the editor, the department and the current record, and opens the preview dialog.
// The report it builds is printed to PDF and read back with pdftotext.
#include "documents/ReportFileName.h"
#include "documents/TForm2.h"
#include "documents/TForm7.h"
#include "records/ColumnTable.h"
#include "records/PatientStore.h"
#include "records/RecordSession.h"
#include "records/SaveFileDialog.h"
#include "records/ScriptedDialogs.h"
#include "text/SharedValues.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QString q(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// The pages of a PDF as pdftotext lays them out.
QStringList pdfPages(const QString &pdf)
{
    QProcess process;
    process.start("pdftotext", {"-layout", "-enc", "UTF-8", pdf, "-"});
    EXPECT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split('\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// The body of all pages run together without the header lines and blanks, so that a
// paragraph can be followed over its line and page breaks.
QString bodyText(const QStringList &pages)
{
    QString body;
    for (const QString &page : pages)
        for (const QString &line : page.split('\n'))
            if (!line.contains(q("住院号")) && !line.contains(q("科别：")) && !line.contains(q("入  院")))
                body += line;
    return body.remove(QRegularExpression("\\s"));
}

// What the preview dialog showed, seen from inside it while it runs.
struct PreviewSeen
{
    bool shown = false;
    int pages = 0;
};

class PrintPreview : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        const QString path = m_dir.filePath("Quillcase.dat");
        PatientStore::create(path);
        m_store = PatientStore::open(path);
        m_store->insertRecord({{columns::indexOf("Bed"), "3"}, {columns::indexOf("ID"), "A0417"}});
        m_session = std::make_unique<RecordSession>(m_store.get());
        m_session->open();
        m_form2 = std::make_unique<TForm2>(m_session.get(), &m_saveDialog);
        m_form7 = std::make_unique<TForm7>(&m_saveDialog, m_form2.get());
        m_savedDepartment = text::shared().departmentName;
    }

    void TearDown() override { text::shared().departmentName = m_savedDepartment; }

    // Runs the handler; the preview dialog it opens is looked at and closed.
    PreviewSeen runPreview(const std::function<void()> &handler,
                           const std::function<void(QPrintPreviewDialog *)> &inside = {})
    {
        PreviewSeen seen;
        QTimer poll;
        int attempts = 0;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto *dialog = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget());
            if (dialog) {
                seen.shown = true;
                if (auto *widget = dialog->findChild<QPrintPreviewWidget *>())
                    seen.pages = widget->pageCount();
                if (inside)
                    inside(dialog);
                dialog->reject();
            }
            if (dialog || ++attempts > 200)
                poll.stop();
        });
        poll.start(50);
        handler();
        poll.stop();
        return seen;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<PatientStore> m_store;
    std::unique_ptr<RecordSession> m_session;
    ScriptedDialogs m_dialogs;
    SaveFileDialog m_saveDialog;
    std::unique_ptr<TForm2> m_form2;
    std::unique_ptr<TForm7> m_form7;
    QString m_savedDepartment;
};

} // namespace

TEST_F(PrintPreview, ReportHoldsDepartmentAdmissionNumberAndWholeParagraphs)
{
    // A paragraph far longer than 4096 bytes and than a page, which the window wraps
    // into many lines; numbered sentences show any lost piece.
    QString paragraph = q("长段开始");
    for (int i = 1; i <= 400; ++i)
        paragraph += q("第%1句，双肺呼吸音清。").arg(i, 3, 10, QLatin1Char('0'));
    paragraph += q("长段结束");
    m_form7->showDocument(q("    姓名：张三\r\n") + paragraph + q("\r\n末行"));
    text::shared().departmentName = q("呼吸内科");

    const PreviewSeen seen = runPreview([&] { m_form7->N2Click(); });
    EXPECT_TRUE(seen.shown) << "the preview dialog opens";
    EXPECT_GE(seen.pages, 2);
    EXPECT_TRUE(m_dialogs.errors.isEmpty());

    EXPECT_EQ(m_form2->departmentCaption(), q("呼吸内科"));
    EXPECT_EQ(m_form2->admissionNumber(), "A0417");
    EXPECT_EQ(m_form2->bodyText(), q("    姓名：张三\r\n") + paragraph + q("\r\n末行\r\n"));
    EXPECT_EQ(m_form7->richEdit1()->lineWrapMode(), QTextEdit::WidgetWidth) << "the editor is left as it was";

    const QString pdf = m_dir.filePath("report.pdf");
    m_form2->report().renderToPdf(pdf);
    const QStringList pages = pdfPages(pdf);
    ASSERT_GE(pages.size(), 2);
    for (qsizetype i = 0; i < pages.size(); ++i) {
        EXPECT_TRUE(pages.at(i).contains(QRegularExpression(q("住院号：\\s*A0417")))) << "page " << i + 1;
        EXPECT_TRUE(pages.at(i).contains(QRegularExpression(q("科别：\\s*呼吸内科")))) << "page " << i + 1;
        EXPECT_TRUE(pages.at(i).contains(QRegularExpression(q("第\\s+%1\\s+页").arg(i + 1))))
            << "page " << i + 1;
    }
    const QString body = bodyText(pages);
    EXPECT_TRUE(body.startsWith(q("姓名：张三") + q("长段开始")));
    EXPECT_TRUE(body.contains(paragraph)) << "the long paragraph arrives whole";
    EXPECT_TRUE(body.endsWith(q("末行")));
}

TEST_F(PrintPreview, WithoutDepartmentTheHeaderShowsNothingAfterItsLabel)
{
    EXPECT_EQ(m_form2->departmentCaption(), " ");
    m_form7->showDocument(q("体  格  检  查"));
    text::shared().departmentName.clear();

    // The button does what the menu item does.
    const PreviewSeen seen = runPreview([&] { m_form7->findChild<QPushButton *>("Button1")->click(); });
    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(seen.pages, 1);
    EXPECT_EQ(m_form2->departmentCaption(), QString());

    const QString pdf = m_dir.filePath("empty-department.pdf");
    m_form2->report().renderToPdf(pdf);
    const QStringList pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 1);
    const QString headerLine =
        pages.at(0).split('\n').filter(q("科别：")).value(0).section(q("第"), 0, 0).trimmed();
    EXPECT_EQ(headerLine, q("科别：")) << pages.at(0).toStdString();
    EXPECT_TRUE(bodyText(pages).contains(q("体格检查")));
}

TEST_F(PrintPreview, ExportPdfProposesNumberAndNameAndWritesAnOwnerOnlyPdf)
{
    m_session->fill("Name", q("张三"));
    m_form7->showDocument(q("    姓名：张三\r\n主诉：咳嗽三天"));
    text::shared().departmentName = q("心内科");
    const QString pdf = m_dir.filePath(q("导出/入院.pdf"));
    QDir().mkpath(QFileInfo(pdf).absolutePath());
    QFile old(pdf); // an older export is replaced once the doctor agrees
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    m_dialogs.fileAnswers.push_back(pdf);
    m_dialogs.confirmAnswers.push_back(true);

    QString caption;
    const PreviewSeen seen = runPreview([&] { m_form7->N2Click(); }, [&](QPrintPreviewDialog *dialog) {
        auto *action = dialog->findChild<QAction *>("ExportPdf1");
        ASSERT_TRUE(action);
        caption = action->text();
        action->trigger();
    });
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(caption, q("导出 PDF…"));
    EXPECT_EQ(m_dialogs.fileInitialNames, QStringList({q("A0417-张三.pdf")}));
    EXPECT_EQ(m_dialogs.confirmations.size(), 1);
    EXPECT_TRUE(m_dialogs.errors.isEmpty()) << m_dialogs.errors.join(' ').toStdString();
    EXPECT_EQ(QFileInfo(pdf).permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
              QFileDevice::Permissions());
    const QStringList pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages.at(0).contains(QRegularExpression(q("住院号：\\s*A0417"))));
    EXPECT_TRUE(pages.at(0).contains(QRegularExpression(q("科别：\\s*心内科"))));
    EXPECT_TRUE(bodyText(pages).contains(q("主诉：咳嗽三天")));
    // The shared dialog still opens the backup and the RTF save with their own last name.
    EXPECT_EQ(m_saveDialog.fileName(), QString());
}

TEST_F(PrintPreview, ExportPdfCancelledRefusedOrUnwritableLeavesNothingBehind)
{
    m_form7->showDocument(q("主诉：发热"));
    const QString kept = m_dir.filePath("kept.pdf");
    QFile file(kept);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("kept");
    file.close();
    const QString unwritable = m_dir.filePath("no-such-folder/x.pdf");
    m_dialogs.fileAnswers = {std::nullopt, kept, unwritable};
    m_dialogs.confirmAnswers = {false};
    runPreview([&] { m_form7->N2Click(); }, [&](QPrintPreviewDialog *dialog) {
        auto *action = dialog->findChild<QAction *>("ExportPdf1");
        ASSERT_TRUE(action);
        for (int i = 0; i < 3; ++i)
            action->trigger();
    });
    // Proposed without a name in the record: the admission number alone.
    EXPECT_EQ(m_dialogs.fileInitialNames.value(0), "A0417.pdf");
    QFile reread(kept);
    ASSERT_TRUE(reread.open(QIODevice::ReadOnly));
    EXPECT_EQ(reread.readAll(), "kept");
    EXPECT_FALSE(QFileInfo::exists(unwritable));
    ASSERT_EQ(m_dialogs.errors.size(), 1);
    EXPECT_TRUE(m_dialogs.errors.at(0).contains("x.pdf")) << m_dialogs.errors.at(0).toStdString();
}

TEST(ReportPdfName, NumberAndNameMakeTheName)
{
    const std::vector<std::pair<std::pair<QString, QString>, QString>> cases = {
        {{"2026120301", q("张三")}, q("2026120301-张三.pdf")},
        {{" A0417 ", q(" 李四\t")}, q("A0417-李四.pdf")},
        {{"A0417", ""}, "A0417.pdf"},
        {{"", q("王五")}, q("王五.pdf")},
        {{"", " "}, q("入院记录.pdf")},
        {{"12/3", q("赵\n六")}, q("12_3-赵_六.pdf")},
    };
    for (const auto &[input, expected] : cases)
        EXPECT_EQ(documents::reportPdfName(input.first, input.second), expected) << expected.toStdString();
}
