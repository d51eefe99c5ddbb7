#include "builders/PresentIllnessComposition.h"

#include "text/TextRules.h"

namespace builders {

namespace {

// Medicines and the improvement phrase, written after the course only when the
// patient was treated or seen somewhere.
void appendTreatment(QString &t, const PresentIllnessInput &in)
{
    t += in.Label65 + in.Edit13 + in.Label66;
    switch (in.RadioGroup3) {
    case 0:
        t += QStringLiteral("无好转，");
        break;
    case 1:
        t += QStringLiteral("有好转，");
        break;
    default:
        break;
    }
}

QString placeSeen(const PresentIllnessInput &in)
{
    switch (in.RadioGroup4) {
    case 0:
        return QStringLiteral("当地诊所，");
    case 1:
        return QStringLiteral("当地医院，");
    case 2:
        return QStringLiteral("我院，");
    case 3:
        // The doctor's own place gets no comma: the medicines follow it directly.
        return in.Edit12;
    default:
        return {};
    }
}

} // namespace

QString composePresentIllness(const PresentIllnessInput &in)
{
    QString t = in.Label23 + in.Edit15 + in.ComboBox8 + in.Label62;

    // Only "无" has a fixed phrase; "有" and no choice at all both take the trigger text.
    t += in.RadioGroup1 == 0 ? QStringLiteral("无诱因") : in.Edit11;

    t += QStringLiteral("出现") + text::trim(in.Edit1) + in.Label69 + text::trim(in.Edit16) + in.Label1 +
         in.Edit2 + in.Label70;

    switch (in.RadioGroup2) {
    case 0:
        t += QStringLiteral("院外未诊治，");
        break;
    case 1:
        t += QStringLiteral("院外治疗，");
        appendTreatment(t, in);
        break;
    case 2:
        t += QStringLiteral("就诊于") + placeSeen(in);
        appendTreatment(t, in);
        break;
    default:
        break;
    }

    t += text::trim(in.Edit3) + text::trim(in.Edit4) + text::trim(in.Edit14) + in.Label67 + in.Label68;
    return t;
}

} // namespace builders
