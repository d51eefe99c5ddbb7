#include "records/RecordCommands.h"
#include "records/BedNumber.h"
#include "records/Dialogs.h"
#include "records/ErrorBox.h"
#include "records/RecordSession.h"
#include "text/Clock.h"
#include "text/Error.h"
#include "text/TextRules.h"

namespace recordcommands {

void newRecord(RecordSession &session, Dialogs &dialogs)
{
    const std::optional<QString> answer = dialogs.inputText(QStringLiteral("请输入床号！"), QString(), QString());
    const QString bed = text::trim(answer.value_or(QString()));
    if (bed.isEmpty())
        return;
    const std::optional<int> parsed = bednumber::parse(bed);
    if (!parsed)
        throw Error(QStringLiteral("'%1' is not a valid integer value").arg(bed));
    const int number = *parsed;
    if (number >= 100) {
        dialogs.information(QStringLiteral("晕，你家哪有这么多床！"));
        return;
    }
    if (number <= 0) {
        dialogs.information(QStringLiteral("床号不能为零或负值！"));
        return;
    }
    // One spelling for one bed: the record stores, and the search looks for, the plain number.
    const QString plain = QString::number(number);
    if (session.locateBedNumber(number)) {
        dialogs.information(QStringLiteral("床号") + plain +
                            QStringLiteral("已经存在，继续编辑或删除重建！"));
        return;
    }
    session.append();
    session.fill(QStringLiteral("Bed"), plain);
}

void save(RecordSession &session)
{
    if (session.isEditing())
        session.post();
}

void deleteRecord(Dialogs &dialogs)
{
    if (dialogs.confirm(QStringLiteral("删除记录？")))
        dialogs.information(QStringLiteral("出于安全考虑，此功能被取消！"));
}

bool closePrompt(RecordSession &session, Dialogs &dialogs)
{
    if (!session.isEditing())
        return true;
    if (!dialogs.confirm(QStringLiteral("保存修改(取消为不保存)？")))
        return true;
    return runHandler([&session] { session.post(); });
}

void copyPrincipalDiagnosis(RecordSession &session)
{
    session.fill(QStringLiteral("PriDiagnosis"), text::trim(text::firstLine(session.value(QStringLiteral("diagnosis")))));
}

void stampDateTime(RecordSession &session, const QString &column)
{
    session.fill(column, text::nowText());
}

void fillDefaultBirthplace(RecordSession &session)
{
    session.fill(QStringLiteral("home"), QStringLiteral("山东省澄岚市"));
}

} // namespace recordcommands
