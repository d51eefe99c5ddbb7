#include "builders/PresentIllnessComposition.h"
#include "PrintQString.h"

#include <gtest/gtest.h>

using namespace builders;

namespace {

const QString kClosing = QStringLiteral("今为进一步诊治收入我院。患者自发病以来，"
                                        "神志清，精神不振，饮食休息欠佳，二便未见显著异常。");

PresentIllnessInput workedExample()
{
    PresentIllnessInput in;
    in.Edit15 = "3";
    in.ComboBox8 = "天";
    in.RadioGroup1 = 0;
    in.Edit1 = "咳嗽、咳痰";
    in.Edit2 = "发热";
    in.RadioGroup2 = 2;
    in.RadioGroup4 = 1;
    in.Edit13 = "头孢";
    in.RadioGroup3 = 1;
    return in;
}

} // namespace

TEST(PresentIllness, WorkedExample)
{
    EXPECT_EQ(composePresentIllness(workedExample()),
              "患者3天前无诱因出现咳嗽、咳痰等症状，无发热等表现，就诊于当地医院，应用头孢等药物，有好转，"
              "今为进一步诊治收入我院。患者自发病以来，神志清，精神不振，饮食休息欠佳，二便未见显著异常。");
}

TEST(PresentIllness, NothingEnteredWritesEveryFixedPiece)
{
    EXPECT_EQ(composePresentIllness({}), "患者前出现等症状，无等表现，" + kClosing);
}

TEST(PresentIllness, TriggerByRadioGroup1)
{
    struct Case
    {
        int choice;
        QString edit11;
        QString expectedStart;
    };
    const Case cases[] = {
        {0, "受凉后", "患者3天前无诱因出现"},
        {1, "受凉后", "患者3天前受凉后出现"},
        {-1, "受凉后", "患者3天前受凉后出现"}, // no choice reads like "有"
        {-1, "", "患者3天前出现"},
        {1, " 受凉后 ", "患者3天前 受凉后 出现"}, // taken as typed
    };
    for (const Case &c : cases) {
        PresentIllnessInput in = workedExample();
        in.RadioGroup1 = c.choice;
        in.Edit11 = c.edit11;
        EXPECT_TRUE(composePresentIllness(in).startsWith(c.expectedStart))
            << c.choice << c.edit11.toStdString();
    }
}

TEST(PresentIllness, CourseBeforeAdmission)
{
    // Each case fixes the course (RadioGroup2), the place (RadioGroup4) and the improvement
    // (RadioGroup3); the text between the signs and the free lines must be exactly this.
    struct Case
    {
        int course, place, improved;
        QString edit12;
        QString middle;
    };
    const Case cases[] = {
        {0, 1, 1, "", "院外未诊治，"},
        {1, 1, 1, "", "院外治疗，应用头孢等药物，有好转，"},
        {1, 3, 0, "县医院", "院外治疗，应用头孢等药物，无好转，"},
        {1, 1, -1, "", "院外治疗，应用头孢等药物，"},
        {2, 0, 1, "", "就诊于当地诊所，应用头孢等药物，有好转，"},
        {2, 1, 0, "", "就诊于当地医院，应用头孢等药物，无好转，"},
        {2, 2, 1, "", "就诊于我院，应用头孢等药物，有好转，"},
        {2, 3, 1, "县医院", "就诊于县医院应用头孢等药物，有好转，"},
        {2, 3, 1, " 县医院 ", "就诊于 县医院 应用头孢等药物，有好转，"},
        {2, -1, -1, "县医院", "就诊于应用头孢等药物，"},
        {-1, 1, 1, "县医院", ""},
    };
    for (const Case &c : cases) {
        PresentIllnessInput in = workedExample();
        in.RadioGroup2 = c.course;
        in.RadioGroup4 = c.place;
        in.RadioGroup3 = c.improved;
        in.Edit12 = c.edit12;
        in.Edit3 = "曾查胸片。";
        EXPECT_EQ(composePresentIllness(in),
                  "患者3天前无诱因出现咳嗽、咳痰等症状，无发热等表现，" + c.middle + "曾查胸片。" + kClosing)
            << c.course << " " << c.place << " " << c.improved;
    }
}

TEST(PresentIllness, TrimsOnlyTheFreePhrases)
{
    PresentIllnessInput in;
    in.Edit15 = " 3 ";
    in.ComboBox8 = " 天";
    in.RadioGroup1 = 1;
    in.Edit11 = " 受凉 ";
    in.Edit1 = " 咳嗽\t";
    in.Edit16 = "  伴乏力，";
    in.Edit2 = " 发热 ";
    in.RadioGroup2 = 2;
    in.RadioGroup4 = 3;
    in.Edit12 = " 县医院 ";
    in.Edit13 = " 头孢 ";
    in.Edit3 = " a ";
    in.Edit4 = "\tb\t";
    in.Edit14 = QStringLiteral("　c　"); // the full-width blank is text
    EXPECT_EQ(composePresentIllness(in),
              QStringLiteral(
                  "患者 3  天前 受凉 出现咳嗽等症状，伴乏力，无 发热 等表现，就诊于 县医院 应用 头孢 等药物，"
                  "ab　c　") +
                  kClosing);
}

TEST(PresentIllness, UsesTheCaptionsGiven)
{
    PresentIllnessInput in;
    in.Label23 = "病人";
    in.Label62 = "以前";
    in.Label69 = "A";
    in.Label1 = "B";
    in.Label70 = "C";
    in.Label65 = "D";
    in.Label66 = "E";
    in.Label67 = "F";
    in.Label68 = "G";
    in.RadioGroup2 = 1;
    EXPECT_EQ(composePresentIllness(in), "病人以前出现ABC院外治疗，DEFG");
}
