#include "documents/RtfWriter.h"
#include "text/Error.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

QString q(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// Field texts that look like RTF must come out as text.
const char *const markup = "{ } \\ < & \" }{\\rtf1\\par\\b 注入{\\*\\x}";

// A document with formatting: Chinese, markup characters, several paragraphs, an
// empty one, a tab, characters beyond the BMP and one very long paragraph.
void fill(QTextDocument &document)
{
    QFont base(QStringLiteral("Verdana"));
    base.setPixelSize(14);
    document.setDefaultFont(base);
    QTextCursor cursor(&document);
    cursor.insertText(q("    姓名：张三    出 生 地：北京"));
    cursor.insertBlock();

    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setFontPointSize(16);
    bold.setFontFamilies({q("楷体")});
    cursor.insertText(q("入院记录"), bold);
    QTextCharFormat red;
    red.setForeground(QColor(255, 0, 0));
    red.setFontItalic(true);
    red.setFontUnderline(true);
    cursor.insertText(q(" 红色斜体下划线"), red);
    cursor.insertText(q("\t普通"), QTextCharFormat());
    cursor.insertBlock();

    cursor.insertText(q(markup));
    cursor.insertBlock();
    cursor.insertBlock(); // an empty paragraph
    cursor.insertText(q("扩展B：\U00020000 笑脸：\U0001F600 结束"));
    cursor.insertBlock();

    QString longParagraph;
    const QString pattern = q("患者咳嗽咳痰，{发热}\\38.5℃ & <无> \"寒战\"。");
    while (longParagraph.size() < 20000)
        longParagraph += pattern;
    longParagraph.truncate(19990);
    longParagraph += q("段落末尾标记");
    cursor.insertText(longParagraph);
    cursor.insertBlock();
    cursor.insertText(q("最后一段"));
}

// Runs LibreOffice on the file and returns the converted file's bytes, or fails.
QByteArray convertWithLibreOffice(const QString &soffice, const QString &rtfPath, const QString &filter,
                                  const QString &extension)
{
    QTemporaryDir work;
    QProcess process;
    process.start(soffice,
                  {"-env:UserInstallation=" + QUrl::fromLocalFile(work.filePath("profile")).toString(),
                   "--headless", "--convert-to", filter, "--outdir", work.filePath("out"), rtfPath});
    EXPECT_TRUE(process.waitForFinished(180000)) << "soffice did not finish";
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    QFile out(work.filePath("out/" + QFileInfo(rtfPath).completeBaseName() + "." + extension));
    EXPECT_TRUE(out.open(QIODevice::ReadOnly))
        << "no converted file: " << process.readAllStandardOutput().toStdString();
    return out.readAll();
}

} // namespace

TEST(RtfWriter, HeaderTablesAndEscapes)
{
    QTextDocument document;
    fill(document);
    const QByteArray rtf = RtfWriter::toRtf(document);

    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg936\\deff0"));
    EXPECT_TRUE(rtf.contains(
        "{\\fonttbl{\\f0\\fnil\\fcharset134 Verdana;}{\\f1\\fnil\\fcharset134 \\'bf\\'ac\\'cc\\'e5;}}"))
        << rtf.left(300).toStdString();
    EXPECT_TRUE(rtf.contains("{\\colortbl;\\red255\\green0\\blue0;}"));
    EXPECT_TRUE(rtf.contains("\\u22995?\\u21517?")) << "姓名 as \\uN? escapes";
    // Characters above U+7FFF are negative; beyond the BMP two surrogate escapes.
    EXPECT_TRUE(rtf.contains("\\u-10179?\\u-8704?")) << "U+1F600";
    EXPECT_TRUE(rtf.contains("\\u-10176?\\u-9216?")) << "U+20000";
    EXPECT_TRUE(rtf.contains("\\u-230?")) << "full-width colon U+FF1A";
    // 16 points are \fs32; bold, italic, underline and colour 1 on their runs.
    EXPECT_TRUE(rtf.contains("{\\f1\\fs32\\cf0\\b \\u20837?"));
    EXPECT_TRUE(rtf.contains("\\cf1\\i\\ul "));
    EXPECT_TRUE(rtf.contains("\\tab "));
    EXPECT_TRUE(rtf.contains("\\{ \\} \\\\ < & \" \\}\\{\\\\rtf1\\\\par\\\\b "));

    // Pure 7-bit output, and the groups balance: no text can open or close one.
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        const char c = rtf.at(i);
        ASSERT_GE(uchar(c), 0) << i;
        ASSERT_LT(uchar(c), 0x80) << i;
        if (c == '\\') {
            ++i; // the escaped character or the first letter of a control word
            continue;
        }
        if (c == '{')
            ++depth;
        if (c == '}') {
            --depth;
            ASSERT_TRUE(depth > 0 || i >= rtf.size() - 3) << "group closed early at " << i;
        }
    }
    EXPECT_EQ(depth, 0);
}

TEST(RtfWriter, EmptyDocument)
{
    QTextDocument document;
    const QByteArray rtf = RtfWriter::toRtf(document);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg936"));
    EXPECT_TRUE(rtf.trimmed().endsWith('}'));
}

TEST(RtfWriter, SaveReplacesAndReportsFailure)
{
    QTemporaryDir dir;
    QTextDocument document;
    document.setPlainText(q("入院记录"));
    const QString path = dir.filePath(q("病历")); // no extension: the name is used as given
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old content");
    old.close();
    RtfWriter::save(path, document);
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), RtfWriter::toRtf(document));
    EXPECT_THROW(RtfWriter::save(dir.filePath("missing/folder/x.rtf"), document), Error);
}

TEST(RtfWriter, LibreOfficeReadsTheSameText)
{
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";

    QTextDocument document;
    fill(document);
    QTemporaryDir dir;
    const QString rtfPath = dir.filePath("record.rtf");
    RtfWriter::save(rtfPath, document);

    QByteArray bytes = convertWithLibreOffice(soffice, rtfPath, "txt:Text", "txt");
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    // LibreOffice's RTF import puts a six-per-em space (U+2006) before every blank of a
    // run of blanks, whatever writes the file; the document holds none of them.
    QStringList got = QString::fromUtf8(bytes).remove(QChar(0x2006)).split('\n');
    while (!got.isEmpty() && got.last().isEmpty())
        got.removeLast();
    const QStringList want = document.toPlainText().split('\n');
    ASSERT_EQ(got.size(), want.size());
    for (qsizetype i = 0; i < want.size(); ++i)
        EXPECT_EQ(got.at(i), want.at(i)) << "paragraph " << i;

    // The formatting arrives too: read the flat ODF that LibreOffice makes of the file.
    const QString odf = QString::fromUtf8(convertWithLibreOffice(soffice, rtfPath, "fodt", "fodt"));
    EXPECT_TRUE(odf.contains(q("fo:font-weight=\"bold\"")));
    EXPECT_TRUE(odf.contains(q("fo:font-style=\"italic\"")));
    EXPECT_TRUE(odf.contains(q("style:text-underline-style=\"solid\"")));
    EXPECT_TRUE(odf.contains(q("fo:color=\"#ff0000\"")));
    EXPECT_TRUE(odf.contains(q("fo:font-size=\"16pt\"")));
    EXPECT_TRUE(odf.contains(q("楷体")));
    EXPECT_TRUE(odf.contains(q("Verdana")));
}
