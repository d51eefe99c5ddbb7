#include "phrases/Sections.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace phrases;

TEST(Sections, HeaderAndEndRules)
{
    struct Case
    {
        const char *what;
        QStringList lines;
        QString name;
        QStringList body;
    };
    const Case cases[] = {
        {"plain section", {"<section.肺炎>", "a", "b", "c", "</section>"}, "肺炎", {"a", "b", "c"}},
        {"remarks outside sections", {"remark", "<section.A>", "x", "</section>", "tail"}, "A", {"x"}},
        {"words around the markers", {"see <section.A> below", "x", "done </section> here", "y"}, "A", {"x"}},
        {"body lines copied exactly",
         {"<section.A>", "  x\t", "", "　y", "</section>"},
         "A",
         {"  x\t", "", "　y"}},
        {"missing end runs to the end",
         {"<section.A>", "x", "<section.B>", "y"},
         "A",
         {"x", "<section.B>", "y"}},
        {"header holding the end marker", {"<section.A></section>", "x", "</section>", "y"}, "A", {"x"}},
        {"empty section", {"<section.A>", "</section>", "x"}, "A", {}},
        {"header on the last line", {"x", "<section.A>"}, "A", {}},
        {"missing name", {"<section.A>", "x", "</section>"}, "B", {}},
        {"first of two same names",
         {"<section.A>", "1", "</section>", "<section.A>", "2", "</section>"},
         "A",
         {"1"}},
        {"prefix name finds its own",
         {"<section.肺炎链球菌肺炎>", "long", "</section>", "<section.肺炎>", "short", "</section>"},
         "肺炎",
         {"short"}},
        {"longer name is not found by the prefix",
         {"<section.肺炎>", "short", "</section>"},
         "肺炎链球菌肺炎",
         {}},
        {"case counts", {"<section.copd>", "x", "</section>"}, "COPD", {}},
        {"no trimming of the name", {"<section.A >", "x", "</section>"}, "A", {}},
        {"empty name", {"<section.>", "e", "</section>"}, "", {"e"}},
        {"another header inside a body is a body line",
         {"<section.A>", "x", "<section.B>", "y", "</section>"},
         "B",
         {"y"}},
        {"empty file", {}, "A", {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(sectionBody(c.lines, c.name), c.body) << c.what;
}

TEST(Sections, TextHasEveryLineFollowedByCrLf)
{
    const QStringList lines{"<section.A>", "一", "", "三", "</section>"};
    EXPECT_EQ(sectionText(lines, "A"), QStringLiteral("一\r\n\r\n三\r\n"));
    EXPECT_EQ(sectionText(lines, "B"), QString());
    EXPECT_EQ(sectionText({"<section.A>", "</section>"}, "A"), QString());
    EXPECT_EQ(sectionHeaderIndex(lines, "B"), lines.size());
    EXPECT_EQ(sectionHeaderIndex(lines, "A"), 0);
}

TEST(Sections, AThousandSectionsAnswerAtOnce)
{
    QStringList lines;
    for (int s = 0; s < 1000; ++s) {
        lines << QStringLiteral("<section.疾病%1>").arg(s);
        for (int i = 0; i < 20; ++i)
            lines << QStringLiteral("第%1病的第%2行鉴别诊断内容，写得稍长一些以接近真实文件。").arg(s).arg(i);
        lines << QStringLiteral("</section>");
    }
    QElapsedTimer timer;
    timer.start();
    const QStringList body = sectionBody(lines, QStringLiteral("疾病999"));
    const QStringList none = sectionBody(lines, QStringLiteral("疾病1000"));
    EXPECT_LT(timer.elapsed(), 500);
    ASSERT_EQ(body.size(), 20);
    EXPECT_TRUE(body.front().startsWith(QStringLiteral("第999病的第0行")));
    EXPECT_TRUE(none.isEmpty());
    // "疾病1" must not find "疾病10".."疾病199"
    EXPECT_TRUE(sectionBody(lines, QStringLiteral("疾病1")).front().startsWith(QStringLiteral("第1病")));
}
