#include "options/InputMethodCatalog.h"

#include <gtest/gtest.h>

#include "QtPrinters.h"

TEST(InputMethodCatalog, NamesAreSortedOnceAndFoundByNameOrId)
{
    const InputMethodCatalog catalog({
        {QStringLiteral("pinyin"), QStringLiteral("拼音")},
        {QStringLiteral("keyboard-us"), QStringLiteral("Keyboard - English (US)")},
        {QStringLiteral("wbx"), QStringLiteral("五笔字型")},
        {QStringLiteral("pinyin"), QStringLiteral("拼音 (again)")}, // an id reported twice counts once
        {QStringLiteral("shuangpin"), QStringLiteral("拼音")},      // a name taken already
        {QStringLiteral("keyboard-de"), QString()},                 // no name: shown by id
        {QString(), QStringLiteral("nameless")},                    // no id: cannot be switched to
    });
    EXPECT_EQ(catalog.names(), QStringList({"Keyboard - English (US)", "keyboard-de", "五笔字型", "拼音"}));

    struct Case
    {
        QString asked;
        QString id;
    };
    const QList<Case> cases = {
        {QStringLiteral("拼音"), QStringLiteral("pinyin")},         // the first one keeps a shared name
        {QStringLiteral("shuangpin"), QStringLiteral("shuangpin")}, // still reachable by its id
        {QStringLiteral("wbx"), QStringLiteral("wbx")},
        {QStringLiteral("keyboard-de"), QStringLiteral("keyboard-de")},
        {QString(), QString()},
        {QStringLiteral("nameless"), QString()},
        {QStringLiteral("拼音 "), QString()}, // names are compared exactly
        {QStringLiteral("没有这个"), QString()},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(catalog.idFor(c.asked), c.id) << c.asked.toStdString();
        EXPECT_EQ(catalog.contains(c.asked), !c.id.isEmpty()) << c.asked.toStdString();
    }
    EXPECT_TRUE(InputMethodCatalog().names().isEmpty());
}
