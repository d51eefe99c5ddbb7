#define SQLITE_HAS_CODEC 1
#include "records/Rekey.h"

#include "records/PatientStoreDb.h"
#include "text/Error.h"

#include <sqlcipher/sqlite3.h>

namespace {

QString tr(const char *text)
{
    return QString::fromUtf8(text);
}

} // namespace

void rekeyFile(const QString &path, const QByteArray &oldKey, const QByteArray &newKey)
{
    if (newKey.isEmpty())
        throw Error(tr("新口令为空"));
    sqlite3 *db = storedb::openKeyed(path, oldKey);
    try {
        // A change needs the whole file locked; others are waited for by the busy timeout.
        storedb::exec(db, "BEGIN EXCLUSIVE");
        storedb::exec(db, "COMMIT");
        const int rc = sqlite3_rekey(db, newKey.constData(), int(newKey.size()));
        if (rc != SQLITE_OK)
            throw Error(storedb::engineReason(db));
    } catch (...) {
        storedb::closeQuietly(db);
        throw;
    }
    if (sqlite3_close(db) != SQLITE_OK)
        throw Error(storedb::engineReason(db));

    // Some engine versions report success even when a full disk made them roll back, so the
    // result is judged by the file itself.
    // (The engine's transaction leaves no half-changed file, so opening with the key is proof.)
    try {
        storedb::closeQuietly(storedb::openKeyed(path, newKey));
    } catch (const storedb::WrongKey &) {
        throw Error(tr("数据库引擎没有完成更改（可能磁盘已满或文件夹不可写），数据库仍用原口令"));
    }
}
