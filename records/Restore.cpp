#define SQLITE_HAS_CODEC 1
#include "records/Restore.h"

#include "records/Compaction.h"
#include "records/Dialogs.h"
#include "records/PatientStore.h"
#include "records/PatientStoreDb.h"
#include "records/Rekey.h"
#include "records/XmlRowsetReader.h"
#include "text/Clock.h"
#include "text/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <sqlcipher/sqlite3.h>

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

namespace restore {

namespace {

QString tr(const char *text)
{
    return QString::fromUtf8(text);
}

QByteArray quotedName(const QString &name)
{
    return "\"" + name.toUtf8().replace("\"", "\"\"") + "\"";
}

// A fresh, unused name in the data folder for the database being built.
QString reserveTemporary(const QString &folder)
{
    QByteArray pattern = QFile::encodeName(folder + QStringLiteral(".Quillcase.dat.restore-XXXXXX"));
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        throw Error(storedb::systemReason(errno));
    ::close(fd);
    return QFile::decodeName(pattern);
}

void syncFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw Error(storedb::systemReason(errno));
    const int rc = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    if (rc != 0)
        throw Error(storedb::systemReason(error));
}

QSet<QString> lowerColumns(sqlite3 *db, const QString &table)
{
    QSet<QString> names;
    storedb::Statement info(db, "PRAGMA table_info(" + quotedName(table) + ")");
    while (info.next())
        names.insert(info.text(1).toLower());
    return names;
}

// How loadRowset finds the records of a trail or archive file.
struct RecordPlaces
{
    const std::vector<qint64> *newRowIds = nullptr; // the restored records' row ids, in file order
    qint64 records = 0;
    bool skipWithout = false; // rows naming no record are left out (an archive mark needs one)
};

// Loads one XML rowset into `table`, creating the table or adding the columns it lacks.
// Values the rows leave out are stored as NULL. `insertedRowIds` collects the row id each
// row gets. With `places`, a file whose rows carry RecordRow (the place of the row's record
// in the records file) stores the new row id of that record as RecordId instead, and
// RecordRow itself is not kept; a file without RecordRow loads as it is.
void loadRowset(sqlite3 *db, const QString &path, const QString &table,
                std::vector<qint64> *insertedRowIds = nullptr, const RecordPlaces *places = nullptr)
{
    std::unique_ptr<storedb::Statement> insert;
    std::vector<int> parameterOf; // for each column of the file, its parameter; 0 for none
    int placeColumn = -1;
    int recordIdParameter = 0;
    xmlrowset::read(
        path,
        [&](const QStringList &fileNames) {
            QStringList names;
            parameterOf.assign(size_t(fileNames.size()), 0);
            for (int i = 0; i < fileNames.size(); ++i) {
                if (places && placeColumn < 0 &&
                    fileNames[i].compare(QLatin1String(backupcheck::recordRowColumn), Qt::CaseInsensitive) ==
                        0) {
                    placeColumn = i;
                    continue;
                }
                names << fileNames[i];
                parameterOf[size_t(i)] = int(names.size());
            }
            if (placeColumn >= 0) {
                // RecordId is set from the place; a RecordId the file holds as well is the
                // record's old row id and is replaced.
                for (int i = 0; i < fileNames.size(); ++i) {
                    if (fileNames[i].compare(QLatin1String("RecordId"), Qt::CaseInsensitive) == 0 &&
                        parameterOf[size_t(i)] > 0) {
                        recordIdParameter = parameterOf[size_t(i)];
                        parameterOf[size_t(i)] = 0;
                    }
                }
                if (recordIdParameter == 0) {
                    names << QStringLiteral("RecordId");
                    recordIdParameter = int(names.size());
                }
            }
            const QSet<QString> present = lowerColumns(db, table);
            if (present.isEmpty()) {
                QByteArrayList definitions;
                for (const QString &name : names)
                    definitions << quotedName(name) + " TEXT";
                storedb::exec(
                    db,
                    ("CREATE TABLE " + quotedName(table) + " (" + definitions.join(", ") + ")").constData());
            } else {
                for (const QString &name : names) {
                    if (!present.contains(name.toLower()))
                        storedb::exec(db, ("ALTER TABLE " + quotedName(table) + " ADD COLUMN " +
                                           quotedName(name) + " TEXT")
                                              .constData());
                }
            }
            QByteArrayList quoted, parameters;
            for (int i = 0; i < names.size(); ++i) {
                quoted << quotedName(names[i]);
                parameters << "?" + QByteArray::number(i + 1);
            }
            insert = std::make_unique<storedb::Statement>(db, "INSERT INTO " + quotedName(table) + " (" +
                                                                  quoted.join(", ") + ") VALUES (" +
                                                                  parameters.join(", ") + ")");
        },
        [&](const xmlrowset::Row &row) {
            insert->reset();
            if (placeColumn >= 0) {
                const qint64 place = backupcheck::recordRowOf(row[size_t(placeColumn)], places->records);
                if (place == 0 && places->skipWithout)
                    return;
                // A row of a record the backup does not hold keeps no record: its old row id
                // would name another record here.
                if (place > 0)
                    insert->bindInt64(recordIdParameter, (*places->newRowIds)[size_t(place - 1)]);
            }
            for (size_t i = 0; i < row.size(); ++i) {
                if (row[i] && parameterOf[i] > 0)
                    insert->bindText(parameterOf[i], *row[i]);
            }
            insert->next();
            if (insertedRowIds)
                insertedRowIds->push_back(sqlite3_last_insert_rowid(db));
        });
}

void buildFromXml(const BackupSummary &backup, const QString &temporary, const QByteArray &key)
{
    // The new database is made as the program makes every database (table, index), then
    // filled in one transaction.
    QFile::remove(temporary);
    PatientStore::create(temporary, key);
    sqlite3 *db = storedb::openKeyed(temporary, key);
    try {
        storedb::exec(db, "BEGIN IMMEDIATE");
        // Each record's new row id, in file order: the trail and the archive marks name their
        // record by its place in the file.
        std::vector<qint64> newRowIds;
        newRowIds.reserve(size_t(backup.records));
        loadRowset(db, backup.path, QStringLiteral("PatientsData"), &newRowIds);
        if (qint64(newRowIds.size()) != backup.records)
            throw Error(tr("读入的记录数与备份不符"));
        RecordPlaces places{&newRowIds, backup.records, false};
        if (!backup.trailPath.isEmpty())
            loadRowset(db, backup.trailPath, QString::fromLatin1(backupcheck::trailTable), nullptr, &places);
        if (!backup.archivePath.isEmpty()) {
            places.skipWithout = true;
            loadRowset(db, backup.archivePath, QString::fromLatin1(backupcheck::archiveTable), nullptr,
                       &places);
        }
        storedb::exec(db, "COMMIT");
        storedb::Statement count(db, "SELECT count(*) FROM PatientsData");
        count.next();
        if (count.int64(0) != backup.records)
            throw Error(tr("读入的记录数与备份不符"));
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        storedb::closeQuietly(db);
        throw;
    }
    if (sqlite3_close(db) != SQLITE_OK)
        throw Error(storedb::engineReason(db));
}

void buildFromEncrypted(const BackupSummary &backup, const QString &temporary, const QByteArray &key)
{
    // The copy is the backup byte for byte: every table, column and row comes back as it was.
    copyFileBytes(backup.path, temporary);
    if (backup.key != key)
        rekeyFile(temporary, backup.key, key);
    sqlite3 *db = storedb::openKeyed(temporary, key);
    try {
        storedb::Statement count(db, "SELECT count(*) FROM PatientsData");
        count.next();
        if (count.int64(0) != backup.records)
            throw Error(tr("复制后的记录数与备份不符"));
    } catch (...) {
        storedb::closeQuietly(db);
        throw;
    }
    storedb::closeQuietly(db);
}

} // namespace

QString backupsFolder(const QString &dataFolder)
{
    QString folder = dataFolder;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + QStringLiteral("backups/");
}

std::optional<BackupSummary> checkAsking(const QString &path, const QByteArray &databaseKey, Dialogs &dialogs)
{
    QList<QByteArray> keys{databaseKey};
    if (databaseKey != storedb::defaultKey())
        keys << storedb::defaultKey();
    constexpr int tries = 3;
    for (int attempt = 0;; ++attempt) {
        try {
            return backupcheck::check(path, keys);
        } catch (const storedb::WrongKey &) {
            if (attempt == tries)
                throw Error(tr("备份“%1”无法打开：口令三次不对，或者文件不是本程序的备份").arg(path));
        } catch (const Error &error) {
            throw Error(tr("备份“%1”不能用来恢复：%2").arg(path, error.message()));
        }
        const std::optional<QString> answer =
            dialogs.password(QStringLiteral("由文件恢复"), tr("请输入此备份的口令"));
        if (!answer)
            return std::nullopt;
        keys = {answer->toUtf8()};
    }
}

PreparedRestore::PreparedRestore(const QString &dataFolder, const BackupSummary &backup,
                                 const QByteArray &key)
    : m_folder(dataFolder.endsWith(QLatin1Char('/')) ? dataFolder : dataFolder + QLatin1Char('/'))
{
    try {
        m_temporary = reserveTemporary(m_folder);
        if (backup.kind == BackupSummary::Kind::Xml)
            buildFromXml(backup, m_temporary, key);
        else
            buildFromEncrypted(backup, m_temporary, key);
        syncFile(m_temporary);
    } catch (const Error &error) {
        if (!m_temporary.isEmpty()) {
            QFile::remove(m_temporary);
            QFile::remove(m_temporary + QStringLiteral("-journal"));
        }
        throw Error(tr("恢复失败：无法在 %1 中建立恢复的病历库：%2。当前病历库未改动")
                        .arg(QDir(m_folder).dirName() + QLatin1Char('/'), error.message()));
    }
}

PreparedRestore::~PreparedRestore()
{
    if (!m_committed && !m_temporary.isEmpty()) {
        QFile::remove(m_temporary);
        QFile::remove(m_temporary + QStringLiteral("-journal"));
    }
}

void PreparedRestore::commit(const QDateTime &now)
{
    const QString database = m_folder + QStringLiteral("Quillcase.dat");
    const QString backup = m_folder + compactionStamp(text::dateTimeText(now)) + QStringLiteral(".bak");
    const QString shownFolder = QDir(m_folder).dirName() + QLatin1Char('/');
    const QString shownBackup = shownFolder + QFileInfo(backup).fileName();
    const QByteArray databaseName = QFile::encodeName(database);
    const QByteArray backupName = QFile::encodeName(backup);
    const QByteArray temporaryName = QFile::encodeName(m_temporary);
    const auto unchanged = [&](const QString &reason) {
        return Error(tr("恢复失败：%1。当前病历库未改动").arg(reason));
    };
    // A journal left beside the database belongs to the old file; the new one must not meet it.
    if (QFileInfo::exists(database + QStringLiteral("-journal")))
        throw unchanged(tr("病历库旁有未完成的日志文件 Quillcase.dat-journal，请先正常启动并关闭程序一次"));
    if (!QFileInfo::exists(database))
        throw unchanged(tr("当前病历库 %1Quillcase.dat 不存在").arg(shownFolder));

    // The old database gets its .bak name as a second name first, so that the rename that
    // follows swaps the database in one step and the name never stands empty.
    if (::link(databaseName.constData(), backupName.constData()) == 0) {
        if (::rename(temporaryName.constData(), databaseName.constData()) != 0) {
            const int error = errno;
            ::unlink(backupName.constData());
            throw unchanged(tr("无法放入恢复的病历库：%1").arg(storedb::systemReason(error)));
        }
    } else if (errno == EPERM || errno == EOPNOTSUPP || errno == EMLINK) {
        // A file system without hard links: the two files trade names in one step, then the
        // old one moves on to its .bak name.
        if (::renameat2(AT_FDCWD, temporaryName.constData(), AT_FDCWD, databaseName.constData(),
                        RENAME_EXCHANGE) != 0)
            throw unchanged(tr("无法放入恢复的病历库：%1").arg(storedb::systemReason(errno)));
        m_committed = true;
        if (const int error = storedb::renameNoReplace(m_temporary, backup)) {
            storedb::syncFolder(m_folder);
            throw Error(tr("恢复已完成，但原病历库无法改名为 %1：%2；它现在是 %3")
                            .arg(shownBackup, storedb::systemReason(error),
                                 shownFolder + QFileInfo(m_temporary).fileName()));
        }
    } else {
        throw unchanged(tr("无法保留当前病历库为 %1：%2").arg(shownBackup, storedb::systemReason(errno)));
    }
    m_committed = true;
    storedb::syncFolder(m_folder);
}

} // namespace restore
