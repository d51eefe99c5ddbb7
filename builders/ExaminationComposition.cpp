#include "builders/ExaminationComposition.h"

#include "text/Clock.h"
#include "text/TextRules.h"

namespace builders {

namespace {

bool present(const QString &value)
{
    return !text::trim(value).isEmpty();
}

} // namespace

QString examinationHead(const ExaminationInput &in)
{
    return in.ComboBox1 + QStringLiteral("（") + text::shortDateText(in.DateTimePicker1) +
           QStringLiteral("，") + in.ComboBox2 + QStringLiteral("）：");
}

bool isBloodRoutine(const ExaminationInput &in)
{
    return text::trim(in.ComboBox1) == QStringLiteral("血常规");
}

bool bloodRoutineComplete(const ExaminationInput &in)
{
    return present(in.Edit2) && present(in.Edit7) && present(in.Edit8) && present(in.Edit10);
}

QString bloodRoutineIncompleteMessage()
{
    return QStringLiteral("血常规必填项目（WBC、RBC、HGB、Plt）不全，请重新填写！");
}

QString composeBloodRoutineLine(const ExaminationInput &in)
{
    QString t = examinationHead(in) + in.Label12 + in.Edit2 + QStringLiteral("X10^9/L、");
    // The percentages use their own pieces with ASCII colons, not the labels beside them.
    if (present(in.Edit4))
        t += QStringLiteral("N:") + in.Edit4 + QStringLiteral("%、");
    if (present(in.Edit5))
        t += QStringLiteral("L:") + in.Edit5 + QStringLiteral("%、");
    if (present(in.Edit6))
        t += QStringLiteral("EO:") + in.Edit6 + QStringLiteral("%。");
    t += in.Label119 + in.Edit7 + in.Label120 + in.Edit8 + QStringLiteral(" g/L、");
    if (present(in.Edit9))
        t += QStringLiteral("MCV:") + in.Edit9 + in.Label122;
    t += in.Label123 + in.Edit10 + in.Label124;
    return t;
}

QString composeFreeTextLine(const ExaminationInput &in)
{
    return text::joinedMemoText(examinationHead(in) + in.Memo2);
}

ExaminationPost composeExaminationPost(const ExaminationInput &in)
{
    if (!isBloodRoutine(in))
        return {true, composeFreeTextLine(in), {}};
    if (!bloodRoutineComplete(in))
        return {false, {}, bloodRoutineIncompleteMessage()};
    return {true, composeBloodRoutineLine(in), {}};
}

} // namespace builders
