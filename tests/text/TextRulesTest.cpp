#include "text/Clock.h"
#include "text/TextRules.h"

#include <gtest/gtest.h>

using namespace text;

TEST(Trim, RemovesControlCodesAndBlanksButKeepsFullWidthBlank)
{
    struct Case { QString in, out; };
    const Case cases[] = {
        {"", ""},
        {"  \t高血压病\t  ", "高血压病"},
        {"\r\n冠心病\r\n", "冠心病"},
        {QString(QChar(0)) + "a" + QChar(31), "a"},
        {QStringLiteral("　咳嗽　"), QStringLiteral("　咳嗽　")},
        {" a  b ", "a  b"},
        {" \t\r\n ", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(trim(c.in), c.out) << c.in.toStdString();
}

TEST(GbkWidth, AsciiOneOtherTwo)
{
    struct Case { QString in; int width; };
    const Case cases[] = {
        {"", 0},
        {"abc", 3},
        {"床号：", 6},
        {"姓名：张三", 10},
        {"T：36.5℃", 9},
        {QStringLiteral("　"), 2},
        {QString::fromUcs4(U"𠀀a"), 3},
    };
    for (const Case &c : cases)
        EXPECT_EQ(gbkWidth(c.in), c.width) << c.in.toStdString();
    EXPECT_EQ(padToWidth("床号：7", 26), QString("床号：7") + QString(19, ' '));
    EXPECT_EQ(padToWidth(QString(30, 'x'), 26), QString(30, 'x'));
}

TEST(JoinedMemoText, RemovesCrLfPairsOnlyThenTrims)
{
    EXPECT_EQ(joinedMemoText(" 咳嗽3天，\r\n发热1天。\r\n"), "咳嗽3天，发热1天。");
    EXPECT_EQ(joinedMemoText("a\nb\rc"), "a\nb\rc");
    EXPECT_EQ(joinedMemoText(""), "");
    EXPECT_EQ(firstLine(" 高血压病 \r\n冠心病"), " 高血压病 ");
    EXPECT_EQ(firstLine(""), "");
}

TEST(Clock, FixedClockGivesDateTimeText)
{
    setClock([] { return QDateTime(QDate(2005, 3, 7), QTime(9, 15, 30)); });
    EXPECT_EQ(nowText(), "2005-03-07 09:15:30");
    setClock({});
    EXPECT_EQ(shortDateText(QDate(2007, 5, 8)), "2007-5-8");
    EXPECT_EQ(nowText().size(), 19);
}
