#include "records/DatabaseAtStart.h"

#include "records/Passphrase.h"
#include "records/PatientStoreDb.h"
#include "text/Error.h"
#include "text/SafeFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sqlcipher/sqlite3.h>

namespace startup {

namespace {

QString tr(const char *text)
{
    return QString::fromUtf8(text);
}

QString withSlash(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// The .bak files of compaction: 14 characters and ".bak".
QStringList backupNames(const QDir &dir)
{
    static const QRegularExpression pattern(QStringLiteral("^.{14}\\.bak$"));
    QStringList names;
    for (const QString &name : dir.entryList({QStringLiteral("*.bak")}, QDir::Files | QDir::Hidden))
        if (pattern.match(name).hasMatch())
            names << name;
    return names;
}

// A database that opens with the password and holds the patient table.
bool isCompleteDatabase(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return false;
    try {
        sqlite3 *db = storedb::openKeyed(path);
        try {
            storedb::Statement count(db, "SELECT count(*) FROM PatientsData");
            count.next();
        } catch (const Error &) {
            storedb::closeQuietly(db);
            return false;
        }
        storedb::closeQuietly(db);
        return true;
    } catch (const Error &) {
        return false;
    }
}

} // namespace

std::unique_ptr<PatientStore> openDatabase(const QString &dataFolder, Dialogs &dialogs)
{
    const QString folder = withSlash(dataFolder);
    const QString path = folder + QStringLiteral("Quillcase.dat");
    std::unique_ptr<PatientStore> store;
    try {
        store = passphrase::openAsking(path, dialogs);
    } catch (const Error &error) {
        const QString advice = missingDatabaseAdvice(folder);
        if (advice.isEmpty())
            throw;
        throw Error(error.message() + tr("。") + advice);
    }
    removeLeftovers(folder);
    text::setPendingFolder(folder);
    return store;
}

void removeLeftovers(const QString &dataFolder)
{
    const QString folder = withSlash(dataFolder);
    const QString database = folder + QStringLiteral("Quillcase.dat");
    if (!QFileInfo(database).isFile())
        return;
    const QString temporary = folder + QStringLiteral("tmp.dat");
    const QFileInfo leftover(temporary);
    if (leftover.isFile() || leftover.isSymLink()) {
        QFile::remove(temporary);
        QFile::remove(temporary + QStringLiteral("-journal"));
    }
    const QDir dir(folder);
    for (const QString &name : backupNames(dir)) {
        const QString backup = dir.filePath(name);
        if (!QFileInfo(backup).isSymLink() && storedb::sameFile(backup, database))
            QFile::remove(backup);
    }
    text::removeLeftoverTemporaries(folder);
    storedb::syncFolder(folder);
}

QString missingDatabaseAdvice(const QString &dataFolder)
{
    const QString folder = withSlash(dataFolder);
    const QFileInfo databaseInfo(folder + QStringLiteral("Quillcase.dat"));
    if (databaseInfo.exists() || databaseInfo.isSymLink())
        return QString();
    const QDir dir(folder);
    const QString shownFolder = dir.dirName() + QLatin1Char('/');

    // The newest complete .bak: the database as the last compaction found it.
    QString newestBackup;
    QDateTime newestTime;
    for (const QString &name : backupNames(dir)) {
        const QFileInfo info(dir.filePath(name));
        if ((newestBackup.isEmpty() || info.lastModified() > newestTime) &&
            isCompleteDatabase(info.filePath())) {
            newestBackup = name;
            newestTime = info.lastModified();
        }
    }
    const bool temporaryComplete = isCompleteDatabase(folder + QStringLiteral("tmp.dat"));

    if (temporaryComplete) {
        QString advice = tr("数据文件夹中没有 %1Quillcase.dat，但有一份完整的压缩后的病历资料库 %1tmp.dat"
                            "（上次压缩没有做完）。请把 %1tmp.dat 改名为 %1Quillcase.dat，再启动本程序")
                             .arg(shownFolder);
        if (!newestBackup.isEmpty())
            advice += tr("；压缩前的病历资料库是 %1%2").arg(shownFolder, newestBackup);
        return advice;
    }
    if (!newestBackup.isEmpty())
        return tr("数据文件夹中没有 %1Quillcase.dat，但有压缩前的病历资料库 %1%2。"
                  "请把 %1%2 复制为 %1Quillcase.dat，再启动本程序")
            .arg(shownFolder, newestBackup);
    return QString();
}

} // namespace startup
