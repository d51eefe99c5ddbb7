#include "pictures/FileCopy.h"

#include "text/Error.h"
#include "text/Reasons.h"
#include "text/SafeFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <optional>

namespace pictures {

qint64 copyBlocks(QIODevice &from, QIODevice &to, const QString &fromName, const QString &toName)
{
    char buffer[copyBlockSize];
    qint64 total = 0;
    for (;;) {
        const qint64 read = from.read(buffer, copyBlockSize);
        if (read < 0)
            throw Error(QStringLiteral("读取文件“%1”时出错：%2")
                            .arg(fromName, text::chineseReason(from.errorString())));
        if (read == 0)
            return total;
        const qint64 written = to.write(buffer, read);
        if (written != read) {
            // A short write is what a full disk looks like; a shortened picture is no copy.
            const QString reason = written < 0 ? text::chineseReason(to.errorString())
                                               : QStringLiteral("磁盘已满或文件超出限制");
            throw Error(QStringLiteral("写入文件“%1”时出错：%2").arg(toName, reason));
        }
        total += read;
    }
}

void copyFile(const QString &source, const QString &target)
{
    QFile from(source);
    // Unbuffered: each read goes straight to the system, one block at a time.
    if (!from.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw Error(
            QStringLiteral("无法打开文件“%1”：%2").arg(source, text::chineseReason(from.errorString())));
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
        throw Error(QStringLiteral("无法建立文件“%1”：%2").arg(target, text::systemReason(EEXIST)));
    // A patient's picture: owner-only from its first byte, written whole under a temporary
    // name and given its own name only when complete. A file that appeared meanwhile under
    // that name is left alone, not overwritten.
    std::optional<text::WholeFile> to;
    try {
        to.emplace(target, text::FileMode::OwnerOnly, text::WholeFile::Replace::Never);
    } catch (const Error &error) {
        throw Error(QStringLiteral("无法建立文件“%1”：%2").arg(target, error.message()));
    }
    char buffer[copyBlockSize];
    for (;;) {
        const qint64 read = from.read(buffer, copyBlockSize);
        if (read < 0)
            throw Error(QStringLiteral("读取文件“%1”时出错：%2")
                            .arg(source, text::chineseReason(from.errorString())));
        if (read == 0)
            break;
        try {
            to->write(QByteArrayView(buffer, read));
        } catch (const Error &error) {
            throw Error(QStringLiteral("写入文件“%1”时出错：%2").arg(target, error.message()));
        }
    }
    try {
        to->commit();
    } catch (const Error &error) {
        throw Error(QStringLiteral("写入文件“%1”时出错：%2").arg(target, error.message()));
    }
}

} // namespace pictures
