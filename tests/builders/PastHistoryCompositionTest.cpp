#include "builders/PastHistoryComposition.h"
#include "PrintQString.h"

#include <gtest/gtest.h>

using namespace builders;

namespace {

const QString kAllNegative =
    QStringLiteral("无肝炎病史及密切接触史。无结核病史及密切接触史。否认糖尿病史。否认冠心病史。"
                   "无手术、外伤史。无药物、食物过敏史。无输血史。");

PastHistoryInput allFlags(Qt::CheckState state)
{
    PastHistoryInput in;
    in.DBCheckBox1 = in.DBCheckBox2 = in.DBCheckBox16 = in.DBCheckBox17 = state;
    in.DBCheckBox4 = in.DBCheckBox5 = in.DBCheckBox6 = in.DBCheckBox7 = in.DBCheckBox8 = state;
    return in;
}

} // namespace

TEST(PastHistory, DefaultsAndVaccination)
{
    struct Case
    {
        Qt::CheckState flags;
        int vaccination;
        QString ending;
    };
    const Case cases[] = {
        {Qt::Unchecked, 0, "预防接种史不详。"},
        {Qt::PartiallyChecked, 0, "预防接种史不详。"}, // greyed boxes: empty columns
        {Qt::Unchecked, 1, "预防接种史随当地。"},
        {Qt::Unchecked, -1, ""},
    };
    for (const Case &c : cases) {
        PastHistoryInput in = allFlags(c.flags);
        in.RadioGroup1 = c.vaccination;
        in.Edit1 = "edits are ignored when unticked";
        in.Edit5 = "x";
        EXPECT_EQ(composePastHistory(in), kAllNegative + c.ending) << c.flags << " " << c.vaccination;
    }
    EXPECT_EQ(composePastHistory({}), kAllNegative + "预防接种史不详。");
}

TEST(PastHistory, TickedSingleFlags)
{
    // Ticking one box replaces its negative sentence; lead-ins only for hepatitis and
    // tuberculosis; diabetes, coronary disease and transfusion are trimmed, the others not.
    struct Case
    {
        Qt::CheckState PastHistoryInput::*box;
        QString PastHistoryInput::*edit;
        QString typed;
        QString negative;
        QString written;
    };
    const Case cases[] = {
        {&PastHistoryInput::DBCheckBox1, &PastHistoryInput::Edit1, " 乙肝10年。 ", "无肝炎病史及密切接触史。",
         "有肝炎病史， 乙肝10年。 "},
        {&PastHistoryInput::DBCheckBox1, &PastHistoryInput::Edit1, "", "无肝炎病史及密切接触史。",
         "有肝炎病史，"},
        {&PastHistoryInput::DBCheckBox2, &PastHistoryInput::Edit2, " 已治愈。", "无结核病史及密切接触史。",
         "有结核病史， 已治愈。"},
        {&PastHistoryInput::DBCheckBox16, &PastHistoryInput::Edit3, " 糖尿病史5年。\t", "否认糖尿病史。",
         "糖尿病史5年。"},
        {&PastHistoryInput::DBCheckBox16, &PastHistoryInput::Edit3, "", "否认糖尿病史。", ""},
        {&PastHistoryInput::DBCheckBox17, &PastHistoryInput::Edit4, "  冠心病史3年。", "否认冠心病史。",
         "冠心病史3年。"},
        {&PastHistoryInput::DBCheckBox17, &PastHistoryInput::Edit4, "", "否认冠心病史。", ""},
        {&PastHistoryInput::DBCheckBox8, &PastHistoryInput::Edit7, " 1998年输血400ml。 ", "无输血史。",
         "1998年输血400ml。"},
        {&PastHistoryInput::DBCheckBox8, &PastHistoryInput::Edit7, "", "无输血史。", ""},
    };
    for (const Case &c : cases) {
        PastHistoryInput in;
        in.*(c.box) = Qt::Checked;
        in.*(c.edit) = c.typed;
        QString expected = kAllNegative + "预防接种史不详。";
        expected.replace(c.negative, c.written);
        EXPECT_EQ(composePastHistory(in), expected) << c.written.toStdString();

        in.*(c.box) = Qt::PartiallyChecked; // greyed reads as not ticked
        EXPECT_EQ(composePastHistory(in), kAllNegative + "预防接种史不详。");
    }
}

TEST(PastHistory, PairsOfBoxesSharingOneEdit)
{
    struct Case
    {
        bool first, second;
        QString written;
    };
    const Case operations[] = {
        {false, false, "无手术、外伤史。"},
        {false, true, "无手术史， 1990年骨折。"},
        {true, true, " 1990年骨折。"},
        {true, false, "无外伤史， 1990年骨折。"},
    };
    for (const Case &c : operations) {
        PastHistoryInput in;
        in.DBCheckBox4 = c.first ? Qt::Checked : Qt::Unchecked;
        in.DBCheckBox5 = c.second ? Qt::Checked : Qt::PartiallyChecked;
        in.Edit5 = " 1990年骨折。";
        QString expected = kAllNegative + "预防接种史不详。";
        expected.replace("无手术、外伤史。", c.written);
        EXPECT_EQ(composePastHistory(in), expected) << c.first << c.second;
    }

    const Case allergies[] = {
        {false, false, "无药物、食物过敏史。"},
        {false, true, "无药物过敏史，对虾过敏。 "},
        {true, true, "对虾过敏。 "},
        {true, false, "无食物过敏史，对虾过敏。 "},
    };
    for (const Case &c : allergies) {
        PastHistoryInput in;
        in.DBCheckBox6 = c.first ? Qt::Checked : Qt::Unchecked;
        in.DBCheckBox7 = c.second ? Qt::Checked : Qt::Unchecked;
        in.Edit6 = "对虾过敏。 ";
        QString expected = kAllNegative + "预防接种史不详。";
        expected.replace("无药物、食物过敏史。", c.written);
        EXPECT_EQ(composePastHistory(in), expected) << c.first << c.second;
    }

    // Both ticked with the edits empty: nothing at all for either section.
    PastHistoryInput both;
    both.DBCheckBox4 = both.DBCheckBox5 = both.DBCheckBox6 = both.DBCheckBox7 = Qt::Checked;
    EXPECT_EQ(composePastHistory(both),
              "无肝炎病史及密切接触史。无结核病史及密切接触史。否认糖尿病史。否认冠心病史。"
              "无输血史。预防接种史不详。");
}
