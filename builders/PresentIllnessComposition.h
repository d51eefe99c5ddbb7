#pragma once
#include <QString>

namespace builders {

// What the present-illness dialog (TForm3) holds when "Post" is pressed. Each field is
// named after the control it is read from: texts of edits and combo boxes exactly as
// shown, label captions (defaulting to the captions the dialog shows), and the selected
// item of each radio group, -1 when none is selected (the state at start).
struct PresentIllnessInput
{
    QString Label23 = QStringLiteral("患者");
    QString Edit15;    // duration number, any text
    QString ComboBox8; // unit of the duration, typed or chosen ("年", "月", "周", "天", "小时", "分钟")
    QString Label62 = QStringLiteral("前");
    int RadioGroup1 = -1; // trigger: 0 "无", 1 "有"
    QString Edit11;       // trigger text
    QString Edit1;        // symptoms
    QString Label69 = QStringLiteral("等症状，");
    QString Edit16; // free phrase after the symptoms
    QString Label1 = QStringLiteral("无");
    QString Edit2; // signs that are absent
    QString Label70 = QStringLiteral("等表现，");
    int RadioGroup2 = -1; // course before admission: 0 "未诊治", 1 "院外治疗", 2 "就诊于"
    QString Label65 = QStringLiteral("应用");
    QString Edit13;       // medicines given
    int RadioGroup4 = -1; // place seen: 0 "当地诊所", 1 "当地医院", 2 "我院", 3 "其它"
    QString Label66 = QStringLiteral("等药物，");
    int RadioGroup3 = -1; // improvement: 0 "无", 1 "有"
    QString Edit12;       // place written for "其它"
    QString Edit3;
    QString Edit4;
    QString Edit14;
    QString Label67 = QStringLiteral("今为进一步诊治收入我院。患者自发病以来，");
    QString Label68 = QStringLiteral("神志清，精神不振，饮食休息欠佳，二便未见显著异常。");
};

// The present-illness paragraph, one line without line breaks. Nothing is validated
// and no fixed piece is left out because the field beside it is empty; only Edit1,
// Edit16, Edit3, Edit4 and Edit14 are trimmed, every other text is taken as typed.
QString composePresentIllness(const PresentIllnessInput &in);

} // namespace builders
