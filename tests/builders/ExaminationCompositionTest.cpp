#include "builders/ExaminationComposition.h"
#include "PrintQString.h"
#include "builders/MemoLineComposition.h"

#include <gtest/gtest.h>

using namespace builders;

namespace {

const QString kMissing = QStringLiteral("血常规必填项目（WBC、RBC、HGB、Plt）不全，请重新填写！");

ExaminationInput bloodExample()
{
    ExaminationInput in;
    in.Edit2 = "5.6";
    in.Edit4 = "65";
    in.Edit5 = "30";
    in.Edit7 = "4.5";
    in.Edit8 = "130";
    in.Edit10 = "200";
    return in;
}

} // namespace

TEST(Examination, WorkedExamples)
{
    const ExaminationPost blood = composeExaminationPost(bloodExample());
    EXPECT_TRUE(blood.accepted);
    EXPECT_EQ(blood.line,
              "血常规（2007-5-8，本院）：WBC：5.6X10^9/L、N:65%、L:30%、RBC：4.5X10^12/L、HGB：130 g/L、"
              "PLT：200X10^9/L。");

    ExaminationInput chest;
    chest.ComboBox1 = "胸片";
    chest.ComboBox2 = "外院";
    chest.Memo2 = "双肺纹理增粗\r\n心影不大";
    const ExaminationPost free = composeExaminationPost(chest);
    EXPECT_TRUE(free.accepted);
    EXPECT_EQ(free.line, "胸片（2007-5-8，外院）：双肺纹理增粗心影不大");
}

TEST(Examination, HeadUsesNameAndPlaceAsTypedAndTheShortDate)
{
    ExaminationInput in;
    in.ComboBox1 = " 血常规 ";
    in.DateTimePicker1 = QDate(2024, 11, 3);
    in.ComboBox2 = " 外院";
    EXPECT_EQ(examinationHead(in), " 血常规 （2024-11-3， 外院）：");
    EXPECT_EQ(examinationHead(ExaminationInput{}), "血常规（2007-5-8，本院）：");
}

TEST(Examination, ModeByTrimmedName)
{
    struct Case
    {
        QString name;
        bool blood;
    };
    const Case cases[] = {
        {"血常规", true},
        {" 血常规\t", true},
        {"", false},
        {"血常规 复查", false},
        {QStringLiteral("　血常规"), false},
        {"胸片", false},
    };
    for (const Case &c : cases) {
        ExaminationInput in;
        in.ComboBox1 = c.name;
        EXPECT_EQ(isBloodRoutine(in), c.blood) << c.name.toStdString();
    }

    // Blanks around the name select the blood routine and stay in its line.
    ExaminationInput in = bloodExample();
    in.ComboBox1 = " 血常规 ";
    EXPECT_TRUE(composeExaminationPost(in).line.startsWith(" 血常规 （2007-5-8，本院）：WBC：5.6"));
}

TEST(Examination, BloodRoutineRequiresWbcRbcHgbPlt)
{
    struct Case
    {
        QString ExaminationInput::*edit;
        QString value;
        bool complete;
    };
    const Case cases[] = {
        {&ExaminationInput::Edit2, "", false},   {&ExaminationInput::Edit2, "  ", false},
        {&ExaminationInput::Edit7, "", false},   {&ExaminationInput::Edit8, "\t", false},
        {&ExaminationInput::Edit10, "", false},  {&ExaminationInput::Edit10, " 1 ", true},
        {&ExaminationInput::Edit4, "", true},    {&ExaminationInput::Edit9, "", true},
        {&ExaminationInput::Edit2, "abc", true}, // nothing checks for a number
    };
    for (const Case &c : cases) {
        ExaminationInput in = bloodExample();
        in.*(c.edit) = c.value;
        in.Memo2 = "ignored";
        EXPECT_EQ(bloodRoutineComplete(in), c.complete) << c.value.toStdString();
        const ExaminationPost post = composeExaminationPost(in);
        EXPECT_EQ(post.accepted, c.complete);
        if (c.complete) {
            EXPECT_TRUE(post.message.isEmpty());
            EXPECT_FALSE(post.line.contains("ignored"));
        } else {
            EXPECT_EQ(post.message, kMissing);
            EXPECT_TRUE(post.line.isEmpty());
        }
    }
    EXPECT_EQ(bloodRoutineIncompleteMessage(), kMissing);
    EXPECT_FALSE(composeExaminationPost(ExaminationInput{}).accepted);
}

TEST(Examination, BloodRoutineOptionalValues)
{
    struct Case
    {
        QString n, l, eo, mcv;
        QString expected;
    };
    const QString head = "血常规（2007-5-8，本院）：WBC：5.6X10^9/L、";
    const QString tail = "PLT：200X10^9/L。";
    const Case cases[] = {
        {"", "", "", "", head + "RBC：4.5X10^12/L、HGB：130 g/L、" + tail},
        {"", "", "3", "", head + "EO:3%。RBC：4.5X10^12/L、HGB：130 g/L、" + tail},
        {"", "30", "", "", head + "L:30%、RBC：4.5X10^12/L、HGB：130 g/L、" + tail},
        {"65", "30", "3", "90",
         head + "N:65%、L:30%、EO:3%。RBC：4.5X10^12/L、HGB：130 g/L、MCV:90fL。" + tail},
        {" 65 ", "  ", "\t", " 90", head + "N: 65 %、RBC：4.5X10^12/L、HGB：130 g/L、MCV: 90fL。" + tail},
    };
    for (const Case &c : cases) {
        ExaminationInput in = bloodExample();
        in.Edit4 = c.n;
        in.Edit5 = c.l;
        in.Edit6 = c.eo;
        in.Edit9 = c.mcv;
        EXPECT_EQ(composeBloodRoutineLine(in), c.expected);
    }

    // Required values are written as typed, blanks included.
    ExaminationInput in = bloodExample();
    in.Edit4 = in.Edit5 = "";
    in.Edit2 = " 5.6";
    in.Edit7 = "4.5 ";
    in.Edit8 = " 130 ";
    in.Edit10 = "200 ";
    EXPECT_EQ(
        composeBloodRoutineLine(in),
        "血常规（2007-5-8，本院）：WBC： 5.6X10^9/L、RBC：4.5 X10^12/L、HGB： 130  g/L、PLT：200 X10^9/L。");
}

TEST(Examination, FreeTextJoinsMemoLines)
{
    struct Case
    {
        QString name, memo;
        QString line;
    };
    const Case cases[] = {
        {"胸片", "双肺纹理增粗\r\n心影不大\r\n", "胸片（2007-5-8，本院）：双肺纹理增粗心影不大"},
        {"胸片", "", "胸片（2007-5-8，本院）："},
        {"", "心电图正常", "（2007-5-8，本院）：心电图正常"},
        {" B超 ", " 肝胆脾未见异常 \r\n \r\n", "B超 （2007-5-8，本院）： 肝胆脾未见异常"},
        {"CT", "a\r\n\r\nb", "CT（2007-5-8，本院）：ab"},
    };
    for (const Case &c : cases) {
        ExaminationInput in;
        in.ComboBox1 = c.name;
        in.Memo2 = c.memo;
        const ExaminationPost post = composeExaminationPost(in); // blood-count edits empty: nothing required
        EXPECT_TRUE(post.accepted);
        EXPECT_EQ(post.line, c.line);
    }
}

TEST(MemoLines, AddedLineFollowsTheOldText)
{
    struct Case
    {
        QString memo;
        QString result;
    };
    const Case cases[] = {
        {"", "T\r\n"},       {"A\r\n", "A\r\nT\r\n"}, {"A", "A\r\nT"}, {"A\r\nB", "A\r\nB\r\nT"},
        {"A\n", "A\nT\r\n"}, {"\r\n", "\r\nT\r\n"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(memoWithAddedLine(c.memo, "T"), c.result) << c.memo.toStdString();

    // Two posts of the same line add two identical lines and leave the first ones alone.
    QString memo = "旧行";
    for (int i = 0; i < 2; ++i)
        memo = memoWithAddedLine(memo, "胸片（2007-5-8，外院）：");
    EXPECT_EQ(memo, "旧行\r\n胸片（2007-5-8，外院）：\r\n胸片（2007-5-8，外院）：");

    EXPECT_EQ(memoWithOnlyLine("患者前"), "患者前\r\n");
    EXPECT_EQ(memoWithOnlyLine(""), "\r\n");
}
