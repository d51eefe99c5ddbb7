#pragma once
// Helpers for the restore, passphrase and safety-copy tests.
#define SQLITE_HAS_CODEC 1
#include "StoreTestSupport.h"

#include "records/PatientStoreDb.h"
#include "text/Error.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sqlcipher/sqlite3.h>

#include <csignal>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace restoretest {

using storetest::column;

// A record with a distinct text in every one of the 79 columns.
inline QHash<int, QString> fullRecord(const QString &tag)
{
    QHash<int, QString> values;
    for (const Column &c : columns::all())
        values.insert(columns::indexOf(QString::fromUtf8(c.name)),
                      tag + QStringLiteral("·") + QString::fromUtf8(c.name) +
                          QStringLiteral("：病历&<>\"'\r\n第二行"));
    values.insert(column("Bed"), tag);
    values.insert(column("DoA"), QStringLiteral("2024-5-%1").arg(tag.size() + 1));
    return values;
}

// Runs SQL on a database with a key, through the engine.
inline void execKeyed(const QString &path, const char *sql, const QByteArray &key = storedb::defaultKey())
{
    sqlite3 *db = storedb::openKeyed(path, key);
    try {
        storedb::exec(db, sql);
    } catch (...) {
        storedb::closeQuietly(db);
        throw;
    }
    storedb::closeQuietly(db);
}

// Every row of a table as text lists ordered by rowid (all columns, NULL as "<null>").
// Rows of a query as text lists, NULL as `nullText`.
inline std::vector<QStringList> queryRows(const QString &path, const QByteArray &sql,
                                          const QByteArray &key = storedb::defaultKey(),
                                          const QString &nullText = QStringLiteral(""))
{
    sqlite3 *db = storedb::openKeyed(path, key);
    std::vector<QStringList> rows;
    try {
        storedb::Statement select(db, sql);
        const int count = sqlite3_column_count(select.handle());
        while (select.next()) {
            QStringList row;
            for (int i = 0; i < count; ++i)
                row << (select.isNull(i) ? nullText : select.text(i));
            rows.push_back(row);
        }
    } catch (...) {
        storedb::closeQuietly(db);
        throw;
    }
    storedb::closeQuietly(db);
    return rows;
}

inline std::vector<QStringList> tableRows(const QString &path, const char *table,
                                          const QByteArray &key = storedb::defaultKey())
{
    return queryRows(path, QByteArray("SELECT * FROM \"") + table + "\" ORDER BY rowid", key);
}

// Whether the file opens with one of the keys and passes the engine's full check.
inline bool opensWhole(const QString &path, const QList<QByteArray> &keys, QByteArray *which = nullptr)
{
    for (const QByteArray &key : keys) {
        try {
            sqlite3 *db = storedb::openKeyed(path, key);
            bool ok = false;
            try {
                storedb::Statement check(db, "PRAGMA integrity_check");
                ok = check.next() && check.text(0) == QLatin1String("ok");
                storedb::Statement count(db, "SELECT count(*) FROM PatientsData");
                ok = ok && count.next();
            } catch (const Error &) {
                ok = false;
            }
            storedb::closeQuietly(db);
            if (which)
                *which = key;
            return ok;
        } catch (const Error &) {
        }
    }
    return false;
}

// A small tmpfs mounted for one test (root only); `mounted` is false where that is not allowed.
struct SmallDisk
{
    QTemporaryDir dir;
    bool mounted = false;
    explicit SmallDisk(const char *size)
    {
        if (::geteuid() != 0)
            return;
        const QByteArray options = QByteArray("size=") + size + ",mode=0700";
        mounted =
            ::mount("tmpfs", QFile::encodeName(dir.path()).constData(), "tmpfs", 0, options.constData()) == 0;
    }
    ~SmallDisk()
    {
        if (mounted)
            ::umount2(QFile::encodeName(dir.path()).constData(), MNT_DETACH);
    }
    QString path(const char *name) const { return dir.path() + QLatin1Char('/') + QString::fromUtf8(name); }
};

// Runs `work` in a child process and kills it with SIGKILL after `delayMicroseconds`.
// Returns true if the kill came before the child had finished.
template <typename Work> bool killDuring(Work work, int delayMicroseconds)
{
    const pid_t child = ::fork();
    if (child == 0) {
        try {
            work();
        } catch (...) {
            ::_exit(3);
        }
        ::_exit(0);
    }
    ::usleep(useconds_t(delayMicroseconds));
    const bool killed = ::kill(child, SIGKILL) == 0;
    int status = 0;
    ::waitpid(child, &status, 0);
    return killed && WIFSIGNALED(status);
}

} // namespace restoretest
