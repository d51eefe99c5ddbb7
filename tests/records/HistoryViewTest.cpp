#include "records/HistoryView.h"

#include <gtest/gtest.h>

using historyview::ChangeMark;
using historyview::markChange;

namespace historyview {
// Found by the test framework next to the type, for readable failures.
void PrintTo(const ChangeMark &m, std::ostream *os);
void PrintTo(const ChangeMark &m, std::ostream *os)
{
    *os << "[" << m.prefix.toStdString() << "|-" << m.removed.toStdString() << "|+" << m.added.toStdString()
        << "|" << m.suffix.toStdString() << "]";
}
} // namespace historyview

TEST(ChangeMark, SplitsAroundTheChangedPart)
{
    struct Case
    {
        QString oldText, newText;
        ChangeMark expected;
    };
    const QString smile = QString::fromUcs4(U"😀");
    const QString laugh = QString::fromUcs4(U"😂"); // shares its first UTF-16 unit with 😀
    const Case cases[] = {
        {"咳嗽3天", "咳嗽5天", {"咳嗽", "3", "5", "天"}},
        {"", "新内容", {"", "", "新内容", ""}},
        {"旧内容", "", {"", "旧内容", "", ""}},
        {"相同", "相同", {"相同", "", "", ""}},
        // Repeated letters: the common end never reaches into the common beginning.
        {"aaa", "aaaa", {"aaa", "", "a", ""}},
        {"abcabc", "abc", {"abc", "abc", "", ""}},
        {"第一行\r\n第二行", "第一行\r\n第三行", {"第一行\r\n第", "二", "三", "行"}},
        // A character of two units stays whole on both sides.
        {"a" + smile + "b", "a" + laugh + "b", {"a", smile, laugh, "b"}},
        {smile + "x", laugh + "x", {"", smile, laugh, "x"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.oldText.toStdString() + " -> " + c.newText.toStdString());
        const ChangeMark mark = markChange(c.oldText, c.newText);
        EXPECT_EQ(mark, c.expected);
        EXPECT_EQ(mark.prefix + mark.removed + mark.suffix, c.oldText);
        EXPECT_EQ(mark.prefix + mark.added + mark.suffix, c.newText);
    }
}

TEST(HistoryView, LabelsFilterAndEscaping)
{
    EXPECT_EQ(historyview::fieldLabel("PresentIllness"), "现病史：");
    EXPECT_EQ(historyview::fieldLabel("Archived"), "归档：");
    EXPECT_EQ(historyview::fieldLabel("Unknown"), "Unknown");

    const std::vector<TrailEntry> entries = {
        {1, "1", "Archived", "False", "True", "王", "2026-12-11T10:00:00+08:00"},
        {1, "1", "PresentIllness", "<b>旧</b>", "a & b\r\n第二行", "王", "2026-12-11T09:15:30+08:00"},
        {1, "1", "Bed", "", "1", "王", "2026-12-11T09:00:00+08:00"},
    };
    EXPECT_EQ(historyview::columnsIn(entries), (QStringList{"Bed", "PresentIllness", "Archived"}));
    ASSERT_EQ(historyview::filtered(entries, "Bed").size(), 1u);
    EXPECT_EQ(historyview::filtered(entries, "").size(), 3u);

    const QString html = historyview::historyHtml(entries, "床号 1");
    EXPECT_TRUE(html.contains("&lt;b&gt;旧&lt;/b&gt;"));
    EXPECT_TRUE(html.contains("a &amp; b<br>第二行"));
    EXPECT_FALSE(html.contains("<b>旧"));
    EXPECT_LT(html.indexOf("归档："), html.indexOf("床号："));
    EXPECT_TRUE(html.contains("2026-12-11 09:15:30") || html.contains("2026-12-11")); // shown in local time
    EXPECT_TRUE(historyview::historyHtml({}, "x").contains("没有修改痕迹"));
    // The archive mark changes whole (no common "e" of False and True); an empty side says so.
    EXPECT_TRUE(html.contains(
        "原：<span style='background-color:#f4b6b6;text-decoration:line-through'>False</span>"));
    EXPECT_TRUE(html.contains("新：<span style='background-color:#b6e6b6'>True</span>"));
    EXPECT_TRUE(html.contains("原：<span style='color:#808080'>（空）</span>"));
}
