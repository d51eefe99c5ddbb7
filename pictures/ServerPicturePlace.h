#pragma once
#include "pictures/PicturePlace.h"

#include <memory>

class ServerPictures;

// The picture folders on the ward's server, so that every desktop of the ward sees the same
// pictures. The folders are named as on the desktop, and texts the desktop could not use as a
// folder name are refused here too, so that the two places hold the same folders.
class ServerPicturePlace : public PicturePlace
{
public:
    explicit ServerPicturePlace(std::unique_ptr<ServerPictures> pictures);
    ~ServerPicturePlace() override;

    std::optional<QString> existingFolder(const QString &id, const QString &name) override;
    QString makeFolder(const QString &id, const QString &name) override;
    void addPicture(const QString &folder, const QString &chosen) override;
    void showFolder(FileListBox &list, const QString &folder) override;
    void showPicture(PictureView &view, const QString &folder, const QString &fileName) override;

private:
    std::unique_ptr<ServerPictures> m_pictures;
};
