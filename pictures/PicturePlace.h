#pragma once
#include <QString>
#include <optional>

class FileListBox;
class PictureView;

// Where the patients' picture folders are kept: the desktop's own folders, or the ward's
// server shared by every desktop. The picture tab's handlers talk to this alone; a folder is
// the text the place gave for it (a path on the desktop, a folder name on the server).
class PicturePlace
{
public:
    virtual ~PicturePlace() = default;

    // The patient's folder when the texts name a folder that exists; nullopt otherwise, also
    // for texts that cannot name a folder.
    virtual std::optional<QString> existingFolder(const QString &id, const QString &name) = 0;
    // The patient's folder, made now when it does not exist yet. Throws Error when the texts
    // cannot name a folder or it cannot be made.
    virtual QString makeFolder(const QString &id, const QString &name) = 0;
    // Copies the chosen file into the folder under its own file name, whole or not at all. When
    // the folder holds a picture of that name already, nothing is copied and nothing is said.
    // Throws Error when the file cannot be read or the copy cannot be stored.
    virtual void addPicture(const QString &folder, const QString &chosen) = 0;
    // The list shows the folder's "*.jpg" pictures, read again.
    virtual void showFolder(FileListBox &list, const QString &folder) = 0;
    // Reads one picture of the folder into the view, replacing the picture shown. Throws Error
    // when it cannot be read as a picture; the view then keeps the picture it showed.
    virtual void showPicture(PictureView &view, const QString &folder, const QString &fileName) = 0;
};
