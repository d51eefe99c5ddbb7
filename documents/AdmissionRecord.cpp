#include "documents/AdmissionRecord.h"
#include "text/PhraseFile.h"
#include "text/TextRules.h"

namespace documents {

namespace {

const QString indent = QStringLiteral("    ");
constexpr int labelColumnWidth = 26;
constexpr int diagnosisIndent = labelColumnWidth + 4;
constexpr int signatureIndent = labelColumnWidth + 20;
constexpr int dateWidth = 10;

struct LabelCaption
{
    const char *name;
    const char *caption;
};

const LabelCaption labelCaptions[] = {
    {"Label22", "姓名："},   {"Label21", "出 生 地："},   {"Label6", "性别："},    {"Label18", "职  业："},
    {"Label5", "年龄："},    {"Label4", "入院日期："},    {"Label93", "民族："},   {"Label3", "记录日期："},
    {"Label2", "婚姻："},    {"Label15", "病史陈述者："}, {"Label9", "主诉："},    {"Label8", "现病史："},
    {"Label19", "既往史："}, {"Label10", "个人史："},     {"Label11", "家族史："}, {"Label14", "入院诊断："},
};

QString spaces(int count)
{
    return QString(count, QLatin1Char(' '));
}

// The longest start of a text that fits in the given GBK width. A character is never
// split, so a date text holding Chinese cannot end in half a character.
QString leftByWidth(const QString &s, int width)
{
    qsizetype end = 0;
    int used = 0;
    while (end < s.size()) {
        qsizetype next = end + 1;
        if (s.at(end).isHighSurrogate() && next < s.size() && s.at(next).isLowSurrogate())
            ++next;
        const int w = text::gbkWidth(s.mid(end, next - end));
        if (used + w > width)
            break;
        used += w;
        end = next;
    }
    return s.left(end);
}

class Composer
{
public:
    Composer(const QHash<QString, QString> &fields, const QHash<QString, QString> &captions)
        : m_fields(fields), m_captions(captions)
    {}

    QString field(const char *column) const { return m_fields.value(QLatin1String(column)); }

    QString caption(const char *label) const
    {
        const QString name = QLatin1String(label);
        const auto found = m_captions.constFind(name);
        if (found != m_captions.constEnd())
            return *found;
        for (const LabelCaption &l : labelCaptions)
            if (name == QLatin1String(l.name))
                return QString::fromUtf8(l.caption);
        return {};
    }

    // Left label and value padded to the label column, then the right label and value
    // as they are; a left part of 26 or more is followed directly by the right label.
    QString twoColumnRow(const char *leftLabel, const char *leftColumn, const char *rightLabel,
                         const char *rightColumn) const
    {
        const QString left = caption(leftLabel) + field(leftColumn);
        return indent + text::padToWidth(left, labelColumnWidth) + caption(rightLabel) + field(rightColumn);
    }

    QString historyRow(const char *label, const char *column) const
    {
        return indent + caption(label) + text::joinedMemoText(field(column));
    }

    QString vitalSigns() const
    {
        return QStringLiteral("    T:") + field("T") + QStringLiteral("℃") + QStringLiteral("    P:") +
               field("P") + QStringLiteral("次/分    R:") + field("R") + QStringLiteral("次/分    BP:") +
               field("BP") + QStringLiteral("mmHg");
    }

    QString examination() const
    {
        QString line = QStringLiteral("    发育") + field("development") + QStringLiteral("，营养") +
                       field("nutrition") + QStringLiteral("，神志") + field("consciousness") +
                       QStringLiteral("，精神") + field("mental") + QStringLiteral("，") + field("posture") +
                       QStringLiteral("体位，查体") + field("Cooperation") + QStringLiteral("。");
        for (const ExaminationDefault &d : examinationDefaults(field("P"))) {
            const QString value = field(d.column);
            // Only a blank column takes the default; a filled one is written as typed,
            // leading spaces included.
            line += text::trim(value).isEmpty() ? d.phrase : value;
        }
        return line;
    }

private:
    const QHash<QString, QString> &m_fields;
    const QHash<QString, QString> &m_captions;
};

} // namespace

QStringList admissionLabelNames()
{
    QStringList names;
    for (const LabelCaption &l : labelCaptions)
        names.append(QLatin1String(l.name));
    return names;
}

QHash<QString, QString> admissionLabelDefaults()
{
    QHash<QString, QString> captions;
    for (const LabelCaption &l : labelCaptions)
        captions.insert(QLatin1String(l.name), QString::fromUtf8(l.caption));
    return captions;
}

QList<ExaminationDefault> examinationDefaults(const QString &pulse)
{
    return {
        {"skin", QStringLiteral("全身皮肤、粘膜无黄染、皮疹及出血点，无肝掌、蜘蛛痣，")},
        {"LN", QStringLiteral("浅表淋巴结未触及肿大。")},
        {"Head", QStringLiteral("头颅外形正常，")},
        {"Brow", QStringLiteral("眉毛无稀疏、脱落，")},
        {"Eye", QStringLiteral("眼球无外凸、内陷。")},
        {"Lid", QStringLiteral("双眼睑无下垂、浮肿，")},
        {"Conjunctiva", QStringLiteral("球结膜未见水肿，睑结膜无充血，")},
        {"sclerae", QStringLiteral("巩膜无黄染，")},
        {"pupil", QStringLiteral("两侧瞳孔等大等圆，直径3mm，对光反射灵敏。")},
        {"Ear", QStringLiteral("双耳粗测听力正常，外耳道通畅，无异常分泌物，乳突无压痛。")},
        {"Nose", QStringLiteral("鼻外形正常，无异常分泌物，副鼻窦无压痛。")},
        {"Lip", QStringLiteral("口唇无紫绀，口周无疱疹，")},
        {"gum", QStringLiteral("口腔粘膜无溃疡，牙龈无红肿，")},
        {"tongue", QStringLiteral("伸舌居中，")},
        {"Throat", QStringLiteral("咽部无明显充血，")},
        {"tonsil", QStringLiteral("扁桃体不大。")},
        {"Neck", QStringLiteral("颈无抵抗，颈静脉无怒张，肝颈回流征阴性。")},
        {"trachea", QStringLiteral("气管居中，")},
        {"thyroid", QStringLiteral("甲状腺未触及肿大。")},
        {"lung1", QStringLiteral("胸廓对称无畸形，双侧呼吸动度正常，")},
        {"lung2", QStringLiteral("双侧语颤正常，无胸膜摩擦感。")},
        {"lung3", QStringLiteral("双肺叩清音，")},
        {"lung4", QStringLiteral("双肺呼吸音清，未闻及干湿罗音。")},
        {"heart1",
         QStringLiteral("心前区无异常隆起，无异常搏动，心尖搏动点位于第五肋间左锁骨中线内侧0.5cm，")},
        {"heart2", QStringLiteral("触无震颤，")},
        {"heart3", QStringLiteral("心界不大，")},
        {"heart4", QStringLiteral("心率") + pulse + QStringLiteral("次/分，律齐，各瓣膜听诊区未闻及杂音。")},
        {"BVsign", QStringLiteral("桡动脉弹性正常,搏动有力,节律整齐,无奇脉或脉搏短绌、水冲脉,脉率") + pulse +
                       QStringLiteral("次/分,无毛细血管搏动和枪击音。")},
        {"Abodomen1", QStringLiteral("腹部平坦，未见胃肠型及蠕动波，")},
        {"Abodomen2", QStringLiteral("腹软，无明显压痛及反跳痛，未及包块，肝脾肋下未触及，Murphy’s征（－），"
                                     "麦氏点无压痛。")},
        {"Abodomen3", QStringLiteral("移动性浊音（－），肝、双肾区无叩痛，")},
        {"Abodomen4", QStringLiteral("肠鸣音4次/分。")},
        {"Anal", QStringLiteral("肛门、外生殖器未查。")},
        {"vertcol", QStringLiteral("脊柱、四肢无畸形，脊柱及关节无肿胀压痛，运动度正常。双下肢无水肿。")},
        {"Limbs", QStringLiteral("四肢肌力、肌张力正常，")},
        {"NSystem",
         QStringLiteral("生理反射存在，双Barbinski征（－），双Hoffmann征（－），Kernig征（－）。")},
    };
}

QStringList admissionRecordLines(const QHash<QString, QString> &fields,
                                 const QHash<QString, QString> &captions)
{
    const Composer c(fields, captions);
    QStringList lines;
    lines << c.twoColumnRow("Label22", "Name", "Label21", "home")
          << c.twoColumnRow("Label6", "sex", "Label18", "Occupation")
          << c.twoColumnRow("Label5", "age", "Label4", "DoA")
          << c.twoColumnRow("Label93", "tmp20", "Label3", "DoR")
          << c.twoColumnRow("Label2", "marriage", "Label15", "describer");
    // The chief complaint is written as typed, not trimmed.
    lines << indent + c.caption("Label9") + c.field("complaint");
    lines << c.historyRow("Label8", "PresentIllness") << c.historyRow("Label19", "PastHistory")
          << c.historyRow("Label10", "PersonalHistory") << c.historyRow("Label11", "FamilyHistory");
    lines << spaces(labelColumnWidth) + QStringLiteral("体  格  检  查");
    lines << c.vitalSigns();
    lines << c.examination();
    lines << spaces(labelColumnWidth) + QStringLiteral("辅助检查");
    lines << text::trim(c.field("fuzhu"));
    lines << spaces(labelColumnWidth) + c.caption("Label14");
    for (const QString &diagnosis : text::splitLines(c.field("diagnosis")))
        if (!text::trim(diagnosis).isEmpty())
            lines << spaces(diagnosisIndent) + diagnosis;
    lines << spaces(signatureIndent) + QStringLiteral("签名：");
    lines << spaces(signatureIndent) + leftByWidth(c.field("DoR"), dateWidth);
    return lines;
}

QString admissionEditorText(const QStringList &lines)
{
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace documents
