#include "text/SafeFile.h"

#include "text/Error.h"
#include "text/Reasons.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace text {

namespace {

QString tr(const char *text)
{
    return QString::fromUtf8(text);
}

QString &pendingFolder()
{
    static QString folder;
    return folder;
}

const QString notePrefix = QStringLiteral(".quillcase-pending.");
const QString temporarySuffix = QStringLiteral(".tmp");

QString hostName()
{
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return QStringLiteral("localhost");
    return QString::fromLocal8Bit(name);
}

QString randomSuffix()
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString suffix;
    for (int i = 0; i < 8; ++i)
        suffix += QLatin1Char(letters[QRandomGenerator::system()->bounded(int(sizeof letters - 1))]);
    return suffix;
}

mode_t currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Opens, fsyncs and closes a path; 0 or the error number. Used for files another writer closed.
int syncPath(const QString &path, mode_t mode)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = 0;
    if (::fsync(fd) != 0 || ::fchmod(fd, mode) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

// Writes the note naming a temporary file, durable before the temporary file exists.
int writeNote(const QString &note, const QString &temporary)
{
    const int fd = ::open(QFile::encodeName(note).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    int error = writeAll(fd, QFile::encodeName(temporary));
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0)
        error = syncFolder(QFileInfo(note).absolutePath());
    if (error != 0)
        ::unlink(QFile::encodeName(note).constData());
    return error;
}

bool processRuns(qint64 pid)
{
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

} // namespace

int writeAll(int fd, QByteArrayView bytes)
{
    const char *data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (written == 0)
            return EIO; // the system took nothing and said nothing: never loop for ever
        data += written;
        left -= written;
    }
    return 0;
}

int renameNoReplace(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // File systems without RENAME_NOREPLACE: a hard link also refuses an existing name.
    if (::link(source.constData(), target.constData()) != 0)
        return errno;
    if (::unlink(source.constData()) != 0) {
        const int error = errno;
        ::unlink(target.constData());
        return error;
    }
    return 0;
}

int syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = 0;
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)
        error = errno;
    ::close(fd);
    return error;
}

// --- WholeFile --------------------------------------------------------------------------

WholeFile::WholeFile(const QString &target, FileMode mode, Replace replace)
    : m_target(target), m_replace(replace)
{
    if (target.isEmpty())
        throw Error(tr("文件名为空"));
    QFileInfo info(target);
    if (target.endsWith(QLatin1Char('/')) || info.isDir())
        throw Error(tr("这是一个文件夹"));
    // Writing through a link writes the file it points to, and the link stays a link.
    if (info.isSymLink() && info.exists()) {
        m_target = info.canonicalFilePath();
        info = QFileInfo(m_target);
    }
    if (info.exists() && !info.isWritable())
        throw Error(tr("文件只读"));
    const QString folder = info.absolutePath();
    if (!QFileInfo::exists(folder))
        throw Error(tr("文件夹“%1”不存在").arg(folder));

    struct stat existing;
    if (mode == FileMode::OwnerOnly)
        m_mode = 0600;
    else if (::stat(QFile::encodeName(m_target).constData(), &existing) == 0)
        m_mode = existing.st_mode & 07777;
    else
        m_mode = 0666 & ~currentUmask();

    // A long name is shortened in the temporary one, which must stay a valid file name.
    const QString base = folder + QStringLiteral("/.") + info.fileName().left(80) + QLatin1Char('.');
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString suffix = randomSuffix();
        const QString temporary = base + suffix + temporarySuffix;
        QString note;
        if (!pendingFolder().isEmpty()) {
            note = pendingFolder() + QLatin1Char('/') + notePrefix + QString::number(::getpid()) +
                   QLatin1Char('.') + suffix + QLatin1Char('.') + hostName();
            if (const int error = writeNote(note, temporary)) {
                if (error == EEXIST)
                    continue;
                note.clear(); // a data folder that takes no note must not stop the save
            }
        }
        // Owner-only from its creation: no byte is ever readable by others.
        const int fd =
            ::open(QFile::encodeName(temporary).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            const int error = errno;
            if (!note.isEmpty())
                ::unlink(QFile::encodeName(note).constData());
            if (error == EEXIST)
                continue;
            throw Error(systemReason(error));
        }
        ::fchmod(fd, 0600);
        m_fd = fd;
        m_temporary = temporary;
        m_marker = note;
        return;
    }
    throw Error(tr("无法建立临时文件"));
}

WholeFile::~WholeFile()
{
    closeDescriptor();
    if (!m_committed) {
        ::unlink(QFile::encodeName(m_temporary).constData());
        ::unlink(QFile::encodeName(m_temporary + QStringLiteral("-journal")).constData());
    }
    if (!m_marker.isEmpty())
        ::unlink(QFile::encodeName(m_marker).constData());
}

void WholeFile::write(QByteArrayView bytes)
{
    if (m_fd < 0)
        throw Error(tr("临时文件已关闭"));
    if (const int error = writeAll(m_fd, bytes))
        throw Error(systemReason(error));
}

void WholeFile::closeDescriptor()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

void WholeFile::commit()
{
    if (m_committed)
        return;
    if (m_fd >= 0) {
        // Data the system still holds in its cache fails here on a full disk or a quota.
        if (::fsync(m_fd) != 0 || ::fchmod(m_fd, m_mode) != 0)
            throw Error(systemReason(errno));
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            throw Error(systemReason(errno));
    } else if (const int error = syncPath(m_temporary, m_mode)) {
        throw Error(systemReason(error));
    }
    if (m_replace == Replace::Never) {
        if (const int error = renameNoReplace(m_temporary, m_target))
            throw Error(systemReason(error));
    } else if (::rename(QFile::encodeName(m_temporary).constData(),
                        QFile::encodeName(m_target).constData()) != 0) {
        throw Error(systemReason(errno));
    }
    m_committed = true;
    if (const int error = syncFolder(QFileInfo(m_target).absolutePath()))
        throw Error(tr("文件已写好，但无法确认它已存到磁盘上：") + systemReason(error));
}

// --- whole files ----------------------------------------------------------------------

void writeFileWhole(const QString &path, bool ownerOnly, const std::function<void(WholeFile &)> &produce)
{
    if (path.isEmpty())
        throw Error(tr("文件名为空，无法保存"));
    try {
        WholeFile file(path, ownerOnly ? FileMode::OwnerOnly : FileMode::Keep);
        produce(file);
        file.commit();
    } catch (const Error &error) {
        throw Error(tr("无法写入文件“%1”：%2").arg(path, error.message()));
    }
}

void writeFileWhole(const QString &path, const QByteArray &bytes, bool ownerOnly)
{
    writeFileWhole(path, ownerOnly, [&bytes](WholeFile &file) { file.write(bytes); });
}

// --- notes of pending temporary files ---------------------------------------------------

void setPendingFolder(const QString &folder)
{
    pendingFolder() = folder.endsWith(QLatin1Char('/')) ? folder.chopped(1) : folder;
}

int removeLeftoverTemporaries(const QString &folder)
{
    const QDir dir(folder);
    const QString host = hostName();
    int removed = 0;
    for (const QString &name : dir.entryList({notePrefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden)) {
        // .quillcase-pending.<pid>.<suffix>.<host>
        const QString rest = name.mid(notePrefix.size());
        const qsizetype dot1 = rest.indexOf(QLatin1Char('.'));
        const qsizetype dot2 = dot1 < 0 ? -1 : rest.indexOf(QLatin1Char('.'), dot1 + 1);
        if (dot2 < 0)
            continue;
        bool ok = false;
        const qint64 pid = rest.left(dot1).toLongLong(&ok);
        const QString suffix = rest.mid(dot1 + 1, dot2 - dot1 - 1);
        if (!ok || rest.mid(dot2 + 1) != host || pid == ::getpid() || processRuns(pid))
            continue;
        const QString note = dir.filePath(name);
        QFile file(note);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString temporary = QFile::decodeName(file.read(4096));
        file.close();
        // Only a file of the program's own temporary names, made with this very note.
        const QFileInfo info(temporary);
        if (info.isAbsolute() && info.fileName().startsWith(QLatin1Char('.')) &&
            info.fileName().endsWith(QLatin1Char('.') + suffix + temporarySuffix)) {
            if (::unlink(QFile::encodeName(temporary).constData()) == 0)
                ++removed;
            ::unlink(QFile::encodeName(temporary + QStringLiteral("-journal")).constData());
        }
        ::unlink(QFile::encodeName(note).constData());
    }
    return removed;
}

} // namespace text
