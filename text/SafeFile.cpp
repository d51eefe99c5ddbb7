#include "text/SafeFile.h"
#include "text/Error.h"

#include <QFileInfo>
#include <QSaveFile>

namespace text {

void writeFileWhole(const QString &path, const QByteArray &bytes, bool ownerOnly)
{
    if (path.isEmpty())
        throw Error(QStringLiteral("文件名为空，无法保存"));
    if (QFileInfo(path).isDir() || path.endsWith(QLatin1Char('/')))
        throw Error(QStringLiteral("无法写入文件“%1”：这是一个文件夹").arg(path));
    const QFileInfo info(path);
    if (info.exists() && !info.isWritable())
        throw Error(QStringLiteral("无法写入文件“%1”：文件只读").arg(path));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Error(QStringLiteral("无法写入文件“%1”：%2").arg(path, file.errorString()));
    if (ownerOnly)
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw Error(QStringLiteral("无法写入文件“%1”：%2").arg(path, reason));
    }
    if (!file.commit())
        throw Error(QStringLiteral("无法写入文件“%1”：%2").arg(path, file.errorString()));
}

} // namespace text
