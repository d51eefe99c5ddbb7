#include "pictures/FileCopy.h"

#include "text/Error.h"

#include <QFile>

namespace pictures {

qint64 copyBlocks(QIODevice &from, QIODevice &to, const QString &fromName, const QString &toName)
{
    char buffer[copyBlockSize];
    qint64 total = 0;
    for (;;) {
        const qint64 read = from.read(buffer, copyBlockSize);
        if (read < 0)
            throw Error(QStringLiteral("读取文件“%1”时出错：%2").arg(fromName, from.errorString()));
        if (read == 0)
            return total;
        const qint64 written = to.write(buffer, read);
        if (written != read) {
            // A short write is what a full disk looks like; a shortened picture is no copy.
            const QString reason = written < 0 ? to.errorString() : QStringLiteral("磁盘已满或文件超出限制");
            throw Error(QStringLiteral("写入文件“%1”时出错：%2").arg(toName, reason));
        }
        total += read;
    }
}

void copyFile(const QString &source, const QString &target)
{
    QFile from(source);
    // Unbuffered: each read and write goes straight to the system, one block at a time,
    // and a failing write is seen at once rather than at a later flush.
    if (!from.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw Error(QStringLiteral("无法打开文件“%1”：%2").arg(source, from.errorString()));
    QFile to(target);
    // NewOnly: a file that appeared since the caller looked is left alone, not overwritten.
    if (!to.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        throw Error(QStringLiteral("无法建立文件“%1”：%2").arg(target, to.errorString()));
    try {
        copyBlocks(from, to, source, target);
    } catch (const Error &) {
        to.close();
        to.remove();
        throw;
    }
    to.close();
    if (to.error() != QFileDevice::NoError) {
        const QString reason = to.errorString();
        to.remove();
        throw Error(QStringLiteral("写入文件“%1”时出错：%2").arg(target, reason));
    }
}

} // namespace pictures
