#include "ward/PictureImport.h"

#include "store/server/PgConnection.h"
#include "store/server/ServerPictures.h"
#include "text/Error.h"
#include "text/Reasons.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace pictureimport {

namespace {

QString tr(const char *text)
{
    return QString::fromUtf8(text);
}

qint64 serverValue(PGconn *connection, const char *sql)
{
    const pg::Result value = pg::exec(connection, sql);
    return pg::int64(value.get(), 0, 0);
}

} // namespace

void checkEmpty(PGconn *connection)
{
    const pg::Result present =
        pg::exec(connection, "SELECT to_regclass('public.\"PictureBlocks\"') IS NOT NULL");
    if (pg::text(present.get(), 0, 0) != QStringLiteral("t"))
        throw Error(tr("病区数据库里还没有存放图片的表，请先再运行一次 quillcase-ward init"));
    pg::exec(connection, "LOCK TABLE \"PictureFolders\", \"Pictures\", \"PictureBlocks\" IN EXCLUSIVE MODE");
    if (const qint64 present = serverValue(connection, "SELECT count(*) FROM \"PictureFolders\""))
        throw Error(tr("病区服务器上已有 %1 个图片文件夹，只能导入到没有图片的病区数据库").arg(present));
}

Counts copyFolders(PGconn *connection, const QString &imagesFolder)
{
    Counts counts;
    const QDir images(imagesFolder);
    if (!images.exists())
        return counts;
    const QFileInfoList folders = images.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &folder : folders) {
        const QString name = folder.fileName();
        serverpictures::makeFolderIn(connection, name);
        ++counts.folders;
        const QFileInfoList files =
            QDir(folder.filePath()).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
        for (const QFileInfo &file : files) {
            QFile source(file.filePath());
            if (!source.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
                throw Error(tr("无法打开文件“%1”：%2")
                                .arg(file.filePath(), text::chineseReason(source.errorString())));
            if (!serverpictures::storeFileIn(connection, name, file.fileName(), source, file.filePath()))
                throw Error(tr("图片文件夹“%1”中的“%2”出现了两次").arg(name, file.fileName()));
            ++counts.files;
            counts.bytes += source.size();
        }
    }
    return counts;
}

void checkCounts(PGconn *connection, const Counts &copied)
{
    if (serverValue(connection, "SELECT count(*) FROM \"PictureFolders\"") != copied.folders ||
        serverValue(connection, "SELECT count(*) FROM \"Pictures\"") != copied.files ||
        serverValue(connection, "SELECT coalesce(sum(length(\"Bytes\")), 0) FROM \"PictureBlocks\"") !=
            copied.bytes)
        throw Error(tr("服务器上的图片文件夹数、图片数或字节数与本机资料不符"));
}

} // namespace pictureimport
