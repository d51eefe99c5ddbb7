#include "documents/AdmissionReport.h"
#include "SmallDisk.h"
#include "documents/AdmissionRecord.h"
#include "text/Error.h"

#include <QFontDatabase>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

namespace {

QString q(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

QByteArray runPoppler(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
}

// The pages of a PDF as pdftotext lays them out (each page ends with a form feed).
QStringList pdfPages(const QString &pdf)
{
    QStringList pages =
        QString::fromUtf8(runPoppler("pdftotext", {"-layout", "-enc", "UTF-8", pdf, "-"})).split('\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

struct Word
{
    int page;
    QString text;
    QRectF box; // millimetres from the paper's top left corner
};

QList<Word> pdfWords(const QString &pdf)
{
    QXmlStreamReader xml(runPoppler("pdftotext", {"-bbox", "-enc", "UTF-8", pdf, "-"}));
    QList<Word> words;
    int page = 0;
    const double mm = 25.4 / 72.0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("page")) {
            ++page;
        } else if (xml.name() == QLatin1String("word")) {
            const auto a = xml.attributes();
            const QPointF topLeft(a.value("xMin").toDouble() * mm, a.value("yMin").toDouble() * mm);
            const QPointF bottomRight(a.value("xMax").toDouble() * mm, a.value("yMax").toDouble() * mm);
            words.append({page, xml.readElementText(), QRectF(topLeft, bottomRight)});
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return words;
}

// The body text of all pages run together, header lines and blanks left out, so a
// paragraph can be followed across its line and page breaks.
QString bodyText(const QStringList &pages)
{
    QString body;
    for (const QString &page : pages)
        for (const QString &line : page.split('\n'))
            if (!line.contains(q("住院号")) && !line.contains(q("科别：")))
                body += line;
    return body.remove(QRegularExpression("\\s"));
}

// A whole admission record followed by one paragraph far longer than a page (and
// than 4096 bytes), made of numbered sentences so that a lost piece shows.
QString longBody(QString *paragraph)
{
    const QHash<QString, QString> fields{{"Name", q("张三")}, {"DoR", "2006-05-12 10:15:00"}, {"P", "80"}};
    QString p = q("长段开始");
    for (int i = 1; i <= 700; ++i)
        p += q("第%1句，双肺呼吸音清。").arg(i, 3, 10, QLatin1Char('0'));
    p += q("长段结束");
    *paragraph = p;
    return documents::admissionEditorText(documents::admissionRecordLines(fields)) + "\r\n" + p + "\r\n" +
           q("最后一行");
}

} // namespace

TEST(AdmissionReport, HeaderOnEveryPageAndLongParagraphWhole)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("report.pdf");
    QString paragraph;
    AdmissionReport(q("20060512"), q("呼吸内科"), longBody(&paragraph)).renderToPdf(pdf);

    const QStringList pages = pdfPages(pdf);
    ASSERT_GE(pages.size(), 3) << "the long paragraph should need more than two pages";
    for (qsizetype i = 0; i < pages.size(); ++i) {
        const QString &page = pages.at(i);
        // pdftotext spreads the header's pieces out as they stand on the page.
        EXPECT_TRUE(page.contains(QRegularExpression(q("入\\s+院\\s+记\\s+录")))) << "page " << i + 1;
        EXPECT_TRUE(page.contains(QRegularExpression(q("住院号：\\s*20060512")))) << "page " << i + 1;
        EXPECT_TRUE(page.contains(QRegularExpression(q("科别：\\s*呼吸内科")))) << "page " << i + 1;
        EXPECT_TRUE(page.contains(QRegularExpression(q("第\\s+%1\\s+页").arg(i + 1)))) << "page " << i + 1;
        EXPECT_FALSE(page.contains(q("澄"))) << "the hospital name is never printed";
    }
    EXPECT_TRUE(pages.at(1).contains(q("第   2   页"))) << pages.at(1).left(400).toStdString();

    // Nothing is cut: every sentence arrives, in order, and the text after it too.
    const QString body = bodyText(pages);
    EXPECT_TRUE(body.contains(paragraph)) << "long paragraph cut or broken";
    EXPECT_TRUE(body.endsWith(q("最后一行")));
    // It is wrapped: over many printed lines, none longer than the body width holds.
    int paragraphLines = 0;
    for (const QString &page : pages)
        for (const QString &line : page.split('\n'))
            if (line.contains(q("句"))) {
                ++paragraphLines;
                EXPECT_LT(line.trimmed().size(), 45) << line.toStdString();
            }
    EXPECT_GT(paragraphLines, 150);
}

TEST(AdmissionReport, HeaderPositionsAndBodyWidth)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("report.pdf");
    QString paragraph;
    AdmissionReport(q("ZY-0042"), q("心内科"), longBody(&paragraph)).renderToPdf(pdf);
    const QList<Word> words = pdfWords(pdf);
    ASSERT_FALSE(words.isEmpty());

    // Left and top of each header element in millimetres on the paper: margin + position.
    struct Expect
    {
        const char *text;
        double left;
        double top;
    };
    const Expect header[] = {
        {"住院号：", 10 + 120.7, 20 + 14.8}, {"ZY-0042", 10 + 139.7, 20 + 14.8},
        {"科别：", 10 + 0.0, 20 + 25.4},     {"心内科", 10 + 14.8, 20 + 25.4},
        {"第", 10 + 133.3, 20 + 25.4},       {"页", 10 + 148.2, 20 + 25.4},
    };
    const int pageCount = words.last().page;
    for (int page = 1; page <= pageCount; ++page)
        for (const Expect &e : header) {
            const auto found = std::find_if(words.begin(), words.end(), [&](const Word &w) {
                return w.page == page && w.text == q(e.text);
            });
            ASSERT_NE(found, words.end()) << e.text << " on page " << page;
            EXPECT_NEAR(found->box.left(), e.left, 1.0) << e.text;
            EXPECT_NEAR(found->box.top(), e.top, 1.5) << e.text;
        }

    // The body stays between the header's rule and the bottom margin, and inside the
    // 163.2 mm from the left margin.
    for (const Word &w : words) {
        EXPECT_LE(w.box.right(), 10 + 163.2 + 0.5) << w.text.toStdString();
        EXPECT_LE(w.box.bottom(), 297 - 15 + 0.5) << w.text.toStdString();
        if (w.text.contains(q("双肺呼吸音清"))) {
            EXPECT_GE(w.box.top(), 20 + 31 - 0.5) << w.text.toStdString();
        }
    }
}

TEST(AdmissionReport, EmptyBodyAndNoDepartment)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("empty.pdf");
    AdmissionReport(q("1"), QString(), QString()).renderToPdf(pdf);
    const QStringList pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 1);
    // "科别：" with nothing after it before the page number.
    EXPECT_TRUE(pages.at(0).contains(QRegularExpression(q("科别：\\s+第\\s+1\\s+页"))))
        << pages.at(0).toStdString();
}

TEST(AdmissionReport, PrinterTakesTheSameLayout)
{
    QTemporaryDir dir;
    QString paragraph;
    const AdmissionReport report(q("20060512"), q("呼吸内科"), longBody(&paragraph));
    const QString viaWriter = dir.filePath("writer.pdf");
    report.renderToPdf(viaWriter);

    // The preview and the print dialog hand render() a QPrinter; a PDF printer stands in.
    QPrinter printer(QPrinter::HighResolution);
    AdmissionReport::preparePrinter(&printer);
    EXPECT_EQ(printer.copyCount(), 1);
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A4);
    EXPECT_EQ(printer.pageLayout().margins(QPageLayout::Millimeter).toMargins(), QMargins(10, 20, 36, 15));
    const QString viaPrinter = dir.filePath("printer.pdf");
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(viaPrinter);
    report.render(&printer);

    const QStringList a = pdfPages(viaWriter);
    const QStringList b = pdfPages(viaPrinter);
    ASSERT_EQ(a.size(), b.size());
    EXPECT_EQ(bodyText(a), bodyText(b));
    EXPECT_TRUE(b.last().contains(QRegularExpression(q("第\\s+%1\\s+页").arg(b.size()))));
}

TEST(AdmissionReport, UnwritablePdfIsAnError)
{
    QTemporaryDir dir;
    EXPECT_THROW(AdmissionReport("1", "", "x").renderToPdf(dir.filePath("no/such/folder/r.pdf")), Error);
}

TEST(AdmissionReport, KaiFontIsChinese)
{
    const QString family = AdmissionReport::kaiFamily();
    if (QFontDatabase::families().contains(QStringLiteral("AR PL UKai CN")))
        EXPECT_EQ(family, QStringLiteral("AR PL UKai CN"));
    else
        EXPECT_TRUE(QFontDatabase::writingSystems(family).contains(QFontDatabase::SimplifiedChinese))
            << family.toStdString();
}

// Both ways to a PDF file: the report's own and the print dialog's "print to file".
TEST(AdmissionReport, PdfIsOwnerOnlyAndAFullDiskKeepsTheOldOne)
{
    QTemporaryDir dir;
    const AdmissionReport report("1", "", "x");
    const auto viaPrinter = [&report](const QString &path) {
        QPrinter printer(QPrinter::HighResolution);
        AdmissionReport::preparePrinter(&printer);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        report.print(&printer);
    };
    const std::pair<const char *, std::function<void(const QString &)>> ways[] = {
        {"renderToPdf", [&report](const QString &path) { report.renderToPdf(path); }},
        {"print to file", viaPrinter},
    };
    for (const auto &[name, write] : ways) {
        SCOPED_TRACE(name);
        const QString pdf = dir.filePath(QString::fromUtf8(name) + ".pdf");
        write(pdf);
        struct stat info;
        ASSERT_EQ(::stat(QFile::encodeName(pdf).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0600u);
        EXPECT_EQ(pdfPages(pdf).size(), 1);

        SmallDisk disk(4096);
        if (!disk.mounted())
            GTEST_SKIP() << disk.reason().toStdString();
        const QString onDisk = disk.filePath("r.pdf");
        ASSERT_TRUE(QFile::copy(pdf, onDisk));
        QFile old(onDisk);
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        const QByteArray oldBytes = old.readAll();
        old.close();
        disk.fill();
        try {
            write(onDisk);
            ADD_FAILURE() << "written";
        } catch (const Error &error) {
            EXPECT_TRUE(error.message().contains(onDisk)) << error.message().toStdString();
            EXPECT_TRUE(error.message().contains(QStringLiteral("磁盘空间不足")))
                << error.message().toStdString();
        }
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(old.readAll(), oldBytes);
        EXPECT_EQ(disk.entries(), QStringList{"r.pdf"});
    }
}
