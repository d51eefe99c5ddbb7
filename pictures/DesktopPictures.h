#pragma once
#include "pictures/PicturePlace.h"

// The picture folders in the desktop's data folder: data/images/<number>-<name>, one level
// below the picture root, which has to exist already. Any other folder of the desktop (the
// application folder) can be shown and read through it as well.
class DesktopPictures : public PicturePlace
{
public:
    std::optional<QString> existingFolder(const QString &id, const QString &name) override;
    QString makeFolder(const QString &id, const QString &name) override;
    void addPicture(const QString &folder, const QString &chosen) override;
    void showFolder(FileListBox &list, const QString &folder) override;
    void showPicture(PictureView &view, const QString &folder, const QString &fileName) override;
};
