#include "app/FirstStart.h"
#include "app/DataFolderSetup.h"
#include "records/Dialogs.h"
#include "records/ErrorBox.h"
#include "records/Passphrase.h"
#include "records/PatientStore.h"
#include "text/Error.h"

#include <QDir>

bool offerDataFolder(const DataLocation &location, Dialogs &dialogs)
{
    if (location.dataFolder.isEmpty()) {
        dialogs.error(errorBoxText(
            QStringLiteral("无法确定病历数据文件夹：环境变量 HOME 和 XDG_DATA_HOME 都没有设置")));
        return false;
    }
    const QString folder = QDir::toNativeSeparators(QDir::cleanPath(location.dataFolder));
    const QString question =
        QStringLiteral("这是第一次启动：病历数据文件夹“%1”还不存在。\n\n"
                       "可以新建一个空的病历资料库（附带常用语文件），"
                       "或者使用已有的病历资料库文件 Quillcase.dat（复制到这个文件夹，原文件不变）。\n\n"
                       "选择“退出”则不建立任何文件。")
            .arg(folder);
    const QStringList buttons{QStringLiteral("新建空的病历资料库"),
                              QStringLiteral("使用已有的 Quillcase.dat…"), QStringLiteral("退出")};
    for (;;) {
        const int answer = dialogs.choose(QStringLiteral("Quillcase 首次启动"), question, buttons);
        QString existing;
        if (answer == 1) {
            const std::optional<QString> chosen = dialogs.openDatabaseFileName(nullptr);
            if (!chosen)
                continue;
            existing = *chosen;
        } else if (answer != 0) {
            return false;
        }
        try {
            createDataFolder(location.dataFolder, location.starterFolder, existing,
                             [&dialogs](const QString &copy) { passphrase::openAsking(copy, dialogs); });
            return true;
        } catch (const Error &error) {
            // Nothing was made; the doctor may choose again or leave.
            dialogs.error(errorBoxText(error.message()));
        }
    }
}
