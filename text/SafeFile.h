#pragma once
#include <QByteArray>
#include <QString>

namespace text {

// Writes bytes to a file whole or not at all: a temporary file beside it, then a
// rename over the old one. With ownerOnly the file is readable by its owner alone
// (patient data). Throws Error naming the path and the system's reason; an
// existing file is left intact on failure.
void writeFileWhole(const QString &path, const QByteArray &bytes, bool ownerOnly);

} // namespace text
