#include "builders/PastHistoryComposition.h"

#include "text/TextRules.h"

namespace builders {

namespace {

bool ticked(Qt::CheckState state)
{
    return state == Qt::Checked;
}

// The sentence of a pair of boxes sharing one edit (operation/injury, drug/food allergy):
// both unticked gives the negative sentence, both ticked the edit alone, one ticked
// denies the other and then gives the edit.
QString pairSentence(bool first, bool second, const QString &details, const QString &neither,
                     const QString &onlySecond, const QString &onlyFirst)
{
    if (!first && !second)
        return neither;
    if (first && second)
        return details;
    return (second ? onlySecond : onlyFirst) + details;
}

} // namespace

QString composePastHistory(const PastHistoryInput &in)
{
    QString t;
    t += ticked(in.DBCheckBox1) ? QStringLiteral("有肝炎病史，") + in.Edit1
                                : QStringLiteral("无肝炎病史及密切接触史。");
    t += ticked(in.DBCheckBox2) ? QStringLiteral("有结核病史，") + in.Edit2
                                : QStringLiteral("无结核病史及密切接触史。");
    t += ticked(in.DBCheckBox16) ? text::trim(in.Edit3) : QStringLiteral("否认糖尿病史。");
    t += ticked(in.DBCheckBox17) ? text::trim(in.Edit4) : QStringLiteral("否认冠心病史。");
    t += pairSentence(ticked(in.DBCheckBox4), ticked(in.DBCheckBox5), in.Edit5,
                      QStringLiteral("无手术、外伤史。"), QStringLiteral("无手术史，"),
                      QStringLiteral("无外伤史，"));
    t += pairSentence(ticked(in.DBCheckBox6), ticked(in.DBCheckBox7), in.Edit6,
                      QStringLiteral("无药物、食物过敏史。"), QStringLiteral("无药物过敏史，"),
                      QStringLiteral("无食物过敏史，"));
    t += ticked(in.DBCheckBox8) ? text::trim(in.Edit7) : QStringLiteral("无输血史。");
    switch (in.RadioGroup1) {
    case 0:
        t += QStringLiteral("预防接种史不详。");
        break;
    case 1:
        t += QStringLiteral("预防接种史随当地。");
        break;
    default:
        break;
    }
    return t;
}

} // namespace builders
