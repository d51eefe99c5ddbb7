#include "RestoreSupport.h"

#include "records/BackupCheck.h"
#include "records/Restore.h"
#include "records/ScriptedDialogs.h"

using namespace storetest;
using namespace restoretest;

namespace {

const QDateTime restoreMoment(QDate(2026, 1, 2), QTime(3, 4, 5));

// Rows of a query as text lists, NULL as "<null>".
std::vector<QStringList> queryRows(const QString &path, const char *sql)
{
    return restoretest::queryRows(path, sql, storedb::defaultKey(), QStringLiteral("<null>"));
}

// Rows as lines of text "a | b | c", readable when a comparison fails.
std::vector<std::string> lines(const std::vector<QStringList> &rows)
{
    std::vector<std::string> result;
    for (const QStringList &row : rows)
        result.push_back(row.join(QStringLiteral(" | "))
                             .replace(QLatin1Char('\r'), QStringLiteral("\\r"))
                             .replace(QLatin1Char('\n'), QStringLiteral("\\n"))
                             .toStdString());
    return result;
}

// Every trail row with the record it belongs to, named by the record's bed and name (a row
// whose record is not there names none), in the order written. The XML backup keeps no
// difference between an empty text and none.
std::vector<std::string> trailByRecord(const QString &path)
{
    return lines(
        queryRows(path, "SELECT CASE WHEN d.rowid IS NULL THEN '(none)' ELSE coalesce(d.Bed, '') || ' ' || "
                        "coalesce(d.Name, '') END, coalesce(h.Bed, ''), coalesce(h.ColumnName, ''), "
                        "coalesce(h.OldText, ''), coalesce(h.NewText, ''), coalesce(h.Operator, ''), "
                        "coalesce(h.ChangedAt, '') FROM PatientsHistory h "
                        "LEFT JOIN PatientsData d ON d.rowid = h.RecordId ORDER BY h.rowid"));
}

// The archived records by bed and name, with the mark's time and operator.
std::vector<std::string> archivedByRecord(const QString &path)
{
    return lines(
        queryRows(path, "SELECT d.Bed, coalesce(d.Name, ''), a.ArchivedAt, a.Operator FROM PatientsArchive a "
                        "LEFT JOIN PatientsData d ON d.rowid = a.RecordId ORDER BY d.Bed"));
}

class RestoreTest : public ::testing::Test
{
protected:
    QTemporaryDir m_dir;
    QString folder() const { return m_dir.path() + QStringLiteral("/data/"); }
    QString database() const { return folder() + QStringLiteral("Quillcase.dat"); }
    QString path(const char *name) const { return m_dir.path() + QLatin1Char('/') + QString::fromUtf8(name); }

    void SetUp() override
    {
        QDir().mkpath(folder());
        PatientStore::create(database());
        auto store = PatientStore::open(database());
        store->insertRecord(fullRecord(QStringLiteral("1")));
        store->insertRecord(fullRecord(QStringLiteral("12")));
        store->insertRecord(record({{"Bed", "3"}, {"DoA", "2025-12-30 08:00:00"}}));
    }

    // Adds a column beyond the 79, as a later version of the database may hold, and a trail of
    // two known rows.
    void addExtrasAndTrail()
    {
        execKeyed(database(),
                  "ALTER TABLE PatientsData ADD COLUMN Extra TEXT;"
                  "UPDATE PatientsData SET Extra = '多出的字段' || rowid;"
                  "DELETE FROM PatientsHistory;" // two known rows instead of the fixture's own
                  "INSERT INTO PatientsHistory VALUES (1, '1', 'Name', '旧', '新', '王医生', '2025-01-01 "
                  "10:00:00');"
                  "INSERT INTO PatientsHistory VALUES (2, '12', 'DoA', '', '2024-5-3', '李医生', '2025-01-02 "
                  "11:00:00');");
    }

    // Changes the database after the backup, so that a restore has something to undo.
    void changeAfterBackup()
    {
        auto store = PatientStore::open(database());
        store->updateRecord(1, record({{"Name", "备份后改的"}}));
        store->insertRecord(record({{"Bed", "99"}}));
    }

    void restoreFrom(const QString &backup, const QByteArray &key = storedb::defaultKey())
    {
        const BackupSummary summary = backupcheck::check(backup, {key});
        restore::PreparedRestore prepared(folder(), summary, key);
        prepared.commit(restoreMoment);
    }
};

TEST_F(RestoreTest, EncryptedRoundTripBringsBackEveryColumnExtraColumnAndTrail)
{
    addExtrasAndTrail();
    const auto before = tableRows(database(), "PatientsData");
    const auto trailBefore = tableRows(database(), "PatientsHistory");
    PatientStore::open(database())->backupEncrypted(path("backup.dat"));
    changeAfterBackup();
    const auto changed = tableRows(database(), "PatientsData");

    const BackupSummary summary = backupcheck::check(path("backup.dat"), {storedb::defaultKey()});
    EXPECT_EQ(summary.kind, BackupSummary::Kind::Encrypted);
    EXPECT_EQ(summary.records, 3);
    EXPECT_EQ(summary.trailRows, 2);
    EXPECT_EQ(summary.extraColumns, QStringList{"Extra"});
    EXPECT_EQ(summary.newestAdmission, "2025-12-30 08:00:00");
    EXPECT_TRUE(backupcheck::restoreQuestion(summary).startsWith("用此备份替换当前病历库？"));
    EXPECT_TRUE(backupcheck::restoreQuestion(summary).contains("病历数：3"));

    restoreFrom(path("backup.dat"));
    EXPECT_EQ(tableRows(database(), "PatientsData"), before);
    EXPECT_EQ(tableRows(database(), "PatientsHistory"), trailBefore);
    // The database as it was before the restore is kept under the compaction's name.
    const QString kept = folder() + "20260102030405.bak";
    EXPECT_EQ(tableRows(kept, "PatientsData"), changed);
    EXPECT_EQ(permissions(database()), 0600);
    EXPECT_EQ(entries(folder()), (QStringList{"20260102030405.bak", "Quillcase.dat"}));
    EXPECT_NO_THROW(PatientStore::open(database()));
}

TEST_F(RestoreTest, XmlRoundTripWithAndWithoutTrailFile)
{
    addExtrasAndTrail();
    auto valuesOf = [this] {
        std::vector<QStringList> rows;
        auto store = PatientStore::open(database());
        for (const ListRow &row : store->loadList())
            rows.push_back(store->loadRecord(row.rowId));
        return rows;
    };
    const auto before = valuesOf();
    const auto extraBefore = tableRows(database(), "PatientsData");
    PatientStore::open(database())->backupXml(path("backup.xml"));
    // The trail file in the same layout, as the XML backup writes it beside its file.
    writeBytes(
        path("backup.history.xml"),
        "<?xml version='1.0' encoding='UTF-8'?>\n"
        "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' "
        "xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'"
        " xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'>\n"
        "<s:Schema id='RowsetSchema'><s:ElementType name='row' content='eltOnly'>"
        "<s:AttributeType name='RecordId' rs:number='1'/><s:AttributeType name='ColumnName' rs:number='2'/>"
        "<s:AttributeType name='c2' rs:name='OldText' rs:number='3'/>"
        "</s:ElementType></s:Schema>\n<rs:data>\n"
        "\t<z:row RecordId='1' ColumnName='Name' c2='旧&#xA;文'/>\n\t<z:row RecordId='2' ColumnName='DoA'/>\n"
        "</rs:data>\n</xml>\n");
    changeAfterBackup();

    const BackupSummary summary = backupcheck::check(path("backup.xml"), {});
    EXPECT_EQ(summary.kind, BackupSummary::Kind::Xml);
    EXPECT_EQ(summary.records, 3);
    EXPECT_EQ(summary.trailRows, 2);
    EXPECT_EQ(summary.extraColumns, QStringList{"Extra"});
    restoreFrom(path("backup.xml"));
    EXPECT_EQ(valuesOf(), before);
    // The extra column survives with its values.
    const auto rows = tableRows(database(), "PatientsData");
    ASSERT_EQ(rows.size(), extraBefore.size());
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].last(), extraBefore[i].last());
    // The trail comes back from its own file, under the column names its schema gives.
    EXPECT_EQ(tableRows(database(), "PatientsHistory"),
              (std::vector<QStringList>{{"1", "", "Name", "旧\n文", "", "", ""},
                                        {"2", "", "DoA", "", "", "", ""}}));

    // Without the trail file the records alone come back, with an empty trail.
    QFile::remove(path("backup.history.xml"));
    const BackupSummary alone = backupcheck::check(path("backup.xml"), {});
    EXPECT_EQ(alone.trailRows, -1);
    restore::PreparedRestore prepared(folder(), alone, storedb::defaultKey());
    prepared.commit(restoreMoment.addSecs(1));
    EXPECT_EQ(valuesOf(), before);
    EXPECT_TRUE(tableRows(database(), "PatientsHistory").empty());
}

TEST_F(RestoreTest, XmlTrailFileWithSomeColumnsFillsThoseColumns)
{
    PatientStore::open(database())->backupXml(path("b.xml"));
    writeBytes(
        path("b.history.xml"),
        "<?xml version='1.0'?><xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'"
        " xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'><s:Schema id='RowsetSchema'>"
        "<s:ElementType name='row'><s:AttributeType name='RecordId'/><s:AttributeType name='NewText'/>"
        "</s:ElementType></s:Schema><rs:data><z:row RecordId='3' NewText='新'/></rs:data></xml>");
    restoreFrom(path("b.xml"));
    EXPECT_EQ(tableRows(database(), "PatientsHistory"),
              (std::vector<QStringList>{{"3", "", "", "", "新", "", ""}}));
}

TEST_F(RestoreTest, XmlRoundTripKeepsTrailAndArchiveWithTheirRecordsAcrossAGap)
{
    {
        auto store = PatientStore::open(database());
        store->updateRecord(3, record({{"Name", "第三位"}}));
        store->insertRecord(record({{"Bed", "4"}, {"Name", "第四位"}}));
        store->setArchived(3, true);
    }
    // The record in the middle is gone (a database changed by other means), its trail rows
    // stay: the records have the row ids 1, 3 and 4, and come back as 1, 2 and 3.
    execKeyed(database(), "DELETE FROM PatientsData WHERE rowid = 2");
    const auto trailBefore = trailByRecord(database());
    const auto archivedBefore = archivedByRecord(database());
    ASSERT_EQ(archivedBefore.size(), 1u);
    EXPECT_EQ(archivedBefore[0].rfind("3 | 第三位 | ", 0), 0u);
    ASSERT_TRUE(std::any_of(trailBefore.begin(), trailBefore.end(),
                            [](const std::string &row) { return row.rfind("(none) | 12 |", 0) == 0; }));
    PatientStore::open(database())->backupXml(path("gap.xml"));
    EXPECT_EQ(permissions(path("gap.archive.xml")), 0600);
    changeAfterBackup();

    const BackupSummary summary = backupcheck::check(path("gap.xml"), {});
    EXPECT_EQ(summary.records, 3);
    EXPECT_EQ(summary.trailRows, qint64(trailBefore.size()));
    EXPECT_EQ(summary.archivedRecords, 1);
    EXPECT_TRUE(backupcheck::restoreQuestion(summary).contains("已归档病历：1 份"));
    restoreFrom(path("gap.xml"));

    // Every trail row belongs to the same record as before; the rows of the record that was
    // gone belong to none (their old row id now names another record).
    EXPECT_EQ(trailByRecord(database()), trailBefore);
    EXPECT_EQ(archivedByRecord(database()), archivedBefore);
    // The place column is not kept.
    EXPECT_EQ(queryRows(database(), "PRAGMA table_info(PatientsHistory)").size(), 7u);
    auto store = PatientStore::open(database());
    EXPECT_TRUE(store->isArchived(2));
    EXPECT_FALSE(store->isArchived(3));
    EXPECT_FALSE(store->findBed("3")); // archived: its bed is free
    EXPECT_EQ(store->findBed("4"), 3);
    EXPECT_EQ(store->history(2).front().columnName, "Archived");
}

TEST_F(RestoreTest, XmlTrailOrArchivePlacesOutsideTheRecordsAreRefused)
{
    PatientStore::open(database())->backupXml(path("b.xml"));
    const QByteArray head = "<?xml version='1.0'?><xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'"
                            " xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'>"
                            "<s:Schema id='RowsetSchema'><s:ElementType name='row'>";
    const auto rowset = [&](const QByteArray &columns, const QByteArray &rows) {
        QByteArray schema;
        for (const QByteArray &name : columns.split(' '))
            schema += "<s:AttributeType name='" + name + "'/>";
        return head + schema + "</s:ElementType></s:Schema><rs:data>" + rows + "</rs:data></xml>";
    };
    const QByteArray trail = fileBytes(path("b.history.xml"));
    const QByteArray archive = fileBytes(path("b.archive.xml"));
    const struct
    {
        const char *file;
        QByteArray bytes;
        const char *says;
    } cases[] = {
        {"b.history.xml", rowset("RecordId RecordRow", "<z:row RecordId='1' RecordRow='4'/>"), "RecordRow"},
        {"b.history.xml", rowset("RecordId RecordRow", "<z:row RecordRow='0'/>"), "RecordRow"},
        {"b.history.xml", rowset("RecordRow NewText", "<z:row RecordRow='第一'/>"), "RecordRow"},
        {"b.archive.xml", rowset("RecordRow ArchivedAt", "<z:row RecordRow='2'/><z:row RecordRow='2'/>"),
         "重复"},
        {"b.archive.xml", rowset("RecordId ArchivedAt", "<z:row RecordId='2'/>"), "RecordRow"},
    };
    const QByteArray current = fileBytes(database());
    for (const auto &c : cases) {
        SCOPED_TRACE(c.bytes.toStdString());
        writeBytes(path("b.history.xml"), trail);
        writeBytes(path("b.archive.xml"), archive);
        writeBytes(path(c.file), c.bytes);
        try {
            backupcheck::check(path("b.xml"), {});
            ADD_FAILURE() << "accepted";
        } catch (const Error &error) {
            EXPECT_TRUE(error.message().contains(c.file)) << error.message().toStdString();
            EXPECT_TRUE(error.message().contains(QString::fromUtf8(c.says))) << error.message().toStdString();
        }
    }
    EXPECT_EQ(fileBytes(database()), current);
    // A mark or trail row without a place names no record of the backup and is no fault.
    writeBytes(path("b.history.xml"),
               rowset("RecordId RecordRow NewText", "<z:row RecordId='7' NewText='旧'/>"));
    writeBytes(path("b.archive.xml"), rowset("RecordRow ArchivedAt", "<z:row ArchivedAt='x'/>"));
    const BackupSummary summary = backupcheck::check(path("b.xml"), {});
    EXPECT_EQ(summary.trailRows, 1);
    EXPECT_EQ(summary.archivedRecords, 0);
    restoreFrom(path("b.xml"));
    EXPECT_EQ(queryRows(database(), "SELECT RecordId, NewText FROM PatientsHistory"),
              (std::vector<QStringList>{{"<null>", "旧"}}));
    EXPECT_TRUE(queryRows(database(), "SELECT * FROM PatientsArchive").empty());
}

TEST_F(RestoreTest, RefusedBackupsChangeNothing)
{
    PatientStore::open(database())->backupEncrypted(path("good.dat"));
    PatientStore::open(database())->backupXml(path("good.xml"));
    const QByteArray good = fileBytes(path("good.dat"));
    const QByteArray goodXml = fileBytes(path("good.xml"));
    // A database of another layout, encrypted with the same password.
    PatientStore::create(path("other.dat"));
    execKeyed(path("other.dat"), "DROP TABLE PatientsData; CREATE TABLE PatientsData (Bed TEXT, Name TEXT)");
    PatientStore::create(path("notable.dat"));
    execKeyed(path("notable.dat"), "DROP TABLE PatientsData; CREATE TABLE Other (a)");
    // A page in the middle overwritten.
    QByteArray damaged = good;
    for (qsizetype i = 2048; i < 3072 && i < damaged.size(); ++i)
        damaged[i] = char(i * 7);
    writeBytes(path("damaged.dat"), damaged);
    writeBytes(path("truncated.dat"), good.left(good.size() - 1024));
    writeBytes(path("garbage.dat"), QByteArray(4096, 'x'));
    writeBytes(path("empty.dat"), {});
    writeBytes(path("truncated.xml"), goodXml.left(goodXml.size() / 2));
    writeBytes(path("foreign.xml"), "<?xml version='1.0'?><root><a/></root>");
    writeBytes(path("broken.xml"), "<?xml version='1.0'?><xml><rs:data></xml>");
    sqlite3 *plain = nullptr;
    sqlite3_open(QFile::encodeName(path("plain.dat")).constData(), &plain);
    sqlite3_exec(plain, "CREATE TABLE PatientsData (Bed TEXT)", nullptr, nullptr, nullptr);
    sqlite3_close(plain);

    const QByteArray current = fileBytes(database());
    const struct
    {
        const char *file;
        const char *says;
    } cases[] = {
        {"other.dat", "缺少字段"},   {"notable.dat", "PatientsData"}, {"damaged.dat", ""},
        {"truncated.dat", ""},       {"garbage.dat", "口令"},         {"empty.dat", "空"},
        {"truncated.xml", "不完整"}, {"foreign.xml", "rs:data"},      {"broken.xml", "XML"},
        {"plain.dat", "未加密"},     {"missing.dat", "不存在"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        ScriptedDialogs dialogs;
        dialogs.passwordAnswers = {QString("错的"), QString("也错"), QString("还是错")};
        try {
            restore::checkAsking(path(c.file), storedb::defaultKey(), dialogs);
            ADD_FAILURE() << "accepted";
        } catch (const Error &error) {
            EXPECT_TRUE(error.message().contains(QString::fromUtf8(c.says))) << error.message().toStdString();
            EXPECT_TRUE(error.message().contains(path(c.file)));
        }
        EXPECT_EQ(fileBytes(database()), current);
        EXPECT_EQ(entries(folder()), QStringList{"Quillcase.dat"});
    }
    EXPECT_EQ(fileBytes(path("good.dat")), good);
}

TEST_F(RestoreTest, BackupUnderAnotherPassphraseIsAskedForAndRestoredUnderTheDatabaseKey)
{
    PatientStore::open(database())->backupEncrypted(path("other-key.dat"));
    {
        sqlite3 *db = storedb::openKeyed(path("other-key.dat"));
        ASSERT_EQ(sqlite3_rekey(db, "备份口令", int(strlen("备份口令"))), SQLITE_OK);
        sqlite3_close(db);
    }
    changeAfterBackup();
    {
        // Cancel stops without a message.
        ScriptedDialogs dialogs;
        EXPECT_FALSE(restore::checkAsking(path("other-key.dat"), storedb::defaultKey(), dialogs));
        EXPECT_EQ(dialogs.passwordPrompts.size(), 1);
    }
    ScriptedDialogs dialogs;
    dialogs.passwordAnswers = {QString("不对"), QString("备份口令")};
    const auto summary = restore::checkAsking(path("other-key.dat"), "数据库口令", dialogs);
    ASSERT_TRUE(summary);
    EXPECT_EQ(dialogs.passwordPrompts.size(), 2);
    EXPECT_EQ(summary->records, 3);
    // The database (here under its own passphrase) keeps its key after the restore.
    PatientStore::open(database())->rekey("数据库口令");
    restore::PreparedRestore prepared(folder(), *summary, "数据库口令");
    prepared.commit(restoreMoment);
    EXPECT_EQ(PatientStore::open(database(), "数据库口令")->recordCount(), 3);
    EXPECT_THROW(PatientStore::open(database()), storedb::WrongKey);
}

TEST_F(RestoreTest, FailedCommitLeavesTheDatabaseAndNoTemporary)
{
    PatientStore::open(database())->backupEncrypted(path("b.dat"));
    const QByteArray current = fileBytes(database());
    const BackupSummary summary = backupcheck::check(path("b.dat"), {storedb::defaultKey()});
    {
        restore::PreparedRestore prepared(folder(), summary, storedb::defaultKey());
        // The .bak name is taken by a folder: the old database cannot be kept, so nothing changes.
        QDir().mkpath(folder() + "20260102030405.bak");
        EXPECT_THROW(prepared.commit(restoreMoment), Error);
        EXPECT_EQ(fileBytes(database()), current);
    }
    EXPECT_EQ(entries(folder()), (QStringList{"20260102030405.bak", "Quillcase.dat"}));
}

TEST_F(RestoreTest, FullDiskDuringRestoreLeavesTheDatabase)
{
    SmallDisk disk("600k");
    if (!disk.mounted)
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    // A backup large enough not to fit twice on the small disk.
    {
        auto store = PatientStore::open(database());
        for (int i = 0; i < 250; ++i)
            store->insertRecord(fullRecord(QString::number(100 + i)));
        store->backupEncrypted(path("big.dat"));
    }
    const QString smallData = disk.path("data/");
    QDir().mkpath(smallData);
    PatientStore::create(smallData + "Quillcase.dat");
    PatientStore::open(smallData + "Quillcase.dat")->insertRecord(record({{"Bed", "1"}}));
    const QByteArray current = fileBytes(smallData + "Quillcase.dat");
    const BackupSummary summary = backupcheck::check(path("big.dat"), {storedb::defaultKey()});
    ASSERT_GT(QFileInfo(path("big.dat")).size(), 600 * 1024);
    try {
        restore::PreparedRestore prepared(smallData, summary, storedb::defaultKey());
        FAIL() << "restored onto a full disk";
    } catch (const Error &error) {
        EXPECT_TRUE(error.message().contains("磁盘空间不足")) << error.message().toStdString();
        EXPECT_TRUE(error.message().contains("当前病历库未改动"));
    }
    EXPECT_EQ(fileBytes(smallData + "Quillcase.dat"), current);
    EXPECT_EQ(entries(smallData), QStringList{"Quillcase.dat"});
}

TEST_F(RestoreTest, KilledRestoreLeavesADatabaseThatOpens)
{
    {
        auto store = PatientStore::open(database());
        for (int i = 0; i < 300; ++i)
            store->insertRecord(fullRecord(QString::number(100 + i)));
        store->backupXml(path("b.xml"));
        store->backupEncrypted(path("b.dat"));
    }
    const char *backups[] = {"b.xml", "b.dat"};
    int interrupted = 0;
    for (const char *name : backups) {
        for (int delay : {2000, 10000, 30000, 80000, 200000}) {
            SCOPED_TRACE(std::string(name) + " after " + std::to_string(delay) + " µs");
            const QString backup = path(name);
            const QString data = folder();
            interrupted += killDuring(
                [&] {
                    const BackupSummary summary = backupcheck::check(backup, {storedb::defaultKey()});
                    restore::PreparedRestore prepared(data, summary, storedb::defaultKey());
                    prepared.commit(restoreMoment.addSecs(delay));
                },
                delay);
            EXPECT_TRUE(opensWhole(database(), {storedb::defaultKey()}));
            EXPECT_EQ(PatientStore::open(database())->recordCount(), 303);
            for (const QString &left : entries(folder())) {
                if (left.startsWith("."))
                    QFile::remove(folder() + left);
            }
        }
    }
    EXPECT_GT(interrupted, 0);
}

TEST(BackupCheckRules, NewestDateAndTrailName)
{
    EXPECT_EQ(backupcheck::newestDate({"2005-3-7", "2005-12-1", "2005-03-08 09:00:00", ""}), "2005-12-1");
    EXPECT_EQ(backupcheck::newestDate({"2005-3-7 10:00:00", "2005-03-07 09:00:00", "2005-3-7"}),
              "2005-3-7 10:00:00");
    EXPECT_EQ(backupcheck::newestDate({"昨天", "", "前天"}), "昨天");
    EXPECT_EQ(backupcheck::newestDate({"昨天", "2001-1-1"}), "2001-1-1");
    EXPECT_EQ(backupcheck::newestDate({}), "");
    EXPECT_EQ(backupcheck::trailFileOf("/a/b.XML"), "/a/b.history.xml");
    EXPECT_EQ(backupcheck::trailFileOf("/a/b.xml"), "/a/b.history.xml");
    EXPECT_EQ(backupcheck::archiveFileOf("/a/b.XML"), "/a/b.archive.xml");
}

} // namespace
