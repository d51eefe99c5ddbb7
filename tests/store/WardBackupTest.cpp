// Backups of the ward's server in the desktop's two formats, restore into the server and
// VACUUM, for the ward's administrators only.
#include "TestServer.h"

#include "records/BackupCheck.h"
#include "records/ColumnTable.h"
#include "records/PatientStore.h"
#include "records/PatientStoreDb.h"
#include "records/Restore.h"
#include "text/Error.h"
#include "ward/WardImport.h"
#include "ward/WardStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using servertest::WardDatabase;

namespace {

int column(const char *name)
{
    return columns::indexOf(QString::fromUtf8(name));
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing: " + path.toUtf8());
}

// Every record of a store by row id, with its archive flag in front.
std::map<qint64, QStringList> contentOf(PatientStoreInterface &store)
{
    std::map<qint64, QStringList> content;
    for (const ListRow &row : store.loadList())
        content[row.rowId] =
            QStringList{store.isArchived(row.rowId) ? "archived" : "open"} + store.loadRecord(row.rowId);
    return content;
}

// The same in list order, without the row ids (an XML backup holds none).
std::vector<QStringList> rowsOf(const std::map<qint64, QStringList> &content)
{
    std::vector<QStringList> rows;
    for (const auto &[id, values] : content)
        rows.push_back(values);
    return rows;
}

qint64 count(PGconn *connection, const char *from)
{
    return pg::int64(pg::exec(connection, QByteArray("SELECT count(*) FROM ") + from).get(), 0, 0);
}

class WardBackupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QC_REQUIRE_SERVER();
        m_data = m_dir.filePath(QStringLiteral("data/"));
        QDir().mkpath(m_data);
        m_ward = std::make_unique<WardDatabase>();
        m_admin = m_ward->addDoctor(QStringLiteral("赵主任"), true);
        m_doctor = m_ward->addDoctor(QStringLiteral("王医生"));
    }

    std::unique_ptr<WardStore> open(const QString &role) const
    {
        return WardStore::open(m_ward->connectionString(role), storeColumnList());
    }

    // A desktop file with a gap in its row ids, an archived record sharing its bed with an
    // open one, text that is not plain, and a known trail; imported into the ward.
    QString fileImportedIntoTheWard()
    {
        const QString path = m_dir.filePath(QStringLiteral("desk.dat"));
        PatientStore::create(path);
        {
            auto file = PatientStore::open(path);
            QHash<int, QString> full;
            for (int c = 0; c < int(columns::all().size()); ++c)
                full.insert(c, QStringLiteral("值%1 <&\"'>\r\n\t'); DROP TABLE x; --").arg(c));
            full[column("Bed")] = QStringLiteral("1");
            file->insertRecord(full, {QStringLiteral("本机医生"), QDateTime(QDate(2024, 3, 1), QTime(8, 0))});
            const qint64 gone = file->insertRecord({{column("Bed"), QStringLiteral("9")}});
            file->insertRecord(
                {{column("Bed"), QStringLiteral("2")}, {column("Name"), QStringLiteral("出院者")}});
            file->setArchived(3, true,
                              {QStringLiteral("本机医生"), QDateTime(QDate(2024, 4, 1), QTime(10, 0))});
            file->insertRecord(
                {{column("Bed"), QStringLiteral("2")}, {column("Name"), QStringLiteral("新病人")}});
            sqlite3 *db = file->connectionForCopy();
            storedb::Statement remove(db, "DELETE FROM PatientsData WHERE rowid = ?1");
            remove.bindInt64(1, gone);
            remove.next();
        }
        wardimport::importFile(m_ward->superuser().get(), path);
        return path;
    }

    QTemporaryDir m_dir;
    QString m_data;
    std::unique_ptr<WardDatabase> m_ward;
    QString m_admin;
    QString m_doctor;
};

TEST_F(WardBackupTest, BackupsOfTheServerAreTheFilesTheDesktopWouldWrite)
{
    const QString desk = fileImportedIntoTheWard();
    auto server = open(m_doctor);

    // The ward holds exactly what the file held: the XML backups agree byte for byte.
    const QString fromFile = m_dir.filePath(QStringLiteral("file.xml"));
    const QString fromServer = m_dir.filePath(QStringLiteral("server.XML"));
    PatientStore::open(desk)->backup(fromFile);
    server->backup(fromServer);
    for (const auto &[a, b] :
         {std::pair{fromFile, fromServer},
          {PatientStore::historyBackupPath(fromFile), PatientStore::historyBackupPath(fromServer)},
          {PatientStore::archiveBackupPath(fromFile), PatientStore::archiveBackupPath(fromServer)}}) {
        EXPECT_EQ(bytesOf(a), bytesOf(b)) << b.toStdString();
        EXPECT_EQ(QFile::permissions(b) & 0077, 0) << b.toStdString();
    }

    // Changes made on the server come with their trail, under the server's role and time.
    server->loadRecord(4);
    server->updateRecord(4, {{column("Name"), QStringLiteral("改过的名字")}});
    server->archiveRecord(1);
    const QString copy = m_dir.filePath(QStringLiteral("ward.dat"));
    server->backup(copy);
    server->backup(fromServer);
    for (const QString &path : {copy, fromServer}) {
        const BackupSummary summary = backupcheck::check(path, {storedb::defaultKey()});
        EXPECT_EQ(summary.records, 3) << path.toStdString();
        EXPECT_EQ(summary.archivedRecords, 2) << path.toStdString();
        EXPECT_GT(summary.trailRows, 0) << path.toStdString();
    }
    EXPECT_EQ(QFile::permissions(copy) & 0077, 0);

    // The encrypted copy is a desktop database: same row ids, values, marks and trail.
    auto file = PatientStore::open(copy);
    EXPECT_EQ(contentOf(*file), contentOf(*server));
    EXPECT_EQ(file->history(4), server->history(4));
    EXPECT_EQ(file->history(4).front().operatorName, m_doctor);
    EXPECT_EQ(file->history(4).front().newText, QStringLiteral("改过的名字"));
    file.reset();
    QProcess verify;
    verify.start(QStringLiteral(QC_BINARY_DIR "/quillcase-initdb"), {QStringLiteral("--verify"), copy});
    ASSERT_TRUE(verify.waitForFinished(60000));
    EXPECT_EQ(verify.exitCode(), 0) << verify.readAllStandardError().toStdString();

    // A backup that cannot be written leaves nothing behind, not even the snapshot.
    try {
        server->backup(m_dir.filePath(QStringLiteral("no/such/folder/b.dat")));
        ADD_FAILURE() << "backup into a missing folder";
    } catch (const Error &error) {
        EXPECT_TRUE(error.message().startsWith(QStringLiteral("无法备份到")))
            << error.message().toStdString();
    }
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("snapshot")),
              QStringList());
}

TEST_F(WardBackupTest, RestoreMakesTheWardTheBackupAndKeepsTheTrail)
{
    fileImportedIntoTheWard();
    auto admin = open(m_admin);
    const QString xml = m_dir.filePath(QStringLiteral("before.xml"));
    const QString copy = m_dir.filePath(QStringLiteral("before.dat"));
    admin->backup(xml);
    admin->backup(copy);
    const auto expected = contentOf(*admin);

    int minute = 0;
    for (const QString &backup : {copy, xml}) {
        SCOPED_TRACE(backup.toStdString());
        // The ward moves on after the backup: two records trade beds, one is added, one unarchived.
        auto doctor = open(m_doctor);
        doctor->loadRecord(1);
        doctor->updateRecord(1, {{column("Bed"), QStringLiteral("8")}});
        doctor->loadRecord(4);
        doctor->updateRecord(
            4, {{column("Name"), QStringLiteral("之后改的")}, {column("Bed"), QStringLiteral("1")}});
        doctor->insertRecord({{column("Bed"), QStringLiteral("30")}});
        admin->setArchived(3, false);
        pg::Connection raw = m_ward->superuser();
        const qint64 trailBefore = count(raw.get(), "\"PatientsHistory\"");

        const QString kept = admin->restore(backupcheck::check(backup, {storedb::defaultKey()}), m_data,
                                            QDateTime(QDate(2025, 1, 2), QTime(3, ++minute, 5)));
        EXPECT_EQ(rowsOf(contentOf(*admin)), rowsOf(expected));
        if (backup == copy)
            EXPECT_EQ(contentOf(*admin), expected);
        // The trail only grows: the restore's own changes are written under the administrator.
        EXPECT_GT(count(raw.get(), "\"PatientsHistory\""), trailBefore);
        const qint64 open = *admin->findBed(QStringLiteral("2"));
        EXPECT_EQ(admin->history(open).front().operatorName, m_admin);
        EXPECT_EQ(admin->loadRecord(open).at(column("Name")), QStringLiteral("新病人"));
        // The ward as it was is kept in data/backups/.
        EXPECT_TRUE(kept.startsWith(restore::backupsFolder(m_data)));
        EXPECT_EQ(backupcheck::check(kept, {storedb::defaultKey()}).records, 4);
    }
    // A removed record's id is never given again: its trail stays with it.
    EXPECT_GT(open(m_doctor)->insertRecord({{column("Bed"), QStringLiteral("31")}}), 6);

    // Into an empty ward the backup brings its trail as it is.
    WardDatabase empty;
    const QString role = empty.addDoctor(QStringLiteral("新主任"), true);
    auto fresh = WardStore::open(empty.connectionString(role), storeColumnList());
    fresh->restore(backupcheck::check(copy, {storedb::defaultKey()}), m_data, QDateTime::currentDateTime());
    EXPECT_EQ(contentOf(*fresh), expected);
    EXPECT_EQ(fresh->history(4), PatientStore::open(copy)->history(4));
    EXPECT_FALSE(fresh->history(4).empty());
}

TEST_F(WardBackupTest, RestoreByADoctorOrAFailedOneChangesNothing)
{
    fileImportedIntoTheWard();
    auto admin = open(m_admin);
    const QString good = m_dir.filePath(QStringLiteral("good.dat"));
    admin->backup(good);
    admin->loadRecord(4);
    admin->updateRecord(4, {{column("Name"), QStringLiteral("现在的")}});
    const auto before = contentOf(*admin);
    pg::Connection raw = m_ward->superuser();
    const qint64 trailBefore = count(raw.get(), "\"PatientsHistory\"");

    // A doctor is refused before anything is written, the safety copy included.
    try {
        open(m_doctor)->restore(backupcheck::check(good, {storedb::defaultKey()}), m_data,
                                QDateTime::currentDateTime());
        ADD_FAILURE() << "a doctor restored";
    } catch (const Error &error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("不是病区管理员")))
            << error.message().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(restore::backupsFolder(m_data)));

    // A backup with two open records for one bed fails at the end and is rolled back whole.
    const QString twoBeds = m_dir.filePath(QStringLiteral("two.dat"));
    PatientStore::create(twoBeds);
    {
        auto file = PatientStore::open(twoBeds);
        file->insertRecord({{column("Bed"), QStringLiteral("5")}});
        file->insertRecord({{column("Bed"), QStringLiteral("5")}});
    }
    try {
        admin->restore(backupcheck::check(twoBeds, {storedb::defaultKey()}), m_data,
                       QDateTime::currentDateTime());
        ADD_FAILURE() << "restored two open records of one bed";
    } catch (const Error &error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("未改动"))) << error.message().toStdString();
    }
    EXPECT_EQ(contentOf(*admin), before);
    EXPECT_EQ(count(raw.get(), "\"PatientsHistory\""), trailBefore);
    // The one-open-record-per-bed rule is still there.
    EXPECT_THROW(admin->insertRecord({{column("Bed"), QStringLiteral("2")}}), Error);
    // Nothing of the failed restore is left in the data folder.
    EXPECT_EQ(QDir(m_data).entryList(QDir::Files | QDir::Hidden), QStringList());

    // A restore that only removes a record is heard by the other desktops all the same.
    const QString now = m_dir.filePath(QStringLiteral("now.dat"));
    admin->backup(now);
    auto listener = open(m_doctor);
    listener->insertRecord({{column("Bed"), QStringLiteral("40")}});
    admin->restore(backupcheck::check(now, {storedb::defaultKey()}), m_data, QDateTime::currentDateTime());
    std::vector<qint64> heard;
    for (int wait = 0; wait < 100 && heard.empty(); ++wait) {
        heard = listener->takeChangedRecords();
        if (heard.empty())
            QThread::msleep(20);
    }
    EXPECT_FALSE(heard.empty());
    EXPECT_EQ(contentOf(*admin), before);
}

TEST_F(WardBackupTest, VacuumIsForAdministratorsAndASkippedTableIsNoSuccess)
{
    pg::Connection raw = m_ward->superuser();
    const auto vacuumed = [&raw] {
        return count(raw.get(), "pg_stat_user_tables WHERE last_vacuum IS NOT NULL AND last_analyze IS NOT "
                                "NULL AND relname IN ('PatientsData', 'PatientsHistory')");
    };
    EXPECT_THROW(open(m_doctor)->vacuum(), Error);
    EXPECT_EQ(vacuumed(), 0);
    open(m_admin)->vacuum();
    EXPECT_EQ(vacuumed(), 2);

    // A ward set up before its tables belonged to the administrators: the server skips them,
    // and that is reported, until init is run again.
    pg::exec(raw.get(), "ALTER TABLE \"PatientsHistory\" OWNER TO CURRENT_USER");
    try {
        open(m_admin)->vacuum();
        ADD_FAILURE() << "a skipped table reported as success";
    } catch (const Error &error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("quillcase-ward init")))
            << error.message().toStdString();
    }
    serversetup::initialise(raw.get(), storeColumnList());
    EXPECT_NO_THROW(open(m_admin)->vacuum());
}

} // namespace
