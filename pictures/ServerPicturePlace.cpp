#include "pictures/ServerPicturePlace.h"

#include "pictures/PictureFolder.h"
#include "pictures/PictureView.h"
#include "records/FileListBox.h"
#include "store/server/ServerPictures.h"
#include "text/Error.h"
#include "text/Reasons.h"

#include <QFile>
#include <QFileInfo>

ServerPicturePlace::ServerPicturePlace(std::unique_ptr<ServerPictures> pictures)
    : m_pictures(std::move(pictures))
{}

ServerPicturePlace::~ServerPicturePlace() = default;

std::optional<QString> ServerPicturePlace::existingFolder(const QString &id, const QString &name)
{
    if (pictures::unsafeReason(id, name))
        return std::nullopt;
    const QString folder = pictures::folderName(id, name);
    if (!m_pictures->folderExists(folder))
        return std::nullopt;
    return folder;
}

QString ServerPicturePlace::makeFolder(const QString &id, const QString &name)
{
    if (const auto reason = pictures::unsafeReason(id, name))
        throw Error(*reason);
    const QString folder = pictures::folderName(id, name);
    m_pictures->makeFolder(folder);
    return folder;
}

void ServerPicturePlace::addPicture(const QString &folder, const QString &chosen)
{
    QFile from(chosen);
    // Unbuffered: each read goes straight to the system, one block at a time.
    if (!from.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw Error(
            QStringLiteral("无法打开文件“%1”：%2").arg(chosen, text::chineseReason(from.errorString())));
    // A picture of that name is already there: it stays, and nothing is said.
    m_pictures->addFile(folder, QFileInfo(chosen).fileName(), from, chosen);
}

void ServerPicturePlace::showFolder(FileListBox &list, const QString &folder)
{
    list.setEntries(folder, pictures::listedPictures(m_pictures->fileNames(folder)));
}

void ServerPicturePlace::showPicture(PictureView &view, const QString &folder, const QString &fileName)
{
    const std::unique_ptr<ServerPictureReader> picture = m_pictures->open(folder, fileName);
    try {
        view.loadPicture(*picture, fileName);
    } catch (const Error &) {
        // The server's reason, when the server failed, says more than the decoder's.
        if (!picture->failure().isEmpty())
            throw Error(QStringLiteral("无法读取图片“%1”：%2").arg(fileName, picture->failure()));
        throw;
    }
}
