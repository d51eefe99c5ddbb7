#pragma once
#include <QString>

class QIODevice;

// Copying a chosen picture into a patient's folder, block by block, so that a file
// of any size passes through one small buffer and is never held in memory whole.
namespace pictures {

inline constexpr qint64 copyBlockSize = 2049;

// Reads up to copyBlockSize bytes at a time from one open device and writes them to
// the other until a read returns no bytes. Throws Error naming the file concerned when
// a read fails or a write stores fewer bytes than were read. Returns the bytes copied.
qint64 copyBlocks(QIODevice &from, QIODevice &to, const QString &fromName, const QString &toName);

// Copies source to target, which must not exist yet (an existing file is never
// overwritten). The copy is owner-only and appears under its name only when complete
// and on the disk. Throws Error when the source cannot be opened, the target cannot be
// created, or a read, write or sync fails; nothing is left behind then.
void copyFile(const QString &source, const QString &target);

} // namespace pictures
