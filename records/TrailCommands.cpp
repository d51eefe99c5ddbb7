#include "records/TrailCommands.h"
#include "records/Dialogs.h"
#include "records/PatientStore.h"
#include "records/RecordSession.h"
#include "text/Clock.h"
#include "text/Error.h"

namespace trailcommands {

void setSignature(PatientStoreInterface &store, Dialogs &dialogs)
{
    const std::optional<QString> answer = dialogs.inputText(
        QStringLiteral("医师签名"),
        QStringLiteral("修改痕迹中记下的医师姓名和职称（例如 王建国 主治医师），空白则用系统帐户名："),
        store.displayName());
    if (!answer)
        return;
    store.setDisplayName(*answer); // refuses control characters and overlong names
}

void archive(RecordSession &session, Dialogs &dialogs)
{
    if (session.isEmpty())
        throw Error(QStringLiteral("没有可以归档的病历。"));
    if (session.isArchived()) {
        dialogs.information(QStringLiteral("这份病历已经归档。"));
        return;
    }
    if (!dialogs.confirm(QStringLiteral("归档后病历不能再修改，确定归档？")))
        return;
    session.setArchived(true);
}

void unarchive(RecordSession &session, Dialogs &dialogs)
{
    if (!session.isArchived()) {
        dialogs.information(QStringLiteral("这份病历没有归档。"));
        return;
    }
    if (!dialogs.confirm(QStringLiteral("取消归档后病历可以再修改，确定取消归档？")))
        return;
    session.setArchived(false);
}

QString clockWarning(const QString &latestChangeTime, const QDateTime &now)
{
    const QDateTime latest = text::fromIsoDateTimeText(latestChangeTime);
    if (!latest.isValid() || now >= latest)
        return QString();
    return QStringLiteral("系统时钟（%1）早于最近一条修改痕迹的时间（%"
                          "2），此后记下的修改时间会前后颠倒。请先校正系统时钟。")
        .arg(text::dateTimeText(now), text::dateTimeText(latest.toLocalTime()));
}

void warnIfClockBehind(PatientStoreInterface &store, Dialogs &dialogs, const QDateTime &now)
{
    const QString warning = clockWarning(store.latestChangeTime(), now);
    if (!warning.isEmpty())
        dialogs.information(warning);
}

} // namespace trailcommands
