#include "records/Compaction.h"

#include "records/PatientStoreDb.h"
#include "text/Clock.h"
#include "text/Error.h"
#include "text/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlcipher/sqlite3.h>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

QString tr(const char *text)
{
    return QString::fromUtf8(text);
}

std::function<void(CompactionStep)> &stepHook()
{
    static std::function<void(CompactionStep)> hook;
    return hook;
}

void reached(CompactionStep step)
{
    if (stepHook())
        stepHook()(step);
}

qint64 countRows(sqlite3 *db)
{
    storedb::Statement count(db, "SELECT count(*) FROM PatientsData");
    count.next();
    return count.int64(0);
}

// Exports the open database into `temporary` (created owner-only) and proves the copy by
// opening it with the same key and counting its records.
void exportInto(sqlite3 *source, const QString &temporary, const QByteArray &key)
{
    storedb::createOwnerOnlyFile(temporary);
    storedb::exportEncrypted(source, temporary, key);
    sqlite3 *copy = storedb::openKeyed(temporary, key);
    try {
        if (countRows(copy) != countRows(source))
            throw Error(tr("导出的记录数与原库不符"));
    } catch (...) {
        storedb::closeQuietly(copy);
        throw;
    }
    storedb::closeQuietly(copy);
}

// Puts the file's bytes on the disk; 0 or the error number.
int syncFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error;
}

// Gives the old database its .bak name as a second name. Where the file system has no hard
// links, the .bak is a copy written whole. Returns 0 or the error number.
int keepOld(const QString &database, const QString &backup)
{
    if (::link(QFile::encodeName(database).constData(), QFile::encodeName(backup).constData()) == 0)
        return 0;
    const int error = errno;
    if (error != EPERM && error != EOPNOTSUPP && error != ENOSYS && error != EMLINK)
        return error;
    QFile from(database);
    if (!from.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return EIO;
    try {
        text::WholeFile copy(backup, text::FileMode::OwnerOnly, text::WholeFile::Replace::Never);
        QByteArray block;
        while (!(block = from.read(1 << 20)).isEmpty())
            copy.write(block);
        if (from.error() != QFileDevice::NoError)
            return EIO;
        copy.commit();
    } catch (const Error &) {
        return QFileInfo::exists(backup) ? EEXIST : EIO;
    }
    return 0;
}

} // namespace

void setCompactionStepHook(std::function<void(CompactionStep)> hook)
{
    stepHook() = std::move(hook);
}

QString compactionStamp(const QString &dateTimeText)
{
    return dateTimeText.mid(0, 4) + dateTimeText.mid(5, 2) + dateTimeText.mid(8, 2) +
           dateTimeText.mid(11, 2) + dateTimeText.mid(14, 2) + dateTimeText.mid(17, 2);
}

void compactDatabase(const QString &dataFolder, const QDateTime &now, const QByteArray &key)
{
    QString folder = dataFolder;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    const QString database = folder + QStringLiteral("Quillcase.dat");
    const QString temporary = folder + QStringLiteral("tmp.dat");
    const QString backup = folder + compactionStamp(text::dateTimeText(now)) + QStringLiteral(".bak");
    // Messages name the files as the user sees them below the program: data/Quillcase.dat.
    const QString shownFolder = QDir(folder).dirName() + QLatin1Char('/');
    const QString shownDatabase = shownFolder + QStringLiteral("Quillcase.dat");
    const QString shownTemporary = shownFolder + QStringLiteral("tmp.dat");
    const QString shownBackup = shownFolder + QFileInfo(backup).fileName();

    sqlite3 *source = nullptr;
    try {
        source = storedb::openKeyed(database, key);
    } catch (const Error &error) {
        throw Error(tr("压缩失败：无法打开 %1：%2。没有改动任何文件").arg(shownDatabase, error.message()));
    }
    // A tmp.dat left by an earlier run is an older copy (or a broken part) of the database that
    // has just opened, so it is removed rather than making the export fail. (Were the database
    // missing, tmp.dat could be the one good copy; the open above has refused that case.)
    const QFileInfo leftover(temporary);
    if (leftover.exists() || leftover.isSymLink()) {
        if (!QFile::remove(temporary) || QFileInfo(temporary).exists()) {
            storedb::closeQuietly(source);
            throw Error(tr("压缩失败：上次压缩留下的 %1 无法删除。没有改动任何文件，数据库仍是 %2")
                            .arg(shownTemporary, shownDatabase));
        }
        QFile::remove(temporary + QStringLiteral("-journal"));
    }

    try {
        exportInto(source, temporary, key);
        storedb::closeQuietly(source);
        if (const int error = syncFile(temporary))
            throw Error(storedb::systemReason(error));
        storedb::syncFolder(folder);
    } catch (const Error &error) {
        storedb::closeQuietly(source);
        QFile::remove(temporary);
        QFile::remove(temporary + QStringLiteral("-journal"));
        throw Error(tr("压缩失败：导出到 %1 时出错：%2。数据库未改动，仍是 %3")
                        .arg(shownTemporary, error.message(), shownDatabase));
    }
    reached(CompactionStep::Exported);

    if (const int error = keepOld(database, backup)) {
        throw Error(tr("压缩失败：无法把 %1 改名为 %2：%3。数据库未改动，仍是 %1，压缩后的文件是 %4")
                        .arg(shownDatabase, shownBackup, storedb::systemReason(error), shownTemporary));
    }
    storedb::syncFolder(folder);
    reached(CompactionStep::KeptOld);

    // One rename: Quillcase.dat names the old file until this moment and the new one after it.
    if (::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(database).constData()) != 0) {
        const int error = errno;
        // The .bak is a second name of the database (or a copy of it): it goes again.
        QFile::remove(backup);
        storedb::syncFolder(folder);
        throw Error(tr("压缩失败：无法把 %1 改名为 %2：%3。数据库未改动，仍是 %2，压缩后的文件是 %1")
                        .arg(shownTemporary, shownDatabase, storedb::systemReason(error)));
    }
    storedb::syncFolder(folder);
    reached(CompactionStep::Replaced);
}
