#include "builders/SymptomComposition.h"

namespace builders {

QString composeSymptomText(const QList<SymptomTick> &boxes)
{
    QString s;
    int taken = 0;
    for (const SymptomTick &box : boxes) {
        if (!box.ticked)
            continue;
        if (taken > 0)
            s += QStringLiteral("、");
        s += box.caption;
        ++taken;
    }
    return s;
}

QString symptomTargetEdit(int symptomTarget)
{
    if (symptomTarget < 0 || symptomTarget >= int(kSymptomTargetEdits.size()))
        return {};
    return QString::fromLatin1(kSymptomTargetEdits[symptomTarget]);
}

} // namespace builders
