#include "documents/AdmissionRecord.h"

#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>

using documents::admissionRecordLines;

namespace {

QString sp(int n)
{
    return QString(n, QLatin1Char(' '));
}

QString q(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// Lines 0-4 rows, 5 complaint, 6-9 histories, 10 heading, 11 vital signs, 12 examination,
// 13 heading, 14 fuzhu, 15 diagnosis heading, then diagnoses, signature, date.
constexpr int examinationLine = 12;
constexpr int fuzhuLine = 14;
constexpr int firstDiagnosisLine = 16;

} // namespace

TEST(AdmissionRecord, CompleteDocumentLineByLine)
{
    const QHash<QString, QString> fields{
        {"Name", q("张三")},
        {"home", q("湖南长沙")},
        {"sex", q("男")},
        {"Occupation", q("工人")},
        {"age", "45"},
        {"DoA", "2006-05-12 08:30:00"},
        {"tmp20", q("汉族")},
        {"DoR", "2006-05-12 10:15:00"},
        {"marriage", q("已婚")},
        {"describer", q("本人")},
        {"complaint", q("反复咳嗽3年，加重1周。")},
        {"PresentIllness", q("  患者3年前受凉后咳嗽，\r\n近1周加重。\r\n")},
        {"PastHistory", q("否认肝炎史。")},
        {"PersonalHistory", q("生于原籍。")},
        {"FamilyHistory", ""},
        {"T", "36.5"},
        {"P", "80"},
        {"R", "20"},
        {"BP", "120/80"},
        {"development", q("正常")},
        {"nutrition", q("中等")},
        {"consciousness", q("清")},
        {"mental", q("可")},
        {"posture", q("自主")},
        {"Cooperation", q("合作")},
        {"skin", q("  皮肤苍白，")},
        {"fuzhu", q("血常规：正常\r\n胸片：双肺纹理增粗\r\n")},
        {"diagnosis", q("1.慢性支气管炎\r\n\r\n2.高血压病")},
    };

    // The skin column is filled; the other 35 take their defaults, heart rate and pulse from P.
    const QString examination =
        q("    发育正常，营养中等，神志清，精神可，自主体位，查体合作。  皮肤苍白，"
          "浅表淋巴结未触及肿大。"
          "头颅外形正常，"
          "眉毛无稀疏、脱落，"
          "眼球无外凸、内陷。"
          "双眼睑无下垂、浮肿，"
          "球结膜未见水肿，睑结膜无充血，"
          "巩膜无黄染，"
          "两侧瞳孔等大等圆，直径3mm，对光反射灵敏。"
          "双耳粗测听力正常，外耳道通畅，无异常分泌物，乳突无压痛。"
          "鼻外形正常，无异常分泌物，副鼻窦无压痛。"
          "口唇无紫绀，口周无疱疹，"
          "口腔粘膜无溃疡，牙龈无红肿，"
          "伸舌居中，"
          "咽部无明显充血，"
          "扁桃体不大。"
          "颈无抵抗，颈静脉无怒张，肝颈回流征阴性。"
          "气管居中，"
          "甲状腺未触及肿大。"
          "胸廓对称无畸形，双侧呼吸动度正常，"
          "双侧语颤正常，无胸膜摩擦感。"
          "双肺叩清音，"
          "双肺呼吸音清，未闻及干湿罗音。"
          "心前区无异常隆起，无异常搏动，心尖搏动点位于第五肋间左锁骨中线内侧0.5cm，"
          "触无震颤，"
          "心界不大，"
          "心率80次/分，律齐，各瓣膜听诊区未闻及杂音。"
          "桡动脉弹性正常,搏动有力,节律整齐,无奇脉或脉搏短绌、水冲脉,脉率80次/分,无毛细血管搏动和枪击音。"
          "腹部平坦，未见胃肠型及蠕动波，"
          "腹软，无明显压痛及反跳痛，未及包块，肝脾肋下未触及，Murphy’s征（－），麦氏点无压痛。"
          "移动性浊音（－），肝、双肾区无叩痛，"
          "肠鸣音4次/分。"
          "肛门、外生殖器未查。"
          "脊柱、四肢无畸形，脊柱及关节无肿胀压痛，运动度正常。双下肢无水肿。"
          "四肢肌力、肌张力正常，"
          "生理反射存在，双Barbinski征（－），双Hoffmann征（－），Kernig征（－）。");

    const QStringList expected{
        sp(4) + q("姓名：张三") + sp(16) + q("出 生 地：湖南长沙"),
        sp(4) + q("性别：男") + sp(18) + q("职  业：工人"),
        sp(4) + q("年龄：45") + sp(18) + q("入院日期：2006-05-12 08:30:00"),
        sp(4) + q("民族：汉族") + sp(16) + q("记录日期：2006-05-12 10:15:00"),
        sp(4) + q("婚姻：已婚") + sp(16) + q("病史陈述者：本人"),
        sp(4) + q("主诉：反复咳嗽3年，加重1周。"),
        sp(4) + q("现病史：患者3年前受凉后咳嗽，近1周加重。"),
        sp(4) + q("既往史：否认肝炎史。"),
        sp(4) + q("个人史：生于原籍。"),
        sp(4) + q("家族史："),
        sp(26) + q("体  格  检  查"),
        q("    T:36.5℃    P:80次/分    R:20次/分    BP:120/80mmHg"),
        examination,
        sp(26) + q("辅助检查"),
        q("血常规：正常\r\n胸片：双肺纹理增粗"),
        sp(26) + q("入院诊断："),
        sp(30) + q("1.慢性支气管炎"),
        sp(30) + q("2.高血压病"),
        sp(46) + q("签名："),
        sp(46) + "2006-05-12",
    };

    const QStringList lines = admissionRecordLines(fields);
    ASSERT_EQ(lines.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i)
        EXPECT_EQ(lines.at(i), expected.at(i)) << "line " << i + 1;
}

TEST(AdmissionRecord, LeftColumnPadding)
{
    struct Case
    {
        const char *name;
        int pad; // blanks between the name and "出 生 地："
    };
    const Case cases[] = {
        {"AB", 18},                    // 6 + 2
        {"ABCDEFGHIJKLMNOPQRS", 1},    // width 25
        {"ABCDEFGHIJKLMNOPQRST", 0},   // width exactly 26
        {"ABCDEFGHIJKLMNOPQRSTU", 0},  // 27: right label follows directly, nothing cut
        {"王A", 17},                   // Chinese counts two, ASCII one
        {"一二三四五六七八九十", 0},   // ten Chinese characters: 6 + 20
        {"一二三四五六七八九十一", 0}, // 28
        {"", 20},                      // empty value: label and full pad still written
    };
    for (const Case &c : cases) {
        const QStringList lines = admissionRecordLines({{"Name", q(c.name)}, {"home", q("北京")}});
        EXPECT_EQ(lines.at(0), sp(4) + q("姓名：") + q(c.name) + sp(c.pad) + q("出 生 地：北京")) << c.name;
    }

    // The right column never affects the pad; a long right value is neither padded nor cut.
    const QString longDescriber = q("患者本人及其家属共同陈述病史");
    const QStringList lines = admissionRecordLines({{"marriage", q("已婚")}, {"describer", longDescriber}});
    EXPECT_EQ(lines.at(4), sp(4) + q("婚姻：已婚") + sp(16) + q("病史陈述者：") + longDescriber);
}

TEST(AdmissionRecord, CaptionsComeFromTheLabels)
{
    QHash<QString, QString> captions = documents::admissionLabelDefaults();
    EXPECT_EQ(captions.size(), 16);
    EXPECT_EQ(documents::admissionLabelNames().size(), 16);
    EXPECT_EQ(captions.value("Label21"), q("出 生 地："));
    EXPECT_EQ(captions.value("Label18"), q("职  业："));

    // A caption given by the caller is used, and its width counts in the pad.
    captions.insert("Label22", q("患者姓名："));
    captions.insert("Label14", q("初步诊断："));
    const QStringList lines = admissionRecordLines({{"Name", q("李四")}}, captions);
    EXPECT_EQ(lines.at(0), sp(4) + q("患者姓名：李四") + sp(12) + q("出 生 地："));
    EXPECT_EQ(lines.at(15), sp(26) + q("初步诊断："));
}

TEST(AdmissionRecord, HistoryAndComplaintTexts)
{
    const QStringList lines = admissionRecordLines({
        {"complaint", q(" 咳嗽。 ")},
        {"PresentIllness", q("\r\n  第一行\r\n第二行\r\n\r\n")},
        {"PastHistory", q("\t既往体健 ")},
        {"PersonalHistory", q("　全角空格保留　")},
    });
    EXPECT_EQ(lines.at(5), sp(4) + q("主诉： 咳嗽。 ")); // complaint as typed
    EXPECT_EQ(lines.at(6), sp(4) + q("现病史：第一行第二行"));
    EXPECT_EQ(lines.at(7), sp(4) + q("既往史：既往体健"));
    EXPECT_EQ(lines.at(8), sp(4) + q("个人史：　全角空格保留　"));
}

TEST(AdmissionRecord, ExaminationDefaultsAndFilledColumns)
{
    const QString general = q("    发育，营养，神志，精神，体位，查体。");
    // An empty record: the general sentence with empty choices, then all 36 defaults.
    const QString empty = admissionRecordLines({}).at(examinationLine);
    EXPECT_TRUE(empty.startsWith(general));
    EXPECT_TRUE(empty.contains(q("心率次/分，律齐，各瓣膜听诊区未闻及杂音。")));
    EXPECT_TRUE(empty.contains(q("脉率次/分,无毛细血管搏动和枪击音。")));
    EXPECT_TRUE(empty.endsWith(q("生理反射存在，双Barbinski征（－），双Hoffmann征（－），Kernig征（－）。")));
    QString all = general;
    for (const auto &d : documents::examinationDefaults(""))
        all += d.phrase;
    EXPECT_EQ(empty, all);
    EXPECT_EQ(documents::examinationDefaults("").size(), 36);

    struct Case
    {
        const char *column;
        const char *value;
        const char *expectedPiece; // what stands where the column's piece goes
    };
    const Case cases[] = {
        // The generator's own phrases, which differ from the drop-down ones.
        {"heart4", "", "心界不大，心率88次/分，律齐，各瓣膜听诊区未闻及杂音。桡动脉"},
        {"Abodomen1", "", "肠型及蠕动波，腹软，"},
        {"Abodomen3", "", "麦氏点无压痛。移动性浊音（－），肝、双肾区无叩痛，肠鸣音4次/分。"},
        {"vertcol", "", "运动度正常。双下肢无水肿。四肢肌力、肌张力正常，生理反射"},
        {"lung4", "", "双肺叩清音，双肺呼吸音清，未闻及干湿罗音。心前区"},
        // Blank columns take the default; spaces alone count as blank.
        {"Head", "   ", "浅表淋巴结未触及肿大。头颅外形正常，眉毛"},
        {"Head", "\t\r\n", "淋巴结未触及肿大。头颅外形正常，眉毛"},
        // A filled column is written as typed, leading spaces kept, never with its default.
        {"Head", "  头颅畸形，", "浅表淋巴结未触及肿大。  头颅畸形，眉毛"},
        {"heart4", "心率100次/分，房颤律。", "心界不大，心率100次/分，房颤律。桡动脉"},
        {"BVsign", "脉搏短绌。", "各瓣膜听诊区未闻及杂音。脉搏短绌。腹部平坦"},
        // The first column follows the general sentence directly.
        {"skin", "皮肤黄染，", "查体合作。皮肤黄染，浅表淋巴结"},
        {"NSystem", "病理征阴性。", "双下肢无水肿。四肢肌力、肌张力正常，病理征阴性。"},
    };
    for (const Case &c : cases) {
        QHash<QString, QString> fields{{"P", "88"}, {"development", q("正常")}, {"Cooperation", q("合作")}};
        fields.insert(QLatin1String(c.column), q(c.value));
        const QString line = admissionRecordLines(fields).at(examinationLine);
        EXPECT_TRUE(line.contains(q(c.expectedPiece))) << c.column << " / " << c.value;
        EXPECT_TRUE(line.startsWith(q("    发育正常，营养"))) << c.column;
        if (QLatin1String(c.column) == QLatin1String("Head") && QString(c.value).trimmed().size()) {
            EXPECT_FALSE(line.contains(q("头颅外形正常"))) << "default combined with a filled column";
        }
    }
}

TEST(AdmissionRecord, VitalSignsValuesUnchanged)
{
    const QStringList lines = admissionRecordLines({{"T", " 38"}, {"P", ""}, {"R", "18"}, {"BP", "90/60 "}});
    EXPECT_EQ(lines.at(11), q("    T: 38℃    P:次/分    R:18次/分    BP:90/60 mmHg"));
}

TEST(AdmissionRecord, AuxiliaryBlock)
{
    EXPECT_EQ(admissionRecordLines({}).at(fuzhuLine), QString());
    EXPECT_EQ(
        admissionRecordLines({{"fuzhu", q("\r\n  血常规：正常\r\n\r\n  胸片：未见异常 \r\n")}}).at(fuzhuLine),
        q("血常规：正常\r\n\r\n  胸片：未见异常"));
    EXPECT_EQ(admissionRecordLines({}).at(fuzhuLine + 1), sp(26) + q("入院诊断："));
}

TEST(AdmissionRecord, DiagnosisLines)
{
    struct Case
    {
        const char *memo;
        QStringList diagnoses; // without the 30 leading blanks
    };
    const Case cases[] = {
        {"", {}},
        {"\r\n  \r\n", {}},
        {"A\r\n\r\nB", {"A", "B"}},
        {"A\r\n \t \r\nB\r\n", {"A", "B"}},
        {"  1.肺炎\r\n2.高血压 ", {q("  1.肺炎"), q("2.高血压 ")}},
        {"A\nB\rC", {"A", "B", "C"}},
    };
    for (const Case &c : cases) {
        const QStringList lines = admissionRecordLines({{"diagnosis", q(c.memo)}, {"DoR", "2006-05-12"}});
        ASSERT_EQ(lines.size(), firstDiagnosisLine + c.diagnoses.size() + 2) << c.memo;
        for (qsizetype i = 0; i < c.diagnoses.size(); ++i)
            EXPECT_EQ(lines.at(firstDiagnosisLine + i), sp(30) + c.diagnoses.at(i)) << c.memo;
        EXPECT_EQ(lines.at(lines.size() - 2), sp(46) + q("签名："));
        EXPECT_EQ(lines.last(), sp(46) + "2006-05-12");
    }
}

TEST(AdmissionRecord, RecordDateLine)
{
    struct Case
    {
        const char *dor;
        const char *shown;
    };
    const Case cases[] = {
        {"2006-05-12 10:15:00", "2006-05-12"}, // 19 bytes: the first 10
        {"2006-5-1 9:05:00", "2006-5-1 9"},
        {"2006-5-1", "2006-5-1"}, // shorter: whole
        {"", ""},
        {"二〇〇六年五月十二日", "二〇〇六年"}, // 10 bytes of GBK
        {"6二〇〇六年", "6二〇〇六"},           // never half a character
    };
    for (const Case &c : cases)
        EXPECT_EQ(admissionRecordLines({{"DoR", q(c.dor)}}).last(), sp(46) + q(c.shown)) << c.dor;
}

TEST(AdmissionRecord, EditorTextOneParagraphPerLine)
{
    const QStringList lines = admissionRecordLines(
        {{"fuzhu", q("血常规：正常\r\n胸片：正常")}, {"diagnosis", q("肺炎")}, {"DoR", "2006-05-12"}});
    QTextDocument document;
    document.setPlainText(documents::admissionEditorText(lines));
    // The auxiliary block shows as two paragraphs; nothing else adds or loses one.
    ASSERT_EQ(document.blockCount(), lines.size() + 1);
    EXPECT_EQ(document.findBlockByNumber(fuzhuLine).text(), q("血常规：正常"));
    EXPECT_EQ(document.findBlockByNumber(fuzhuLine + 1).text(), q("胸片：正常"));
    EXPECT_EQ(document.lastBlock().text(), sp(46) + "2006-05-12");
}
