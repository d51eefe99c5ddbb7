#include "ward/WardImport.h"

#include "records/ColumnTable.h"
#include "records/PatientStoreDb.h"
#include "records/StoreColumnList.h"
#include "store/server/PgConnection.h"
#include "store/server/ServerSetup.h"
#include "ward/PictureImport.h"

#include <QFileInfo>

#include <QHash>
#include <QPair>

#include <sqlcipher/sqlite3.h>

namespace wardimport {

namespace {

QString tr(const char *text)
{
    return QString::fromUtf8(text);
}

// Owns a connection to the database file.
struct FileDatabase
{
    explicit FileDatabase(const QString &path) : db(storedb::openKeyed(path)) {}
    ~FileDatabase() { storedb::closeQuietly(db); }
    sqlite3 *db;
};

bool hasTable(sqlite3 *db, const char *name)
{
    storedb::Statement find(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1");
    find.bindText(1, QString::fromLatin1(name));
    return find.next();
}

QByteArray sqliteColumns(const QStringList &names)
{
    QByteArrayList quoted;
    for (const QString &name : names)
        quoted << "\"" + name.toUtf8() + "\"";
    return quoted.join(", ");
}

QByteArray places(int first, int count)
{
    QByteArrayList list;
    for (int i = 0; i < count; ++i)
        list << "$" + QByteArray::number(first + i);
    return list.join(", ");
}

const QStringList trailColumns = {QStringLiteral("RecordId"),   QStringLiteral("Bed"),
                                  QStringLiteral("ColumnName"), QStringLiteral("OldText"),
                                  QStringLiteral("NewText"),    QStringLiteral("Operator"),
                                  QStringLiteral("ChangedAt")};

qint64 serverCount(PGconn *connection, const char *table)
{
    const pg::Result count = pg::exec(connection, QByteArray("SELECT count(*) FROM ") + table);
    return pg::int64(count.get(), 0, 0);
}

Counts copyAll(PGconn *connection, sqlite3 *db)
{
    Counts counts;
    const StoreColumns layout = storeColumnList();

    // The archive flags first: an archived record may share its bed with one still open.
    QHash<qint64, QPair<QString, QString>> archive;
    if (hasTable(db, "PatientsArchive")) {
        storedb::Statement flags(db, "SELECT RecordId, ArchivedAt, Operator FROM PatientsArchive");
        while (flags.next())
            archive.insert(flags.int64(0), {flags.text(1), flags.text(2)});
    }

    pg::prepareAgain(connection, "import_record",
                "INSERT INTO \"PatientsData\" (\"RecordId\", \"ArchivedAt\", \"ArchivedBy\", " +
                    sqliteColumns(layout.names) + ") VALUES (" + places(1, int(layout.names.size()) + 3) +
                    ")");
    storedb::Statement records(db, "SELECT rowid, " + sqliteColumns(layout.names) +
                                       " FROM PatientsData ORDER BY rowid");
    const int count = int(layout.names.size());
    while (records.next()) {
        const qint64 id = records.int64(0);
        std::vector<QByteArray> values;
        values.reserve(size_t(count) + 3);
        values.push_back(QByteArray::number(id));
        const auto flag = archive.constFind(id);
        values.push_back(flag == archive.cend() ? QByteArray() : pg::textValue(flag->first));
        values.push_back(flag == archive.cend() ? QByteArray() : pg::textValue(flag->second));
        for (int c = 1; c <= count; ++c)
            values.push_back(records.isNull(c) ? QByteArray() : pg::textValue(records.utf8(c)));
        try {
            pg::execPrepared(connection, "import_record", values);
        } catch (const pg::ServerError &error) {
            if (error.sqlState() == "23505")
                throw Error(tr("本机资料中床号“%1”有不止一份未归档的病历，请先处理后再导入")
                                .arg(records.text(1 + layout.names.indexOf(layout.listNames.front()))));
            throw;
        }
        ++counts.records;
        if (flag != archive.cend())
            ++counts.archived;
    }

    if (hasTable(db, "PatientsHistory")) {
        pg::prepareAgain(connection, "import_trail",
                    "INSERT INTO \"PatientsHistory\" (" + sqliteColumns(trailColumns) + ") VALUES (" +
                        places(1, int(trailColumns.size())) + ")");
        storedb::Statement trail(db, "SELECT " + sqliteColumns(trailColumns) +
                                         " FROM PatientsHistory ORDER BY rowid");
        while (trail.next()) {
            std::vector<QByteArray> values;
            for (int c = 0; c < int(trailColumns.size()); ++c)
                values.push_back(trail.isNull(c) ? QByteArray() : pg::textValue(trail.utf8(c)));
            pg::execPrepared(connection, "import_trail", values);
            ++counts.trail;
        }
    }
    return counts;
}

} // namespace

Counts copyDatabase(PGconn *connection, sqlite3 *db)
{
    // The records arrive with their own trail: the trigger would add a second one.
    pg::exec(connection, "ALTER TABLE \"PatientsData\" DISABLE TRIGGER \"PatientsTrail\"");
    const Counts counts = copyAll(connection, db);
    pg::exec(connection, "ALTER TABLE \"PatientsData\" ENABLE TRIGGER \"PatientsTrail\"");
    continueRecordIds(connection);
    return counts;
}

void continueRecordIds(PGconn *connection)
{
    pg::exec(connection,
             "SELECT setval(s, greatest((SELECT max(\"RecordId\") FROM \"PatientsData\"), "
             "pg_sequence_last_value(s), 1)) FROM (SELECT "
             "pg_get_serial_sequence('\"PatientsData\"', 'RecordId')::regclass AS s) AS sequence");
}

Counts importFile(PGconn *connection, const QString &databasePath)
{
    try {
        serversetup::checkSchema(connection);
        FileDatabase file(databasePath);
        pg::exec(connection, "BEGIN");
        try {
            pg::exec(connection, "LOCK TABLE \"PatientsData\", \"PatientsHistory\" IN EXCLUSIVE MODE");
            if (const qint64 present = serverCount(connection, "\"PatientsData\""))
                throw Error(tr("病区服务器上已有 %1 份病历，只能导入到没有病历的病区数据库").arg(present));
            const qint64 trailBefore = serverCount(connection, "\"PatientsHistory\"");
            pictureimport::checkEmpty(connection);
            Counts counts = copyDatabase(connection, file.db);
            if (serverCount(connection, "\"PatientsData\"") != counts.records ||
                serverCount(connection, "\"PatientsData\" WHERE \"ArchivedAt\" IS NOT NULL") !=
                    counts.archived ||
                serverCount(connection, "\"PatientsHistory\"") != trailBefore + counts.trail)
                throw Error(tr("服务器上的记录数与本机资料不符"));
            const pictureimport::Counts pictures = pictureimport::copyFolders(
                connection, QFileInfo(databasePath).absolutePath() + QStringLiteral("/images"));
            pictureimport::checkCounts(connection, pictures);
            counts.pictureFolders = pictures.folders;
            counts.pictures = pictures.files;
            pg::exec(connection, "COMMIT");
            return counts;
        } catch (...) {
            try {
                pg::exec(connection, "ROLLBACK");
            } catch (const Error &) {
                // The connection is gone: the server has rolled back by itself.
            }
            throw;
        }
    } catch (const Error &error) {
        throw Error(tr("无法把“%1”导入病区服务器：%2").arg(databasePath, error.message()));
    }
}

} // namespace wardimport
