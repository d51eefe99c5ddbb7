#include "app/WardCommands.h"

#include "records/BackupCheck.h"
#include "records/Dialogs.h"
#include "records/ErrorBox.h"
#include "records/PatientStoreDb.h"
#include "records/RecordSession.h"
#include "records/Restore.h"
#include "text/Clock.h"
#include "text/Error.h"
#include "ward/WardStore.h"

#include <QDir>
#include <QFileInfo>

namespace wardcommands {

void restore(WardStore &ward, RecordSession &session, Dialogs &dialogs, QWidget *parent,
             const QString &dataFolder, const QString &refusal)
{
    if (!ward.isAdministrator())
        throw Error(refusal);
    const QString backups = restore::backupsFolder(dataFolder);
    const std::optional<QString> path =
        dialogs.openBackupFileName(parent, QFileInfo(backups).isDir() ? backups : dataFolder);
    if (!path)
        return;
    // The server has no passphrase of its own: its backups have the database password.
    const std::optional<BackupSummary> backup = restore::checkAsking(*path, storedb::defaultKey(), dialogs);
    if (!backup || !dialogs.confirm(backupcheck::restoreQuestion(*backup)))
        return;
    // The record being edited is stored first, so that the copy kept before the restore has it.
    session.settle();
    const QString kept = ward.restore(*backup, dataFolder, text::currentDateTime());
    session.open();
    dialogs.information(QStringLiteral("恢复成功。恢复前病区服务器上的病历已备份为 %1。")
                            .arg(QDir(dataFolder).relativeFilePath(kept)));
}

bool compact(ServerStore &server, RecordSession &session, Dialogs &dialogs, const QString &refusal)
{
    if (!server.isAdministrator())
        throw Error(refusal);
    // The record being edited is stored first, as before compacting the file.
    if (runHandler([&session] { session.settle(); }) && runHandler([&server] { server.vacuum(); }))
        dialogs.information(QStringLiteral("操作成功"));
    return true;
}

} // namespace wardcommands
