#include "pictures/DesktopPictures.h"

#include "pictures/FileCopy.h"
#include "pictures/PictureFolder.h"
#include "pictures/PictureView.h"
#include "records/FileListBox.h"
#include "text/Error.h"
#include "text/Reasons.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

std::optional<QString> DesktopPictures::existingFolder(const QString &id, const QString &name)
{
    // The root is read each time: the data folder is the one of the moment.
    return pictures::existingFolder(pictures::pictureRoot(), id, name);
}

QString DesktopPictures::makeFolder(const QString &id, const QString &name)
{
    const QString folder = pictures::folderPath(pictures::pictureRoot(), id, name);
    if (!QFileInfo(folder).isDir()) {
        // One level only: the picture root itself must already be there. A patient's
        // folder is for its owner alone.
        if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0)
            throw Error(QStringLiteral("无法建立图片文件夹“%1”：%2").arg(folder, text::systemReason(errno)));
        ::chmod(QFile::encodeName(folder).constData(), 0700);
    }
    return folder;
}

void DesktopPictures::addPicture(const QString &folder, const QString &chosen)
{
    const QString target = folder + QLatin1Char('/') + QFileInfo(chosen).fileName();
    // A picture of that name is already there: it stays, and nothing is said.
    if (!QFileInfo::exists(target))
        pictures::copyFile(chosen, target);
}

void DesktopPictures::showFolder(FileListBox &list, const QString &folder)
{
    list.setDirectory(folder);
}

void DesktopPictures::showPicture(PictureView &view, const QString &folder, const QString &fileName)
{
    view.loadPicture(folder + QLatin1Char('/') + fileName);
}
