#pragma once
#include <QByteArray>
#include <QString>

// Changes the key of a closed database file, whole or not at all: the file is copied byte for
// byte beside itself under a hidden name, the copy is re-keyed page by page (it is no one's
// database yet, so it needs no journal), proved by opening it with the new key, flushed to
// disk and renamed over the database in one step. The database keeps its name and its
// content; at every moment the name holds the old file or the new one. While this runs the
// database is locked against writers. Throws Error with the reason; the database is then
// unchanged.
void rekeyFile(const QString &path, const QByteArray &oldKey, const QByteArray &newKey);

// Copies the bytes of `from` over the existing (empty) file `to`, every read and write
// checked, and flushes the copy to disk. Throws Error with the reason.
void copyFileBytes(const QString &from, const QString &to);
