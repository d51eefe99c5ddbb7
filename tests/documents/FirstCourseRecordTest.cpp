#include "documents/FirstCourseRecord.h"

#include <gtest/gtest.h>

using namespace documents;

namespace {

QString q(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

QHash<QString, QString> patient(const QString &age, const QString &sex = q("女"))
{
    return {{"Name", q("王芳")},
            {"sex", sex},
            {"age", age},
            {"complaint", q("反复胸闷2年。")},
            {"DoA", "2006-05-12 08:30:00"},
            {"PresentIllness", q("患者2年前\r\n出现胸闷。\r\n")},
            {"fuzhu", q("心电图：\r\n窦性心律。")}};
}

QHash<QString, Qt::CheckState> noFlags()
{
    QHash<QString, Qt::CheckState> flags;
    for (const QString &f : consultedHistoryFlags())
        flags.insert(f, Qt::Unchecked);
    return flags;
}

} // namespace

TEST(FirstCourseRecord, FiveLines)
{
    const QStringList expected{
        q("    患者王芳,女,62岁,因反复胸闷2年于2006-05-12 08:30:00收入院。"),
        q("一、病例特点："),
        q("1、老年女性，往体健，无特殊病史。"),
        q("2、患者2年前出现胸闷。"),
        q("3、心电图：窦性心律。"),
    };
    EXPECT_EQ(firstCourseLines(patient("62"), noFlags()), expected);
    EXPECT_EQ(firstCourseText(patient("62"), noFlags()), expected.join("\r\n"));
    // Running it again gives the same five lines: the text replaces, never adds.
    EXPECT_EQ(firstCourseLines(patient("62"), noFlags()).size(), 5);
}

TEST(FirstCourseRecord, AgeGroups)
{
    struct Case
    {
        const char *age;
        const char *item1; // empty: the command stops after the second line
    };
    const Case cases[] = {
        {"0", "1、青年男性，"},
        {"29", "1、青年男性，"},
        {"30", "1、中年男性，"},
        {"49", "1、中年男性，"},
        {"50", "1、老年男性，"},
        {"120", "1、老年男性，"},
        {"121", "1、男性，"},
        {"-1", "1、男性，"},
        {"  35", "1、中年男性，"},
        {"+35", "1、中年男性，"},
        {"-0", "1、青年男性，"},
        {"99999999999", ""},
        {"", ""},
        {"45岁", ""},
        {"45 ", ""},
        {"4.5", ""},
        {"abc", ""},
        {"-", ""},
        {" ", ""},
        {"４５", ""},
    };
    for (const Case &c : cases) {
        const QStringList lines = firstCourseLines(patient(q(c.age), q("男")), noFlags());
        // The opening sentence always carries the age text as typed.
        EXPECT_EQ(lines.at(0),
                  q("    患者王芳,男,") + q(c.age) + q("岁,因反复胸闷2年于2006-05-12 08:30:00收入院。"))
            << c.age;
        if (*c.item1 == 0) {
            EXPECT_EQ(lines.size(), 2) << c.age;
            EXPECT_EQ(lines.last(), q("一、病例特点：")) << c.age;
        } else {
            ASSERT_EQ(lines.size(), 5) << c.age;
            EXPECT_EQ(lines.at(2), q(c.item1) + q("往体健，无特殊病史。")) << c.age;
        }
    }
}

TEST(FirstCourseRecord, HistoryFlags)
{
    struct Case
    {
        const char *flag;
        Qt::CheckState state;
        bool suppresses;
    };
    const Case cases[] = {
        {"Boolen01", Qt::Checked, true},           {"Boolen02", Qt::Checked, true},
        {"Boolen16", Qt::Checked, true},           {"Boolen17", Qt::Checked, true},
        {"Boolen04", Qt::Checked, true},           {"Boolen06", Qt::Checked, true},
        {"Boolen08", Qt::Checked, true},           {"Boolen05", Qt::Checked, false}, // trauma: not consulted
        {"Boolen07", Qt::Checked, false},          // food allergy: not consulted
        {"Boolen16", Qt::PartiallyChecked, false}, // greyed (null) is not set
        {"Boolen16", Qt::Unchecked, false},
    };
    for (const Case &c : cases) {
        QHash<QString, Qt::CheckState> flags = noFlags();
        flags.insert(QLatin1String(c.flag), c.state);
        const QString item1 = firstCourseLines(patient("35", q("男")), flags).at(2);
        EXPECT_EQ(item1, c.suppresses ? q("1、中年男性，") : q("1、中年男性，往体健，无特殊病史。"))
            << c.flag << " " << c.state;
    }
    // With no flag states at all (every check box greyed) nothing is set.
    EXPECT_EQ(firstCourseLines(patient("35", q("男")), {}).at(2), q("1、中年男性，往体健，无特殊病史。"));
}

TEST(FirstCourseRecord, FlagStateFromColumnText)
{
    const std::pair<const char *, Qt::CheckState> cases[] = {
        {"True", Qt::Checked},       {"TRUE", Qt::Checked},           {"true", Qt::Checked},
        {"False", Qt::Unchecked},    {"false", Qt::Unchecked},        {"", Qt::PartiallyChecked},
        {"1", Qt::PartiallyChecked}, {" True", Qt::PartiallyChecked},
    };
    for (const auto &[columnText, state] : cases)
        EXPECT_EQ(flagStateFromText(q(columnText)), state) << columnText;
}

TEST(FirstCourseRecord, ComplaintAndMemos)
{
    QHash<QString, QString> fields = patient("62");
    fields.insert("complaint", q(" 胸闷。气促3天。 "));
    fields.insert("PresentIllness", "");
    fields.insert("fuzhu", q("\r\n\r\n"));
    const QStringList lines = firstCourseLines(fields, noFlags());
    EXPECT_EQ(lines.at(0), q("    患者王芳,女,62岁,因胸闷气促3天于2006-05-12 08:30:00收入院。"));
    EXPECT_EQ(lines.at(3), q("2、"));
    EXPECT_EQ(lines.at(4), q("3、"));
}
