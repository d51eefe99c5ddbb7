#pragma once
#include <QByteArray>
#include <QString>

// Changes the key of a closed database file in place. The engine rewrites every page in one
// transaction with a journal, so the file is at every moment one whole database under the
// old key or under the new one: an interrupted change is rolled back by the next opening
// with the old key. The new key is proved by opening the file with it and checking it; a
// change the engine did not make throws Error with the reason.
void rekeyFile(const QString &path, const QByteArray &oldKey, const QByteArray &newKey);
