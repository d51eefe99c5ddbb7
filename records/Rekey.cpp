#define SQLITE_HAS_CODEC 1
#include "records/Rekey.h"

#include "records/PatientStoreDb.h"
#include "text/Error.h"

#include <QFile>
#include <QFileInfo>

#include <sqlcipher/sqlite3.h>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

QString tr(const char *text)
{
    return QString::fromUtf8(text);
}

void removeQuietly(const QString &path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

void rekeyCopy(const QString &copy, const QByteArray &oldKey, const QByteArray &newKey)
{
    sqlite3 *db = storedb::openKeyed(copy, oldKey);
    try {
        // A copy that is thrown away on any failure needs no journal and no waiting for the
        // disk on every step; it is flushed once when done.
        storedb::exec(db, "PRAGMA journal_mode = OFF");
        storedb::exec(db, "PRAGMA synchronous = OFF");
        storedb::exec(db, "PRAGMA cache_size = -65536");
        if (sqlite3_rekey(db, newKey.constData(), int(newKey.size())) != SQLITE_OK)
            throw Error(storedb::engineReason(db));
    } catch (...) {
        storedb::closeQuietly(db);
        throw;
    }
    if (sqlite3_close(db) != SQLITE_OK)
        throw Error(storedb::engineReason(db));
    // Some engine versions report success even when a full disk stopped them, so the result
    // is judged by the file itself.
    try {
        storedb::closeQuietly(storedb::openKeyed(copy, newKey));
    } catch (const storedb::WrongKey &) {
        throw Error(tr("数据库引擎没有完成更改（可能磁盘已满）"));
    }
}

} // namespace

void copyFileBytes(const QString &from, const QString &to)
{
    const int in = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        throw Error(tr("无法读取“%1”：").arg(from) + storedb::systemReason(errno));
    const int out = ::open(QFile::encodeName(to).constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        throw Error(storedb::systemReason(error));
    }
    const auto fail = [&](const QString &reason) {
        ::close(in);
        ::close(out);
        return Error(reason);
    };
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw fail(tr("无法读取“%1”：").arg(from) + storedb::systemReason(errno));
        }
        if (got == 0)
            break;
        const char *data = buffer.data();
        ssize_t left = got;
        while (left > 0) {
            const ssize_t written = ::write(out, data, size_t(left));
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                throw fail(storedb::systemReason(errno));
            }
            data += written;
            left -= written;
        }
    }
    if (::fsync(out) != 0)
        throw fail(storedb::systemReason(errno));
    ::close(in);
    if (::close(out) != 0)
        throw Error(storedb::systemReason(errno));
}

void rekeyFile(const QString &path, const QByteArray &oldKey, const QByteArray &newKey)
{
    if (newKey.isEmpty())
        throw Error(tr("新口令为空"));
    // Proves the old key and keeps other writers out until the new file is in place; the
    // lock writes nothing, so no journal is left beside the database.
    sqlite3 *db = storedb::openKeyed(path, oldKey);
    const QFileInfo info(path);
    QString copy;
    try {
        storedb::exec(db, "BEGIN IMMEDIATE");
        QByteArray pattern = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                                               QStringLiteral(".rekey-XXXXXX"));
        const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd < 0)
            throw Error(storedb::systemReason(errno));
        ::close(fd);
        copy = QFile::decodeName(pattern);
        copyFileBytes(path, copy);
        rekeyCopy(copy, oldKey, newKey);
        const int out = ::open(pattern.constData(), O_RDONLY | O_CLOEXEC);
        if (out < 0 || ::fsync(out) != 0) {
            const int error = errno;
            if (out >= 0)
                ::close(out);
            throw Error(storedb::systemReason(error));
        }
        ::close(out);
        if (::rename(pattern.constData(), QFile::encodeName(path).constData()) != 0)
            throw Error(storedb::systemReason(errno));
        copy.clear();
        storedb::syncFolder(info.absolutePath());
    } catch (...) {
        if (!copy.isEmpty())
            removeQuietly(copy);
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        storedb::closeQuietly(db);
        throw;
    }
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    storedb::closeQuietly(db);
}
