#pragma once
#include <QString>
#include <QStringList>
#include <optional>

// Where a patient's pictures live: one folder per patient directly in the picture
// root, named after the admission number and the name as the boxes show them.
namespace pictures {

// Shown as an information message when the admission number or the name is empty.
inline const QString missingKeyMessage = QStringLiteral("住院号 or 姓名  Missing!!");

// The picture root: the folder "images" in the data folder, ending with '/'.
// The program never creates it; it must exist before the first picture is added.
QString pictureRoot();

// True when the trimmed admission number or the trimmed name is empty.
bool keyMissing(const QString &id, const QString &name);

// The folder name: trimmed admission number, "-", trimmed name.
QString folderName(const QString &id, const QString &name);

// Why the texts cannot name a folder inside the root, or nullopt when they can.
// A separator ('/' or '\'), a NUL character, or a part that is "." or ".." could
// lead out of the picture root or into another patient's folder.
std::optional<QString> unsafeReason(const QString &id, const QString &name);

// The full path of the patient's folder: root + folder name (no trailing separator).
// Throws Error when the texts cannot name a folder inside the root. Empty texts are
// not refused here; the commands that need both say so themselves.
QString folderPath(const QString &root, const QString &id, const QString &name);

// The patient's folder when the texts name a safe folder and it exists; nullopt otherwise.
std::optional<QString> existingFolder(const QString &root, const QString &id, const QString &name);

// Of the file names of a folder, those the picture list shows, as a desktop folder's list
// shows them: names matching "*.jpg" whatever the case of the letters, none beginning with a
// dot (hidden on the desktop), sorted regardless of case.
QStringList listedPictures(QStringList names);

} // namespace pictures
