#include "phrases/PhraseFields.h"
#include "phrases/Sections.h"
#include "text/PhraseFile.h"

#include <QFile>
#include <QSet>
#include <QStringDecoder>
#include <gtest/gtest.h>

// The phrase files shipped in data/: GBK with CR LF, read back exactly as written.
namespace {

const QString kFolder = QStringLiteral(QC_SOURCE_DIR "/data/");

QByteArray bytesOf(const QString &name)
{
    QFile file(kFolder + name);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// GBK proper: ASCII, or a lead byte 81–FE with a trail byte 40–FE other than 7F.
// (GB18030's four-byte forms have a digit as second byte and fail here.)
bool isStrictGbk(const QByteArray &bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes.at(i));
        if (b < 0x80)
            continue;
        if (b == 0x80 || b == 0xFF || i + 1 >= bytes.size())
            return false;
        const auto t = static_cast<unsigned char>(bytes.at(++i));
        if (t < 0x40 || t == 0x7F || t == 0xFF)
            return false;
    }
    QStringDecoder gb("GB18030", QStringDecoder::Flag::Stateless);
    const QString text = gb.decode(bytes);
    return !gb.hasError() && !text.contains(QChar::ReplacementCharacter);
}

bool hasOnlyCrLf(const QByteArray &bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes.at(i) == '\r' && (i + 1 >= bytes.size() || bytes.at(i + 1) != '\n'))
            return false;
        if (bytes.at(i) == '\n' && (i == 0 || bytes.at(i - 1) != '\r'))
            return false;
    }
    return true;
}

QStringList linesOf(const QString &name)
{
    return text::readPhraseLines(kFolder + name);
}

} // namespace

TEST(StarterLibrary, TwelveFilesInGbkWithCrLf)
{
    QStringList names{"differential.txt", "differentials.txt", "examine.txt"};
    for (const phrases::PhraseField &field : phrases::phraseFields())
        names << field.fileName;
    ASSERT_EQ(names.size(), 12);
    for (const QString &name : names) {
        const QByteArray bytes = bytesOf(name);
        ASSERT_FALSE(bytes.isEmpty()) << name.toStdString();
        EXPECT_TRUE(isStrictGbk(bytes)) << name.toStdString();
        EXPECT_TRUE(hasOnlyCrLf(bytes)) << name.toStdString();
        EXPECT_TRUE(bytes.endsWith("\r\n")) << name.toStdString();
        // The program's reader must take them as GBK, not mistake them for UTF-8.
        QStringDecoder gb("GB18030");
        EXPECT_EQ(text::decodePhraseBytes(bytes, name), gb.decode(bytes)) << name.toStdString();
    }
}

TEST(StarterLibrary, ListsADoctorExpects)
{
    const QStringList minzu = linesOf("minzu.txt");
    ASSERT_EQ(minzu.size(), 56);
    EXPECT_EQ(minzu.front(), "汉族");
    EXPECT_EQ(QSet<QString>(minzu.begin(), minzu.end()).size(), 56);
    for (const QString &group : minzu)
        EXPECT_TRUE(group.endsWith("族")) << group.toStdString();

    EXPECT_EQ(linesOf("examine.txt").front(), "血常规");
    for (const char *name : {"Occupation.txt", "complaints.txt", "diagnosis.txt", "PresentIllness.txt",
                             "pasthistory.txt", "privatehistory.txt", "familyhistory.txt", "Pripro3.txt"}) {
        const QStringList lines = linesOf(name);
        EXPECT_GE(lines.size(), 5) << name;
        for (const QString &line : lines)
            EXPECT_FALSE(line.trimmed().isEmpty()) << name;
    }
}

TEST(StarterLibrary, EveryDifferentialNameHasASection)
{
    const QStringList names = linesOf("differential.txt");
    const QStringList lines = linesOf("differentials.txt");
    for (const char *required : {"社区获得性肺炎", "慢性阻塞性肺疾病急性加重", "支气管哮喘", "高血压病",
                                 "冠心病", "心力衰竭", "2型糖尿病", "上消化道出血", "急性胰腺炎", "脑梗死"})
        EXPECT_TRUE(names.contains(QString::fromUtf8(required))) << required;
    for (const QString &name : names) {
        ASSERT_FALSE(name.isEmpty());
        const QStringList body = phrases::sectionBody(lines, name);
        ASSERT_GE(body.size(), 4) << name.toStdString();
        EXPECT_EQ(body.front(), "诊断依据：") << name.toStdString();
        EXPECT_TRUE(body.contains("鉴别诊断：")) << name.toStdString();
        for (const QString &line : body)
            EXPECT_FALSE(line.contains("<section.")) << name.toStdString();
    }
}
