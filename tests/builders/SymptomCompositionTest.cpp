#include "builders/SymptomComposition.h"
#include "PrintQString.h"
#include "builders/SymptomTable.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace builders;

namespace {

// The picker's boxes in its order, with the named ones ticked.
QList<SymptomTick> ticks(const QSet<QString> &tickedNames)
{
    QList<SymptomTick> list;
    for (const SymptomBox &box : symptomBoxes())
        list.append({box.captionText(), tickedNames.contains(QString::fromLatin1(box.objectName))});
    return list;
}

} // namespace

TEST(SymptomTable, HoldsAllBoxesColumnByColumn)
{
    const auto &boxes = symptomBoxes();
    QSet<QString> names;
    for (int i = 0; i < kSymptomCount; ++i) {
        EXPECT_EQ(boxes[i].column, i / 7 + 1) << i;
        EXPECT_EQ(boxes[i].row, i % 7 + 1) << i;
        names.insert(QString::fromLatin1(boxes[i].objectName));
    }
    for (int n = 1; n <= kSymptomCount; ++n)
        EXPECT_TRUE(names.contains(QStringLiteral("CheckBox%1").arg(n))) << n;

    // Column 2 runs against the numbers of its names.
    QStringList column2;
    for (int i = 7; i < 14; ++i)
        column2 << QString::fromLatin1(boxes[i].objectName) + "=" + boxes[i].captionText();
    EXPECT_EQ(column2.join(' '), "CheckBox8=腹痛 CheckBox14=腹泻 CheckBox13=恶心 CheckBox12=呕吐 "
                                 "CheckBox11=返酸 CheckBox10=烧心 CheckBox9=腹胀");

    QStringList all;
    for (const SymptomBox &box : boxes)
        all << box.captionText();
    EXPECT_EQ(all.count("咳嗽"), 5);
    EXPECT_EQ(all.count("盗汗"), 4);
    EXPECT_EQ(all.count("喘憋"), 2);
    EXPECT_EQ(all.count("发热"), 2);
    EXPECT_EQ(all.count("胸痛"), 2);
    EXPECT_EQ(all.last(), "咳嗽");
    EXPECT_EQ(all.at(20), "排便困难");
}

TEST(SymptomText, JoinsTickedCaptionsInPickerOrder)
{
    struct Case
    {
        QSet<QString> ticked;
        QString text;
    };
    const Case cases[] = {
        {{"CheckBox1", "CheckBox2", "CheckBox5"}, "咳嗽、咳痰、发热"},
        {{}, ""},
        {{"CheckBox40"}, "血尿"},
        {{"CheckBox9", "CheckBox14"}, "腹泻、腹胀"},
        {{"CheckBox1", "CheckBox28"}, "咳嗽、咳嗽"},
        {{"CheckBox49", "CheckBox21", "CheckBox8", "CheckBox7"}, "胸痛、腹痛、排便困难、咳嗽"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(composeSymptomText(ticks(c.ticked)), c.text) << c.text.toStdString();

    QSet<QString> every;
    for (const SymptomBox &box : symptomBoxes())
        every.insert(QString::fromLatin1(box.objectName));
    const QString text = composeSymptomText(ticks(every));
    EXPECT_EQ(text.split("、").size(), kSymptomCount);
    EXPECT_TRUE(text.startsWith("咳嗽、咳痰、咯血、喘憋、发热、盗汗、胸痛、腹痛、腹泻"));
}

TEST(SymptomText, SeparatorFollowsTheCountOfNamesTaken)
{
    // An empty caption still counts as a name taken, so the next one gets its "、".
    EXPECT_EQ(composeSymptomText({{"", true}, {"咳嗽", true}}), "、咳嗽");
    EXPECT_EQ(composeSymptomText({{"咳嗽", false}, {"发热", true}}), "发热");
}

TEST(SymptomText, TargetEditBySymptomTarget)
{
    const QString expected[] = {"Edit1", "Edit2", "Edit3", "Edit4", "Edit14"};
    for (int target = 0; target < 5; ++target)
        EXPECT_EQ(symptomTargetEdit(target), expected[target]);
    for (int target : {-1, 5, 14, 1000})
        EXPECT_EQ(symptomTargetEdit(target), "") << target;
}
