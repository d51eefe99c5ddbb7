#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include "text/Error.h"

struct sqlite3;
struct sqlite3_stmt;

// Small tools over the SQLCipher C API shared by the patient store, the backups and
// compaction. Functions here throw Error whose message is the bare reason (in Chinese);
// callers put the file and the step in front of it.
namespace storedb {

// Chinese reason for a system error number (the system's own text for rare ones).
QString systemReason(int errorNumber);
// The engine's last message for this connection, in Chinese where it is a known one.
QString engineReason(sqlite3 *db);

// The key every database has until its own passphrase is set: the database password.
QByteArray defaultKey();

// Opens an existing database file and keys it with `key`. Never creates:
// a missing, empty, unreadable or read-only file, a folder, a plain unencrypted SQLite file,
// garbage and a wrong password are all refused. The key is proved by reading sqlite_master.
// A wrong key (or a file that is no database at all) throws WrongKey.
sqlite3 *openKeyed(const QString &path, const QByteArray &key = defaultKey());

// The key does not open the file: the file is encrypted with another one, or is no database.
class WrongKey : public Error
{
public:
    using Error::Error;
};
// Closes a connection opened by openKeyed (null is allowed).
void closeQuietly(sqlite3 *db);

// Runs statements that return no rows.
void exec(sqlite3 *db, const char *sql);

// Attaches `destination` (an empty or missing file) keyed with `key`,
// copies the whole main database into it with sqlcipher_export and detaches it again.
void exportEncrypted(sqlite3 *db, const QString &destination, const QByteArray &key = defaultKey());

// Creates an empty file readable and writable by its owner alone; fails if it exists.
void createOwnerOnlyFile(const QString &path);

// Renames without ever replacing an existing file. Returns 0 or the system error number.
int renameNoReplace(const QString &from, const QString &to);
// Makes the renames and creations inside a folder durable.
void syncFolder(const QString &folder);

// The same file on disk (same device and inode), whatever the spelling of the paths.
bool sameFile(const QString &a, const QString &b);

// One prepared statement; finalised when it goes out of scope.
class Statement
{
public:
    Statement(sqlite3 *db, const QByteArray &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    // Binds text (1-based index); a null QString binds the empty text, not NULL.
    void bindText(int index, const QString &text);
    void bindInt64(int index, qint64 value);
    // Steps once: true while a row is available, false when done. Throws on error.
    bool next();
    void reset();

    qint64 int64(int column) const;
    QString text(int column) const;        // NULL reads as empty text
    QByteArrayView utf8(int column) const; // raw bytes, valid until the next step
    bool isNull(int column) const;
    sqlite3_stmt *handle() const { return m_stmt; }

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_stmt = nullptr;
};

} // namespace storedb
