#include "records/ColumnTable.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

QStringList names()
{
    QStringList result;
    for (const Column &column : columns::all())
        result << QString::fromUtf8(column.name);
    return result;
}

} // namespace

TEST(ColumnTable, HoldsTheSeventyNineColumnsInTableOrder)
{
    // Written out by hand so that a misspelt or re-cased name in the table shows here.
    // clang-format off
    const QStringList expected = {
        "Bed", "ID", "Name", "home", "sex", "Occupation", "age", "DoA", "tmp20", "DoR", "marriage",
        "describer", "complaint", "PresentIllness", "PastHistory", "PersonalHistory", "FamilyHistory",
        "T", "P", "R", "BP", "development", "nutrition", "consciousness", "mental", "posture",
        "Cooperation", "skin", "LN", "Head", "Brow", "Eye", "Lid", "Conjunctiva", "sclerae", "pupil", "Ear",
        "Nose", "Lip", "gum", "tongue", "Throat", "tonsil", "Neck", "trachea", "thyroid",
        "lung1", "lung2", "lung3", "lung4", "heart1", "heart2", "heart3", "heart4", "BVsign",
        "Abodomen1", "Abodomen2", "Abodomen3", "Abodomen4", "Anal", "vertcol", "Limbs", "NSystem",
        "fuzhu", "diagnosis", "PriDiagnosis", "tmp18", "Pripro1", "Pripro2", "Pripro3",
        "Boolen01", "Boolen02", "Boolen16", "Boolen17", "Boolen04", "Boolen05", "Boolen06", "Boolen07",
        "Boolen08"};
    // clang-format on
    ASSERT_EQ(expected.size(), 79);
    EXPECT_EQ(names(), expected);
}

TEST(ColumnTable, ControlNamesAndColumnNamesAreUnique)
{
    QSet<QString> controls;
    QSet<QString> lowerNames; // the database compares column names without regard to case
    for (const Column &column : columns::all()) {
        EXPECT_FALSE(controls.contains(column.control)) << column.control;
        controls.insert(column.control);
        const QString lower = QString::fromUtf8(column.name).toLower();
        EXPECT_FALSE(lowerNames.contains(lower)) << column.name;
        lowerNames.insert(lower);
    }
}

TEST(ColumnTable, RowsCarryKindControlTabAndOfferedItems)
{
    struct Case
    {
        const char *name;
        ColumnKind kind;
        const char *control;
        const char *tab;
        const char *label;
        QStringList offered;
    };
    const Case cases[] = {
        {"Bed", ColumnKind::Bed, "DBEdit1", "入院记录", "床号：", {}},
        {"sex", ColumnKind::Line, "DBComboBox1", "入院记录", "性别：", {"男", "女"}},
        {"describer",
         ColumnKind::Line,
         "DBComboBox4",
         "入院记录",
         "病史陈述者：",
         {"患者本人", "患者本人及家属", "患者家属"}},
        {"DoR", ColumnKind::DateTime, "DBEdit9", "入院记录", "记录日期：", {}},
        {"PresentIllness", ColumnKind::Memo, "DBMemo1", "入院记录", "现病史：", {}},
        // The third item of development is empty, and must stay an item.
        {"development", ColumnKind::Line, "DBComboBox6", "体格检查", "发育", {"正常", "不良", ""}},
        {"Abodomen2",
         ColumnKind::Line,
         "DBComboBox37",
         "体格检查",
         "",
         {"腹软，无压痛及反跳痛，未及包块，肝脾肋下未触及，Murphy’s征（－），麦氏点无压痛。"}},
        {"tonsil", ColumnKind::Line, "DBComboBox58", "体格检查", "扁桃体：", {"扁桃体不大。"}},
        {"fuzhu", ColumnKind::Memo, "DBMemo6", "辅检诊断", "辅  助  检  查     （注：F1键有效）", {}},
        {"PriDiagnosis", ColumnKind::Line, "DBEdit7", "病人管理", "", {}},
        {"tmp18", ColumnKind::DateTime, "DBEdit25", "首次病程", "", {}},
        {"Boolen16", ColumnKind::Flag, "DBCheckBox16", "既往史", "糖尿病", {}},
        {"Boolen08", ColumnKind::Flag, "DBCheckBox8", "既往史", "输血史", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Column &column = columns::byName(c.name);
        EXPECT_EQ(column.kind, c.kind);
        EXPECT_STREQ(column.control, c.control);
        EXPECT_STREQ(column.tab, c.tab);
        EXPECT_STREQ(column.label, c.label);
        EXPECT_EQ(column.offered, c.offered);
    }
}

TEST(ColumnTable, LooksUpByExactName)
{
    EXPECT_EQ(columns::indexOf("Bed"), 0);
    EXPECT_EQ(columns::indexOf("Boolen08"), 78);
    EXPECT_EQ(columns::indexOf("bed"), -1); // exact case only
    EXPECT_EQ(columns::indexOf(""), -1);
    EXPECT_THROW(columns::byName("Abdomen1"), std::out_of_range);
    for (const QString &name : columns::listColumns())
        EXPECT_GE(columns::indexOf(name), 0) << name.toStdString();
    EXPECT_EQ(columns::listColumns(),
              QStringList({"Bed", "ID", "Name", "sex", "age", "marriage", "PriDiagnosis"}));
}
