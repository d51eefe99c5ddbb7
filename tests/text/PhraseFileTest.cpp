#include "text/Error.h"
#include "text/PhraseFile.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace text;

TEST(PhraseFile, SplitsOnEveryKindOfBreak)
{
    struct Case { QString in; QStringList out; };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"\r\n", {""}},
        {"a\n\r", {"a", ""}},
        {"a\r\n\r\n", {"a", ""}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(splitLines(c.in), c.out) << c.in.toStdString();
}

TEST(PhraseFile, ReadsGbkAndUtf8AndRefusesGarbage)
{
    QStringEncoder gbk("GB18030");
    const QString text = QStringLiteral("血常规\r\n尿常规\r\n");
    EXPECT_EQ(decodePhraseBytes(gbk.encode(text), "x"), text);
    EXPECT_EQ(decodePhraseBytes(text.toUtf8(), "x"), text);
    EXPECT_EQ(decodePhraseBytes(QByteArray("\xEF\xBB\xBF", 3) + text.toUtf8(), "x"), text);
    EXPECT_EQ(decodePhraseBytes("plain\r\n", "x"), "plain\r\n");
    // A lone lead byte at the end is neither GB18030 nor UTF-8.
    EXPECT_THROW(decodePhraseBytes(QByteArray("\xB2\xA1\xB2", 3), "x"), Error);
}

TEST(PhraseFile, WritesExactlyWithCrLfAndReadsBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("p.txt");
    writePhraseText(path, QStringLiteral("胸痛\n气短\n"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QStringEncoder gbk("GB18030");
    EXPECT_EQ(f.readAll(), gbk.encode(QStringLiteral("胸痛\r\n气短\r\n")));
    f.close();
    EXPECT_EQ(readPhraseLines(path), (QStringList{"胸痛", "气短"}));

    writePhraseText(path, QStringLiteral("无换行"));
    EXPECT_EQ(readPhraseText(path), QStringLiteral("无换行"));
    // Characters outside GBK survive through GB18030.
    const QString rare = QString::fromUcs4(U"𠀀€");
    writePhraseText(path, rare);
    EXPECT_EQ(readPhraseText(path), rare);
}

TEST(PhraseFile, ErrorsNameThePathAndKeepOldFile)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("minzu.txt");
    try {
        readPhraseText(missing);
        FAIL();
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().contains(missing));
    }
    EXPECT_THROW(writePhraseText(dir.filePath("no/such/folder.txt"), "a"), Error);
    EXPECT_THROW(writePhraseText("", "a"), Error);
    const QString ro = dir.filePath("ro.txt");
    writePhraseText(ro, "old");
    QFile::setPermissions(ro, QFileDevice::ReadOwner);
    if (!QFileInfo(ro).isWritable()) { // root may write anyway
        EXPECT_THROW(writePhraseText(ro, "new"), Error);
        EXPECT_EQ(readPhraseText(ro), "old");
    }
}
