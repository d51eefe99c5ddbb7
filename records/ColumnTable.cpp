#include "records/ColumnTable.h"

#include <initializer_list>
#include <stdexcept>
#include <vector>

namespace {

QStringList items(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *text : texts)
        list << QString::fromUtf8(text);
    return list;
}

using K = ColumnKind;

// Tab captions. The examination rows are split over a left-hand and a right-hand tab
// that carry the same caption.
constexpr const char *admission = "入院记录";
constexpr const char *examination = "体格检查";
constexpr const char *auxiliary = "辅检诊断";
constexpr const char *patientList = "病人管理";
constexpr const char *firstCourse = "首次病程";
constexpr const char *pastHistory = "既往史";

// The label of a row is the one that stands before its control. In the general-state
// sentence "…[posture]体位，查体[Cooperation]。" that is "体位，查体" for Cooperation, while
// posture has none before it; the later rows of a chest, heart or abdomen group share
// the group's one heading and have no label of their own.
const std::vector<Column> &table()
{
    static const std::vector<Column> rows = {
        // Left-hand tab "入院记录", screen order.
        {"Bed", K::Bed, "床号：", "DBEdit1", admission, {}},
        {"ID", K::Line, "住院号：", "DBEdit5", admission, {}},
        {"Name", K::Line, "姓名：", "DBEdit2", admission, {}},
        {"home", K::Line, "出 生 地：", "DBEdit6", admission, {}},
        {"sex", K::Line, "性别：", "DBComboBox1", admission, items({"男", "女"})},
        {"Occupation", K::Line, "职  业：", "DBComboBox3", admission,
         items({"工人", "农民", "干部", "教师", "个体"})},
        {"age", K::Line, "年龄：", "DBEdit3", admission, {}},
        {"DoA", K::DateTime, "入院日期：", "DBEdit8", admission, {}},
        {"tmp20", K::Line, "民族：", "DBEdit26", admission, {}},
        {"DoR", K::DateTime, "记录日期：", "DBEdit9", admission, {}},
        {"marriage", K::Line, "婚姻：", "DBComboBox2", admission, items({"已婚", "未婚"})},
        {"describer", K::Line, "病史陈述者：", "DBComboBox4", admission,
         items({"患者本人", "患者本人及家属", "患者家属"})},
        {"complaint", K::Line, "主诉：", "DBEdit18", admission, {}},
        {"PresentIllness", K::Memo, "现病史：", "DBMemo1", admission, {}},
        {"PastHistory", K::Memo, "既往史：", "DBMemo2", admission, {}},
        {"PersonalHistory", K::Memo, "个人史：", "DBMemo3", admission, {}},
        {"FamilyHistory", K::Memo, "家族史：", "DBMemo4", admission, {}},

        // Left-hand tab "体格检查": vital signs, general state, head and neck.
        {"T", K::Line, "T：", "DBEdit4", examination, {}},
        {"P", K::Line, "P：", "DBEdit10", examination, {}},
        {"R", K::Line, "R：", "DBEdit11", examination, {}},
        {"BP", K::Line, "BP：", "DBEdit12", examination, {}},
        {"development", K::Line, "发育", "DBComboBox6", examination, items({"正常", "不良", ""})},
        {"nutrition", K::Line, "，营养", "DBComboBox7", examination, items({"中等", "良好", "不良"})},
        {"consciousness", K::Line, "，神志", "DBComboBox9", examination, items({"清", "不清", "欠清"})},
        {"mental", K::Line, "，精神", "DBComboBox10", examination, items({"可", "不振", "萎靡"})},
        {"posture", K::Line, "", "DBComboBox8", examination, items({"自主", "被动", "强迫"})},
        {"Cooperation", K::Line, "体位，查体", "DBComboBox11", examination, items({"合作", "不合作"})},
        {"skin", K::Line, "皮肤：", "DBComboBox20", examination,
         items({"全身皮肤、粘膜无黄染、皮疹及出血点，无肝掌、蜘蛛痣，"})},
        {"LN", K::Line, "L N ：", "DBComboBox21", examination, items({"浅表淋巴结未触及肿大。"})},
        {"Head", K::Line, "头颅：", "DBComboBox22", examination, items({"头颅外形正常，"})},
        {"Brow", K::Line, "眉弓：", "DBComboBox23", examination, items({"眉毛无稀疏、脱落。"})},
        {"Eye", K::Line, "眼球：", "DBComboBox12", examination, items({"眼球无外凸、内陷。"})},
        {"Lid", K::Line, "眼睑：", "DBComboBox13", examination, items({"双眼睑无下垂、浮肿，"})},
        {"Conjunctiva", K::Line, "结膜：", "DBComboBox14", examination,
         items({"球结膜未见水肿，睑结膜无充血，"})},
        {"sclerae", K::Line, "巩膜：", "DBComboBox15", examination, items({"巩膜无黄染，"})},
        {"pupil", K::Line, "瞳孔：", "DBComboBox16", examination,
         items({"两侧瞳孔等大等圆，直径3mm，对光反射灵敏。"})},
        {"Ear", K::Line, "耳：", "DBComboBox17", examination,
         items({"双耳粗测听力正常，外耳道通畅，无异常分泌物，乳突无压痛。"})},
        {"Nose", K::Line, "鼻：", "DBComboBox18", examination,
         items({"鼻外形正常，无异常分泌物，副鼻窦无压痛。"})},
        {"Lip", K::Line, "口唇：", "DBComboBox24", examination, items({"口唇无紫绀，口周无疱疹，"})},
        {"gum", K::Line, "牙龈：", "DBComboBox25", examination, items({"口腔粘膜无溃疡，牙龈无红肿，"})},
        {"tongue", K::Line, "舌   ：", "DBComboBox26", examination, items({"伸舌居中，"})},
        {"Throat", K::Line, "咽部：", "DBComboBox27", examination, items({"咽部无明显充血，"})},
        {"tonsil", K::Line, "扁桃体：", "DBComboBox58", examination, items({"扁桃体不大。"})},
        {"Neck", K::Line, "颈部：", "DBComboBox54", examination,
         items({"颈无抵抗，颈静脉无怒张，肝颈回流征阴性。"})},
        {"trachea", K::Line, "气管：", "DBComboBox55", examination, items({"气管居中，"})},
        {"thyroid", K::Line, "甲状腺：", "DBComboBox56", examination, items({"甲状腺未触及肿大。"})},

        // Right-hand tab "体格检查": chest, heart, vessels, abdomen, the rest.
        {"lung1", K::Line, "胸部 （视、触、叩、听）：", "DBComboBox28", examination,
         items({"胸廓对称无畸形，双侧呼吸动度正常，"})},
        {"lung2", K::Line, "", "DBComboBox29", examination, items({"双侧语颤正常，无胸膜摩擦感。"})},
        {"lung3", K::Line, "", "DBComboBox30", examination, items({"双肺叩清音，"})},
        {"lung4", K::Line, "", "DBComboBox31", examination,
         items({"双肺呼吸音清,未闻及显著干湿罗音,未闻及胸膜摩擦音."})},
        {"heart1", K::Line, "心脏 （视、触、叩、听）：", "DBComboBox32", examination,
         items({"心前区无异常隆起，无异常搏动，心尖搏动点位于第五肋间左锁骨中线内侧0.5cm，"})},
        {"heart2", K::Line, "", "DBComboBox33", examination, items({"触无震颤，"})},
        {"heart3", K::Line, "", "DBComboBox34", examination, items({"心界不大，"})},
        {"heart4", K::Line, "", "DBComboBox35", examination,
         items({"心率83次/分，律齐，各瓣膜听诊区未闻及杂音，未闻及心包摩擦音。"})},
        {"BVsign", K::Line, "外周血管征：", "DBComboBox53", examination,
         items({"桡动脉搏动有力,节律整齐,无奇脉或脉搏短绌、水冲脉,血管弹性正常,脉率76次/分,"
                "无毛细血管搏动和枪击音。"})},
        {"Abodomen1", K::Line, "腹部 （视、触、叩、听）：", "DBComboBox36", examination,
         items({"腹部平坦，未见胃肠型及蠕动波，"})},
        {"Abodomen2", K::Line, "", "DBComboBox37", examination,
         items({"腹软，无压痛及反跳痛，未及包块，肝脾肋下未触及，Murphy’s征（－），麦氏点无压痛。"})},
        {"Abodomen3", K::Line, "", "DBComboBox38", examination,
         items({"腹部叩鼓音，移动性浊音（－），肝、双肾区无叩痛，"})},
        {"Abodomen4", K::Line, "", "DBComboBox39", examination, items({"肠鸣音4次/分。"})},
        {"Anal", K::Line, "肛门及外生殖器：", "DBComboBox40", examination, items({"肛门、外生殖器未查。"})},
        {"vertcol", K::Line, "脊柱：", "DBComboBox41", examination,
         items({"脊柱、四肢无畸形，脊柱及关节无肿胀压痛，运动度正常。"})},
        {"Limbs", K::Line, "四肢：", "DBComboBox42", examination,
         items({"双下肢无水肿。四肢肌力、肌张力正常，"})},
        {"NSystem", K::Line, "神经反射：", "DBComboBox44", examination,
         items({"生理反射存在，双Barbinski征（－），双Hoffmann征（－），Kernig征（－）。"})},

        // Left-hand tab "辅检诊断".
        {"fuzhu", K::Memo, "辅  助  检  查     （注：F1键有效）", "DBMemo6", auxiliary, {}},
        {"diagnosis", K::Memo, "入院诊断：", "DBMemo7", auxiliary, {}},

        // The editable cell of the patient list.
        {"PriDiagnosis", K::Line, "", "DBEdit7", patientList, {}},

        // Left-hand tab "首次病程".
        {"tmp18", K::DateTime, "", "DBEdit25", firstCourse, {}},
        {"Pripro1", K::Memo, "", "DBMemo5", firstCourse, {}},
        {"Pripro2", K::Memo, "二、诊断与鉴别诊断：", "DBMemo8", firstCourse, {}},
        {"Pripro3", K::Memo, "三、诊疗计划：", "DBMemo9", firstCourse, {}},

        // Past-history flags, shown by the check boxes of the past-history builder.
        {"Boolen01", K::Flag, "肝炎", "DBCheckBox1", pastHistory, {}},
        {"Boolen02", K::Flag, "结核", "DBCheckBox2", pastHistory, {}},
        {"Boolen16", K::Flag, "糖尿病", "DBCheckBox16", pastHistory, {}},
        {"Boolen17", K::Flag, "冠心病", "DBCheckBox17", pastHistory, {}},
        {"Boolen04", K::Flag, "手术", "DBCheckBox4", pastHistory, {}},
        {"Boolen05", K::Flag, "外伤史", "DBCheckBox5", pastHistory, {}},
        {"Boolen06", K::Flag, "药物", "DBCheckBox6", pastHistory, {}},
        {"Boolen07", K::Flag, "食物", "DBCheckBox7", pastHistory, {}},
        {"Boolen08", K::Flag, "输血史", "DBCheckBox8", pastHistory, {}},
    };
    return rows;
}

} // namespace

namespace columns {

std::span<const Column> all()
{
    return table();
}

int indexOf(const QString &name)
{
    const std::vector<Column> &rows = table();
    for (size_t i = 0; i < rows.size(); ++i) {
        if (name == QLatin1String(rows[i].name))
            return int(i);
    }
    return -1;
}

const Column &byName(const QString &name)
{
    const int index = indexOf(name);
    if (index < 0)
        throw std::out_of_range("unknown column " + name.toStdString());
    return table()[size_t(index)];
}

QStringList listColumns()
{
    return {QStringLiteral("Bed"),         QStringLiteral("ID"),  QStringLiteral("Name"),
            QStringLiteral("sex"),         QStringLiteral("age"), QStringLiteral("marriage"),
            QStringLiteral("PriDiagnosis")};
}

} // namespace columns
