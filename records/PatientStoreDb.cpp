#define SQLITE_HAS_CODEC 1
#include "records/PatientStoreDb.h"

#include "records/PatientStore.h"
#include "text/Error.h"
#include "text/Reasons.h"
#include "text/SafeFile.h"

#include <QFile>
#include <QFileInfo>

#include <sqlcipher/sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace storedb {

namespace {

QString tr(const char *text)
{
    return QString::fromUtf8(text);
}

// The first bytes of every unencrypted SQLite file. An encrypted file starts with its salt,
// so seeing these means someone stored the patients without a password.
constexpr char plainHeader[] = "SQLite format 3";

} // namespace

QString systemReason(int errorNumber)
{
    return text::systemReason(errorNumber);
}

QString engineReason(sqlite3 *db)
{
    if (!db)
        return tr("数据库引擎无法分配内存");
    const int code = sqlite3_errcode(db);
    const QString message = QString::fromUtf8(sqlite3_errmsg(db));
    switch (code & 0xff) {
    case SQLITE_NOTADB:
        return tr("文件不是病历资料库，或者密码不对");
    case SQLITE_CORRUPT:
        return tr("数据库文件已损坏");
    case SQLITE_FULL:
        return tr("磁盘空间不足");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return tr("数据库正被另一个程序使用");
    case SQLITE_READONLY:
        return tr("数据库文件只读");
    case SQLITE_IOERR:
        return tr("磁盘读写错误");
    case SQLITE_CANTOPEN:
        return tr("无法打开文件");
    default:
        // A message raised by a statement, or one this table does not know: its Chinese when
        // there is one, otherwise as the engine gives it.
        return text::chineseReason(message);
    }
}

QByteArray defaultKey()
{
    return QByteArray(PatientStore::password);
}

sqlite3 *openKeyed(const QString &path, const QByteArray &key)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    if (::stat(name.constData(), &info) != 0) {
        if (errno == ENOENT)
            throw Error(tr("文件不存在"));
        throw Error(systemReason(errno));
    }
    if (S_ISDIR(info.st_mode))
        throw Error(tr("这是一个文件夹，不是病历资料库文件"));
    if (!S_ISREG(info.st_mode))
        throw Error(tr("这不是普通文件"));

    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw Error(tr("无法读取文件：") + systemReason(errno));
    char header[sizeof plainHeader] = {};
    const ssize_t got = ::read(fd, header, sizeof header);
    const int readError = errno;
    ::close(fd);
    if (got < 0)
        throw Error(tr("无法读取文件：") + systemReason(readError));
    if (info.st_size == 0)
        throw Error(tr("文件是空的，不是病历资料库"));
    if (got == sizeof header && std::memcmp(header, plainHeader, sizeof header) == 0)
        throw Error(tr("这是未加密的 SQLite 数据库，不是本程序加密保存的病历资料库"));
    // Opened read-only the engine would let every later save fail; say so now instead.
    if (::access(name.constData(), W_OK) != 0)
        throw Error(tr("文件不可写，无法保存病历：") + systemReason(errno));

    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        const QString reason = engineReason(db);
        closeQuietly(db);
        throw Error(reason);
    }
    // Other processes may hold the file open (it is shared); wait a while for their locks.
    sqlite3_busy_timeout(db, 5000);
    try {
        if (sqlite3_key(db, key.constData(), int(key.size())) != SQLITE_OK)
            throw Error(engineReason(db));
        // The engine reports a wrong key or a foreign file only on the first read.
        if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) != SQLITE_OK) {
            if (sqlite3_errcode(db) == SQLITE_NOTADB)
                throw WrongKey(engineReason(db));
            throw Error(engineReason(db));
        }
    } catch (...) {
        closeQuietly(db);
        throw;
    }
    return db;
}

void closeQuietly(sqlite3 *db)
{
    if (db)
        sqlite3_close(db);
}

void exec(sqlite3 *db, const char *sql)
{
    char *message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        sqlite3_free(message);
        throw Error(engineReason(db));
    }
}

void exportEncrypted(sqlite3 *db, const QString &destination, const QByteArray &key)
{
    {
        Statement attach(db, "ATTACH DATABASE ?1 AS quillcase_copy KEY ?2");
        attach.bindText(1, destination); // the engine takes file names as UTF-8, as Qt does
        // The key is bound as the bytes given, so a passphrase in any script keys the copy alike.
        if (sqlite3_bind_text(attach.handle(), 2, key.constData(), int(key.size()), SQLITE_TRANSIENT) !=
            SQLITE_OK)
            throw Error(engineReason(db));
        attach.next();
    }
    try {
        exec(db, "SELECT sqlcipher_export('quillcase_copy')");
    } catch (...) {
        sqlite3_exec(db, "DETACH DATABASE quillcase_copy", nullptr, nullptr, nullptr);
        throw;
    }
    exec(db, "DETACH DATABASE quillcase_copy");
}

void createOwnerOnlyFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        throw Error(systemReason(errno));
    // The mode given to open() is narrowed by the umask only, so it is at most 0600 already;
    // fchmod makes it exactly that.
    ::fchmod(fd, 0600);
    ::close(fd);
}

int renameNoReplace(const QString &from, const QString &to)
{
    return text::renameNoReplace(from, to);
}

void syncFolder(const QString &folder)
{
    text::syncFolder(folder);
}

bool sameFile(const QString &a, const QString &b)
{
    struct stat first, second;
    if (::stat(QFile::encodeName(a).constData(), &first) != 0)
        return false;
    if (::stat(QFile::encodeName(b).constData(), &second) != 0)
        return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// --- Statement --------------------------------------------------------------------------

Statement::Statement(sqlite3 *db, const QByteArray &sql) : m_db(db)
{
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &m_stmt, nullptr) != SQLITE_OK)
        throw Error(engineReason(db));
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

void Statement::bindText(int index, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    // constData() of an empty array is "", so an empty text binds '' rather than NULL.
    if (sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT) != SQLITE_OK)
        throw Error(engineReason(m_db));
}

void Statement::bindInt64(int index, qint64 value)
{
    if (sqlite3_bind_int64(m_stmt, index, value) != SQLITE_OK)
        throw Error(engineReason(m_db));
}

bool Statement::next()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const QString reason = engineReason(m_db);
    sqlite3_reset(m_stmt);
    throw Error(reason);
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

qint64 Statement::int64(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

QString Statement::text(int column) const
{
    const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    const int size = sqlite3_column_bytes(m_stmt, column);
    return data ? QString::fromUtf8(data, size) : QString();
}

QByteArrayView Statement::utf8(int column) const
{
    const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    const int size = sqlite3_column_bytes(m_stmt, column);
    return data ? QByteArrayView(data, size) : QByteArrayView();
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

} // namespace storedb
