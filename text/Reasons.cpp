#include "text/Reasons.h"

#include <QList>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace text {

namespace {

struct Known
{
    int errorNumber; // 0 for a message of the database engine
    const char *english;
    const char *chinese;
};

// The texts of the C library (English locale) and of the engine, as they reach a message.
const Known knownReasons[] = {
    {ENOSPC, "No space left on device", "磁盘空间不足"},
    {EDQUOT, "Disk quota exceeded", "超出磁盘配额"},
    {EACCES, "Permission denied", "没有读写权限"},
    {EPERM, "Operation not permitted", "操作不被允许"},
    {EROFS, "Read-only file system", "文件系统只读"},
    {EIO, "Input/output error", "磁盘读写错误"},
    {ENOENT, "No such file or directory", "文件或文件夹不存在"},
    {EISDIR, "Is a directory", "这是一个文件夹"},
    {ENOTDIR, "Not a directory", "路径中有一段不是文件夹"},
    {EEXIST, "File exists", "文件已存在"},
    {ENAMETOOLONG, "File name too long", "文件名太长"},
    {EXDEV, "Invalid cross-device link", "不在同一个磁盘分区上"},
    {EFBIG, "File too large", "文件太大"},
    {EMFILE, "Too many open files", "打开的文件太多"},
    {ENOTEMPTY, "Directory not empty", "文件夹不是空的"},
    {EBUSY, "Device or resource busy", "文件正被占用"},
    {ETXTBSY, "Text file busy", "文件正被占用"},
    {ENOMEM, "Cannot allocate memory", "内存不足"},
    {EMLINK, "Too many links", "链接太多"},
    {ELOOP, "Too many levels of symbolic links", "符号链接层数太多"},
    {0, "database or disk is full", "磁盘空间不足"},
    {0, "file is encrypted or is not a database", "不是病历资料库文件，或者密码不对"},
    {0, "file is not a database", "不是病历资料库文件，或者密码不对"},
    {0, "disk I/O error", "磁盘读写错误"},
    {0, "database disk image is malformed", "数据库文件已损坏"},
    {0, "attempt to write a readonly database", "数据库文件只读"},
    {0, "unable to open database file", "无法打开数据库文件"},
    {0, "database is locked", "数据库正被另一个程序使用"},
    {0, "database table is locked", "数据库正被另一个程序使用"},
    {0, "out of memory", "内存不足"},
};

QString chineseOf(const Known &known)
{
    return QString::fromUtf8(known.chinese);
}

} // namespace

QString chineseReason(const QString &reason)
{
    const QString bare = reason.trimmed();
    for (const Known &known : knownReasons) {
        if (bare.compare(QLatin1String(known.english), Qt::CaseInsensitive) == 0)
            return chineseOf(known);
        // The system's own text as this C library spells it, in case it differs.
        if (known.errorNumber != 0 &&
            bare.compare(QString::fromLocal8Bit(std::strerror(known.errorNumber)), Qt::CaseInsensitive) == 0)
            return chineseOf(known);
    }
    return reason;
}

QString systemReason(int errorNumber)
{
    for (const Known &known : knownReasons) {
        if (known.errorNumber == errorNumber)
            return chineseOf(known);
    }
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

QString withChineseReason(const QString &message)
{
    // The reason is what follows the last separator, or the whole message.
    qsizetype start = 0;
    for (const QString &separator : {QStringLiteral("："), QStringLiteral(": ")}) {
        const qsizetype at = message.lastIndexOf(separator);
        if (at >= 0)
            start = std::max(start, at + separator.size());
    }
    QString tail = message.mid(start);
    // A full stop the producer put at the end stays a full stop.
    QString stop;
    if (tail.endsWith(QLatin1Char('.')) || tail.endsWith(QStringLiteral("。"))) {
        stop = tail.right(1);
        tail.chop(1);
    }
    const QString chinese = chineseReason(tail);
    if (chinese == tail)
        return message;
    return message.left(start) + chinese + stop;
}

} // namespace text
