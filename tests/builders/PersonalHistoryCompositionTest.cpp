#include "builders/PersonalHistoryComposition.h"
#include "PrintQString.h"

#include <gtest/gtest.h>

using namespace builders;

namespace {

PersonalHistoryInput defaults()
{
    PersonalHistoryInput in;
    in.DBEdit1 = "山东省澄岚市";
    return in;
}

} // namespace

TEST(PersonalHistory, DefaultsUntouched)
{
    EXPECT_EQ(
        composePersonalHistory(defaults()),
        "生于山东省澄岚市，无外地长期居住史，无疫区居住史。无吸烟史。无饮酒史。23岁结婚，爱人及子女均健康。");
    EXPECT_EQ(composePersonalHistory({}),
              "生于，无外地长期居住史，无疫区居住史。无吸烟史。无饮酒史。23岁结婚，爱人及子女均健康。");
}

TEST(PersonalHistory, ResidenceAndEpidemicArea)
{
    struct Case
    {
        int residence, epidemic;
        QString edit1, edit2;
        QString middle;
    };
    const Case cases[] = {
        {0, 0, "x", "y", "无外地长期居住史，无疫区居住史。"},
        {1, 0, " 曾在新疆居住5年，", "y", "有外地长期居住史，曾在新疆居住5年，无疫区居住史。"},
        {0, 1, "x", " 曾去过疫区 ", "无外地长期居住史，有疫区居住史。曾去过疫区"},
        {1, 1, "", "", "有外地长期居住史，有疫区居住史。"},
        {-1, 0, "x", "y", "无疫区居住史。"},
        {0, -1, "x", "y", "无外地长期居住史，"},
        {-1, -1, "x", "y", ""},
    };
    for (const Case &c : cases) {
        PersonalHistoryInput in = defaults();
        in.RadioGroup1 = c.residence;
        in.RadioGroup2 = c.epidemic;
        in.Edit1 = c.edit1;
        in.Edit2 = c.edit2;
        EXPECT_EQ(composePersonalHistory(in),
                  "生于山东省澄岚市，" + c.middle + "无吸烟史。无饮酒史。23岁结婚，爱人及子女均健康。")
            << c.residence << " " << c.epidemic;
    }
}

TEST(PersonalHistory, SmokingAndDrinkingTakenAsTyped)
{
    PersonalHistoryInput in = defaults();
    in.CheckBox1 = true;
    in.Edit3 = "20";
    in.Edit4 = "10";
    EXPECT_EQ(composePersonalHistory(in),
              "生于山东省澄岚市，无外地长期居住史，无疫区居住史。吸烟史：20支/日X10年。"
              "无饮酒史。23岁结婚，爱人及子女均健康。");
    in.CheckBox2 = true;
    in.Edit5 = " 2 ";
    in.Edit6 = "";
    in.Edit3 = " 20";
    EXPECT_EQ(composePersonalHistory(in),
              "生于山东省澄岚市，无外地长期居住史，无疫区居住史。吸烟史： 20支/日X10年。"
              "饮酒史： 2 两/日X年。23岁结婚，爱人及子女均健康。");
}

TEST(PersonalHistory, MenstrualHistory)
{
    struct Case
    {
        bool history, ownClosing;
        QString edit10;
        QString written;
    };
    const Case cases[] = {
        {true, false, "量多。", "月经史：14岁（3-5/28-30）2007.1.1。经量中等，无痛经史。"},
        {true, true, "", "月经史：14岁（3-5/28-30）2007.1.1。"},
        {true, true, " 量多，有痛经史。", "月经史：14岁（3-5/28-30）2007.1.1。 量多，有痛经史。"},
        {false, true, "量多。", ""},
        {false, false, "", ""},
    };
    for (const Case &c : cases) {
        PersonalHistoryInput in = defaults();
        in.CheckBox3 = c.history;
        in.CheckBox4 = c.ownClosing;
        in.Edit7 = "14";
        in.Edit10 = c.edit10;
        EXPECT_EQ(composePersonalHistory(in),
                  "生于山东省澄岚市，无外地长期居住史，无疫区居住史。无吸烟史。无饮酒史。" + c.written +
                      "23岁结婚，爱人及子女均健康。")
            << c.history << c.ownClosing;
    }
}

TEST(PersonalHistory, MarriageAlwaysWritten)
{
    PersonalHistoryInput in = defaults();
    in.Edit11 = "";
    EXPECT_TRUE(composePersonalHistory(in).endsWith("无饮酒史。岁结婚，爱人及子女均健康。"));
    in.Edit11 = " 25 ";
    EXPECT_TRUE(composePersonalHistory(in).endsWith("无饮酒史。 25 岁结婚，爱人及子女均健康。"));
}

TEST(PersonalHistory, UsesTheCaptionsGiven)
{
    PersonalHistoryInput in;
    in.RadioGroup1 = 1;
    in.RadioGroup1Caption = "A";
    in.Label1 = "B";
    in.RadioGroup2 = 1;
    in.RadioGroup2Caption = "C";
    in.Label2 = "D";
    in.CheckBox1 = in.CheckBox2 = in.CheckBox3 = true;
    in.CheckBox1Caption = "E";
    in.Label10 = "F";
    in.Label11 = "G";
    in.CheckBox2Caption = "H";
    in.Label3 = "I";
    in.Label4 = "J";
    in.CheckBox3Caption = "K";
    in.Label5 = "L";
    in.Edit8 = "";
    in.Label6 = "M";
    in.Edit9 = "";
    in.Label7 = "N";
    in.Label8 = "O";
    in.Edit11 = "";
    in.Label9 = "P";
    EXPECT_EQ(composePersonalHistory(in), "生于，有AB有CDEFGHIJKLMNOP");
}
