#include "phrases/PhraseInsertion.h"
#include "phrases/PhraseFields.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace phrases;

namespace {
const QString kFullBlank = QString(QChar(0x3000));
}

TEST(PhraseInsertion, MemoAndLineFields)
{
    struct Case
    {
        const char *what;
        QString key;
        QString line;
        QString old;
        std::optional<QString> expected;
    };
    const Case cases[] = {
        // the three memo endings
        {"empty memo", "diagnosis", "高血压病", "", QStringLiteral("高血压病\r\n")},
        {"memo ending in CR LF", "presenthistory", "咳嗽", "发热\r\n", QStringLiteral("发热\r\n咳嗽\r\n")},
        {"memo without final break", "pasthistory", "否认肝炎", "体健", QStringLiteral("体健\r\n否认肝炎")},
        {"memo ending in a lone LF", "Pripro3", "吸氧", "休息\n", QStringLiteral("休息\n吸氧\r\n")},
        {"memo ending in a blank", "familyhistory", "无", "父母健在 ", QStringLiteral("父母健在 \r\n无")},
        // trimming: blanks, tabs, control characters go; the full-width blank stays
        {"blanks and tabs", "complaint", "  \t发热3天  \t", "旧主诉", QStringLiteral("发热3天")},
        {"blanks and tabs into memo", "privatehistory", "  \t吸烟20年\t  ", "",
         QStringLiteral("吸烟20年\r\n")},
        {"full-width blank kept", "diagnosis", kFullBlank + "冠心病" + kFullBlank, "",
         kFullBlank + QStringLiteral("冠心病") + kFullBlank + "\r\n"},
        {"inner blanks kept", "minzu", " 汉 族 ", "", QStringLiteral("汉 族")},
        // one-line fields are replaced whole, also by an empty line
        {"replace", "occupation", "农民", "工人", QStringLiteral("农民")},
        {"empty line empties a line field", "complaint", "", "胸痛2小时", QString("")},
        {"empty line adds an empty memo line", "diagnosis", "", "冠心病", QStringLiteral("冠心病\r\n")},
        {"empty line into empty memo", "diagnosis", "   ", "", QStringLiteral("\r\n")},
        // keys compare exactly
        {"empty key", "", "x", "old", std::nullopt},
        {"unknown key", "nationality", "x", "old", std::nullopt},
        {"case counts", "Occupation", "x", "old", std::nullopt},
        {"file name is no key", "complaints", "x", "old", std::nullopt},
        {"no trimming of keys", "minzu ", "x", "old", std::nullopt},
    };
    for (const Case &c : cases) {
        const std::optional<QString> got = insertPhrase(c.key, c.line, c.old);
        EXPECT_EQ(got, c.expected) << c.what;
    }
}

TEST(PhraseFields, NineFieldsWithTheirKeysFilesAndKinds)
{
    const auto fields = phraseFields();
    ASSERT_EQ(fields.size(), 9u);
    QSet<QString> keys, controls;
    for (const PhraseField &f : fields) {
        keys << f.targetKey;
        controls << f.control;
        EXPECT_EQ(QString(f.handler), QString(f.control) + "DblClick");
        EXPECT_EQ(fieldByTargetKey(f.targetKey), &f);
        EXPECT_EQ(fieldByControl(f.control), &f);
    }
    EXPECT_EQ(keys.size(), 9);
    EXPECT_EQ(controls.size(), 9);

    struct Expect
    {
        const char *control, *column, *key, *file;
        InsertionKind kind;
    };
    const Expect expected[] = {
        {"DBMemo1", "PresentIllness", "presenthistory", "PresentIllness.txt", InsertionKind::AddLine},
        {"DBMemo9", "Pripro3", "Pripro3", "Pripro3.txt", InsertionKind::AddLine},
        {"DBEdit18", "complaint", "complaint", "complaints.txt", InsertionKind::Replace},
        {"DBEdit26", "tmp20", "minzu", "minzu.txt", InsertionKind::Replace},
        {"DBComboBox3", "Occupation", "occupation", "Occupation.txt", InsertionKind::Replace},
    };
    for (const Expect &e : expected) {
        const PhraseField *f = fieldByControl(e.control);
        ASSERT_NE(f, nullptr) << e.control;
        EXPECT_STREQ(f->column, e.column);
        EXPECT_STREQ(f->targetKey, e.key);
        EXPECT_STREQ(f->fileName, e.file);
        EXPECT_EQ(f->kind, e.kind);
    }
    EXPECT_EQ(fieldByTargetKey(""), nullptr);
    EXPECT_EQ(fieldByTargetKey("Occupation"), nullptr);
}
