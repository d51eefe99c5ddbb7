#include "app/DataFolderSetup.h"
#include "records/PatientStore.h"
#include "text/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Makes the missing folders above the data folder and remembers them, so that a failure
// can take them away again.
class MadeFolders
{
public:
    void make(const QString &folder)
    {
        QStringList missing;
        for (QString f = QDir::cleanPath(folder); !QFileInfo::exists(f); f = QFileInfo(f).path())
            missing.prepend(f);
        for (const QString &f : std::as_const(missing)) {
            if (::mkdir(QFile::encodeName(f).constData(), 0700) != 0) {
                const int error = errno;
                undo();
                throw Error(QStringLiteral("无法创建文件夹“%1”：%2").arg(f, systemReason(error)));
            }
            m_made.prepend(f);
        }
    }
    void keep() { m_made.clear(); }
    void undo()
    {
        for (const QString &f : std::as_const(m_made))
            ::rmdir(QFile::encodeName(f).constData());
        m_made.clear();
    }
    ~MadeFolders() { undo(); }

private:
    QStringList m_made; // deepest first
};

void syncPath(const QString &path, int flags)
{
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        throw Error(QStringLiteral("无法写入“%1”：%2").arg(path, systemReason(error)));
    }
    ::close(fd);
}

// Copies a file with every write checked and the copy on disk before it returns.
void copyFile(const QString &from, const QString &to, mode_t mode)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("无法读取“%1”：%2").arg(from, source.errorString()));
    QFile target(to);
    if (!target.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw Error(QStringLiteral("无法写入“%1”：%2").arg(to, target.errorString()));
    ::fchmod(target.handle(), mode);
    QByteArray chunk;
    while (!(chunk = source.read(1 << 20)).isEmpty()) {
        if (target.write(chunk) != chunk.size())
            throw Error(QStringLiteral("无法写入“%1”：%2").arg(to, target.errorString()));
    }
    if (source.error() != QFileDevice::NoError)
        throw Error(QStringLiteral("无法读取“%1”：%2").arg(from, source.errorString()));
    if (!target.flush() || ::fsync(target.handle()) != 0)
        throw Error(QStringLiteral("无法写入“%1”：%2").arg(to, systemReason(errno)));
}

} // namespace

void createDataFolder(const QString &dataFolder, const QString &starterFolder,
                      const QString &existingDatabase, const DatabaseCheck &openDatabase)
{
    const QString target = QDir::cleanPath(dataFolder);
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
        throw Error(QStringLiteral("数据文件夹“%1”已存在，未作改动").arg(target));

    const QString parent = QFileInfo(target).path();
    MadeFolders made;
    made.make(parent);
    // Owner-only, removed with everything in it unless it is renamed into place.
    QTemporaryDir staging(parent + QStringLiteral("/.data-new-XXXXXX"));
    if (!staging.isValid())
        throw Error(QStringLiteral("无法在“%1”中建立数据文件夹：%2").arg(parent, staging.errorString()));
    const QString work = staging.path();
    if (!QDir().mkdir(work + QStringLiteral("/images")))
        throw Error(QStringLiteral("无法创建文件夹“%1”").arg(work + QStringLiteral("/images")));

    const QDir starter(starterFolder);
    for (const QString &name : starter.entryList({QStringLiteral("*.txt")}, QDir::Files))
        copyFile(starter.filePath(name), work + QLatin1Char('/') + name, 0644);

    const QString database = work + QStringLiteral("/Quillcase.dat");
    if (existingDatabase.isEmpty()) {
        PatientStore::create(database);
    } else {
        // Only the copy is opened: opening brings an older file's tables up to date, and the
        // file the doctor chose stays as it was. A file that is no record database stops
        // here, and the staging folder goes with it.
        copyFile(existingDatabase, database, 0600);
        if (openDatabase)
            openDatabase(database);
        else
            PatientStore::open(database);
    }
    syncPath(work, O_RDONLY | O_DIRECTORY);

    if (std::rename(QFile::encodeName(work).constData(), QFile::encodeName(target).constData()) != 0)
        throw Error(QStringLiteral("无法建立数据文件夹“%1”：%2").arg(target, systemReason(errno)));
    staging.setAutoRemove(false);
    made.keep();
    syncPath(parent, O_RDONLY | O_DIRECTORY);
}
