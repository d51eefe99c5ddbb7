#include "ward/WardStore.h"

#include "records/PatientStore.h"
#include "records/PatientStoreDb.h"
#include "records/Restore.h"
#include "records/VerbatimCopy.h"
#include "store/server/ServerSchema.h"
#include "text/SafeFile.h"
#include "ward/WardImport.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QPair>

#include <sqlcipher/sqlite3.h>

namespace {

QString tr(const char *text)
{
    return QString::fromUtf8(text);
}

// Rows fetched from the server at a time: the whole ward never has to fit in memory.
constexpr int fetchRows = 500;

QByteArray quotedList(const QStringList &names)
{
    QByteArrayList quoted;
    for (const QString &name : names)
        quoted << pg::identifier(name);
    return quoted.join(", ");
}

// Runs `each` on every row of a query, through a cursor of the open transaction.
template <typename Each> void forEachRow(PGconn *db, const char *cursor, const QByteArray &query, Each each)
{
    pg::exec(db, QByteArray("DECLARE ") + cursor + " NO SCROLL CURSOR FOR " + query);
    for (;;) {
        const pg::Result rows = pg::exec(db, "FETCH " + QByteArray::number(fetchRows) + " FROM " + cursor);
        const int count = pg::rows(rows.get());
        for (int r = 0; r < count; ++r)
            each(rows.get(), r);
        if (count < fetchRows)
            break;
    }
    pg::exec(db, QByteArray("CLOSE ") + cursor);
}

void rollbackQuietly(PGconn *db)
{
    try {
        pg::exec(db, "ROLLBACK");
    } catch (const Error &) {
        // The connection is gone: the server has rolled the transaction back itself.
    }
}

void removeDatabaseFiles(const QString &path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

// Owns a connection to the restored database built beside the data folder's database.
struct FileDatabase
{
    explicit FileDatabase(const QString &path) : db(storedb::openKeyed(path)) {}
    ~FileDatabase() { storedb::closeQuietly(db); }
    sqlite3 *db;
};

qint64 serverCount(PGconn *db, const QByteArray &from)
{
    const pg::Result count = pg::exec(db, "SELECT count(*) FROM " + from);
    return pg::int64(count.get(), 0, 0);
}

} // namespace

WardStore::WardStore(const QString &connectionString, const StoreColumns &columns, const pg::SignIn &signIn)
    : ServerStore(connectionString, columns, signIn)
{}

std::unique_ptr<WardStore> WardStore::open(const QString &connectionString, const StoreColumns &columns,
                                           const pg::SignIn &signIn)
{
    std::unique_ptr<WardStore> store(new WardStore(connectionString, columns, signIn));
    store->connect();
    return store;
}

QString WardStore::safetyCopyName(const QDateTime &now)
{
    return QStringLiteral("ward-before-restore-") + now.toString(QStringLiteral("yyyyMMdd-hhmmss")) +
           QStringLiteral(".dat");
}

void WardStore::backupXml(const QString &path)
{
    writeBackup(path, Format::Xml);
}

void WardStore::backupEncrypted(const QString &path)
{
    writeBackup(path, Format::Encrypted);
}

void WardStore::backup(const QString &path)
{
    writeBackup(path, Format::ByName);
}

void WardStore::writeBackup(const QString &path, Format format)
{
    // The snapshot goes into a patient database under a temporary name beside the backup (noted
    // as pending, removed whatever happens); the file store's writers make the backup from it.
    std::unique_ptr<PatientStore> snapshot;
    QString scratchPath;
    std::unique_ptr<text::WholeFile> scratchFile;
    try {
        scratchFile = std::make_unique<text::WholeFile>(
            path + QStringLiteral(".snapshot"), text::FileMode::OwnerOnly, text::WholeFile::Replace::Never);
    } catch (const Error &error) {
        throw Error(tr("无法备份到“%1”：%2").arg(path, error.message()));
    }
    try {
        text::WholeFile &scratch = *scratchFile;
        scratchPath = scratch.temporaryPath();
        scratch.closeDescriptor();
        try {
            QFile::remove(scratchPath);
            copySnapshot(scratchPath);
            snapshot = PatientStore::open(scratchPath);
        } catch (const Error &error) {
            throw Error(tr("无法备份到“%1”：%2").arg(path, error.message()));
        }
        if (format == Format::Xml)
            snapshot->backupXml(path);
        else if (format == Format::Encrypted)
            snapshot->backupEncrypted(path);
        else
            snapshot->backup(path);
        snapshot.reset();
        removeDatabaseFiles(scratchPath);
    } catch (...) {
        snapshot.reset();
        if (!scratchPath.isEmpty())
            removeDatabaseFiles(scratchPath);
        throw;
    }
}

void WardStore::copySnapshot(const QString &databasePath)
{
    PatientStore::create(databasePath);
    std::unique_ptr<PatientStore> file = PatientStore::open(databasePath);
    VerbatimCopy copy(*file);
    PGconn *db = connection();
    const QStringList &names = columns().names;
    // Records, archive marks and trail as one moment of the ward saw them.
    pg::exec(db, "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    try {
        forEachRow(db, "quillcase_backup_records",
                   "SELECT \"RecordId\", \"ArchivedAt\", coalesce(\"ArchivedBy\", ''), " + quotedList(names) +
                       " FROM \"PatientsData\" ORDER BY \"RecordId\"",
                   [&](const PGresult *rows, int r) {
                       const qint64 id = pg::int64(rows, r, 0);
                       QStringList values;
                       values.reserve(names.size());
                       for (int c = 3; c < names.size() + 3; ++c)
                           values << (pg::isNull(rows, r, c) ? QString() : pg::text(rows, r, c));
                       copy.record(id, values);
                       if (!pg::isNull(rows, r, 1))
                           copy.archiveMark(id, pg::text(rows, r, 1), pg::text(rows, r, 2));
                   });
        forEachRow(db, "quillcase_backup_trail",
                   "SELECT \"RecordId\", \"Bed\", \"ColumnName\", \"OldText\", \"NewText\", \"Operator\", "
                   "\"ChangedAt\" FROM \"PatientsHistory\" ORDER BY \"HistoryId\"",
                   [&](const PGresult *rows, int r) {
                       copy.trailRow({pg::int64(rows, r, 0), pg::text(rows, r, 1), pg::text(rows, r, 2),
                                      pg::text(rows, r, 3), pg::text(rows, r, 4), pg::text(rows, r, 5),
                                      pg::text(rows, r, 6)});
                   });
        pg::exec(db, "COMMIT");
    } catch (...) {
        rollbackQuietly(db);
        throw;
    }
    copy.commit();
    file->close();
}

namespace {

// The restore of a ward that holds records or a trail: the backup's records are stored over
// them under their row ids (the server's trigger writes every changed column into the trail
// under the administrator's role), and the records the backup lacks are removed. Without
// `keepIds` (an XML backup holds no row ids, so its records were numbered afresh) every record
// of the ward is removed and the backup's come in as new records with ids never given before,
// so that no record takes over the trail of another.
qint64 mergeInto(PGconn *connection, sqlite3 *db, const QStringList &names, bool keepIds)
{
    // Records may trade beds on the way: the one-open-record-per-bed rule is checked once, on
    // the result, by building its index again before the transaction ends.
    pg::exec(connection, QByteArray("DROP INDEX \"") + serverschema::openBedIndex + "\"");

    QHash<qint64, QPair<QString, QString>> archive;
    {
        storedb::Statement marks(db, "SELECT RecordId, ArchivedAt, Operator FROM PatientsArchive");
        while (marks.next())
            archive.insert(marks.int64(0), {marks.text(1), marks.text(2)});
    }
    QByteArrayList ids;
    {
        storedb::Statement rowIds(db, "SELECT rowid FROM PatientsData ORDER BY rowid");
        while (rowIds.next())
            ids << QByteArray::number(rowIds.int64(0));
    }
    pg::exec(connection, "DELETE FROM \"PatientsData\" WHERE NOT (\"RecordId\" = ANY ($1::bigint[]))",
             {keepIds ? "{" + ids.join(",") + "}" : QByteArray("{}")});

    QByteArrayList targets{"\"ArchivedAt\"", "\"ArchivedBy\""};
    for (const QString &name : names)
        targets << pg::identifier(name);
    QByteArrayList places, assignments, current, proposed;
    for (int i = 0; i < targets.size() + 1; ++i)
        places << "$" + QByteArray::number(i + 1);
    for (const QByteArray &target : targets) {
        assignments << target + " = EXCLUDED." + target;
        current << "\"PatientsData\"." + target;
        proposed << "EXCLUDED." + target;
    }
    // A record whose values are all as in the backup is left alone: no new version, no trail.
    // $1 is the record id; a new id is given for NULL.
    pg::prepareAgain(connection, "restore_record",
                     "INSERT INTO \"PatientsData\" (\"RecordId\", " + targets.join(", ") +
                         ") SELECT coalesce($1::bigint, nextval(pg_get_serial_sequence("
                         "'\"PatientsData\"', 'RecordId'))), " +
                         places.mid(1).join(", ") + " ON CONFLICT (\"RecordId\") DO UPDATE SET " +
                         assignments.join(", ") + " WHERE (" + current.join(", ") + ") IS DISTINCT FROM (" +
                         proposed.join(", ") + ")");
    QByteArrayList columns;
    for (const QString &name : names)
        columns << "\"" + name.toUtf8() + "\"";
    storedb::Statement records(db,
                               "SELECT rowid, " + columns.join(", ") + " FROM PatientsData ORDER BY rowid");
    const int count = int(names.size());
    qint64 copied = 0;
    while (records.next()) {
        const qint64 id = records.int64(0);
        std::vector<QByteArray> values;
        values.reserve(size_t(count) + 3);
        values.push_back(keepIds ? QByteArray::number(id) : QByteArray());
        const auto mark = archive.constFind(id);
        values.push_back(mark == archive.cend() ? QByteArray() : pg::textValue(mark->first));
        values.push_back(mark == archive.cend() ? QByteArray() : pg::textValue(mark->second));
        for (int c = 1; c <= count; ++c)
            values.push_back(records.isNull(c) ? QByteArray() : pg::textValue(records.utf8(c)));
        pg::execPrepared(connection, "restore_record", values);
        ++copied;
    }
    wardimport::continueRecordIds(connection);
    try {
        pg::exec(connection, serverschema::openBedIndexSql());
    } catch (const pg::ServerError &error) {
        if (error.sqlState() == "23505")
            throw Error(tr("备份中同一床号有不止一份未归档的病历，病区服务器上每个床号只能有一份"));
        throw;
    }
    return copied;
}

} // namespace

QString WardStore::restore(const BackupSummary &backup, const QString &dataFolder, const QDateTime &now)
{
    const auto unchanged = [](const QString &reason) {
        return Error(tr("恢复失败：%1。病区服务器上的病历未改动").arg(reason));
    };
    if (!isAdministrator())
        throw unchanged(tr("本角色不是病区管理员，不能恢复病历资料"));

    // The ward as it is now, kept as the file restore keeps the old file.
    const QString folder = restore::backupsFolder(dataFolder);
    const QString safetyCopy = folder + safetyCopyName(now);
    try {
        QDir().mkpath(folder);
        backupEncrypted(safetyCopy);
    } catch (const Error &error) {
        throw unchanged(tr("恢复前无法备份病区服务器上的病历：%1").arg(error.message()));
    }

    // Either kind of backup is first built into a patient database as the file restore builds
    // it, then read from there.
    restore::PreparedRestore prepared(dataFolder, backup, storedb::defaultKey());
    PGconn *connection = this->connection();
    try {
        // A backup made before the trail and the archive marks gets their empty tables here.
        PatientStore::open(prepared.temporaryPath()).reset();
        FileDatabase file(prepared.temporaryPath());
        pg::exec(connection, "BEGIN");
        try {
            pg::exec(connection, "LOCK TABLE \"PatientsData\", \"PatientsHistory\" IN EXCLUSIVE MODE");
            qint64 records = 0;
            if (serverCount(connection, "\"PatientsData\"") == 0 &&
                serverCount(connection, "\"PatientsHistory\"") == 0)
                records = wardimport::copyDatabase(connection, file.db).records;
            else
                records = mergeInto(connection, file.db, columns().names,
                                    backup.kind == BackupSummary::Kind::Encrypted);
            const qint64 archived = [&] {
                storedb::Statement count(file.db, "SELECT count(*) FROM PatientsArchive WHERE RecordId IN "
                                                  "(SELECT rowid FROM PatientsData)");
                count.next();
                return count.int64(0);
            }();
            if (records != backup.records || serverCount(connection, "\"PatientsData\"") != backup.records ||
                serverCount(connection, "\"PatientsData\" WHERE \"ArchivedAt\" IS NOT NULL") != archived)
                throw Error(tr("服务器上的记录数与备份不符"));
            // Records removed are announced by no trigger: the other desktops read their lists again.
            pg::exec(connection, QByteArray("SELECT pg_notify('") + serverschema::changeChannel + "', '0')");
            pg::exec(connection, "COMMIT");
        } catch (...) {
            rollbackQuietly(connection);
            throw;
        }
    } catch (const pg::ServerError &error) {
        if (error.sqlState() == "42501")
            throw unchanged(
                tr("病区服务器拒绝了本角色的更改（没有权限；请用 quillcase-ward init 更新病区数据库）：%1")
                    .arg(error.message()));
        throw unchanged(error.message());
    } catch (const Error &error) {
        throw unchanged(error.message());
    }
    return safetyCopy;
}
