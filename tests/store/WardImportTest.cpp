// Moving one desktop's database to the ward server.
#include "TestServer.h"

#include "records/ColumnTable.h"
#include "records/PatientStore.h"
#include "records/PatientStoreDb.h"
#include "text/Error.h"
#include "ward/WardImport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using servertest::WardDatabase;

namespace {

int column(const char *name)
{
    return columns::indexOf(QString::fromUtf8(name));
}

class WardImportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QC_REQUIRE_SERVER();
        m_file = m_dir.filePath(QStringLiteral("Quillcase.dat"));
        PatientStore::create(m_file);
    }

    // Puts a known trail and archive flags into the tables the desktop keeps them in.
    void addTrailAndArchive(const std::vector<qint64> &archived)
    {
        sqlite3 *db = storedb::openKeyed(m_file);
        // Two known trail rows in place of those the records' own posts wrote.
        storedb::exec(db, "DELETE FROM PatientsHistory");
        storedb::exec(db, "INSERT INTO PatientsHistory VALUES (1, '1', 'Name', '', '甲', '本机医生', "
                          "'2024-03-01T08:00:00+08:00'), (1, '1', 'Name', '甲', 'O''Brien', '本机医生', "
                          "'2024-03-02T09:30:00+08:00')");
        for (qint64 id : archived) {
            storedb::Statement flag(
                db, "INSERT INTO PatientsArchive VALUES (?1, '2024-04-01T10:00:00+08:00', '本机医生')");
            flag.bindInt64(1, id);
            flag.next();
        }
        storedb::closeQuietly(db);
    }

    QTemporaryDir m_dir;
    QString m_file;
};

TEST_F(WardImportTest, RecordsArchiveFlagsAndTrailArriveWholeAndOnlyOnce)
{
    std::vector<QStringList> records;
    {
        auto file = PatientStore::open(m_file);
        QHash<int, QString> full;
        for (int c = 0; c < int(columns::all().size()); ++c)
            full.insert(c, QStringLiteral("值%1 '); DROP TABLE x; -- \\ $1").arg(c));
        full[column("Bed")] = QStringLiteral("1");
        file->insertRecord(full);
        file->insertRecord(
            {{column("Bed"), QStringLiteral("2")}, {column("Name"), QStringLiteral("出院者")}});
        file->insertRecord({{column("Bed"), QStringLiteral("2")},
                            {column("Name"), QStringLiteral("新病人")},
                            {column("age"), QString()}});
        for (qint64 id : {1, 2, 3})
            records.push_back(file->loadRecord(id));
    }
    addTrailAndArchive({2});

    WardDatabase ward;
    const wardimport::Counts counts = wardimport::importFile(ward.superuser().get(), m_file);
    EXPECT_EQ(counts.records, 3);
    EXPECT_EQ(counts.archived, 1);
    EXPECT_EQ(counts.trail, 2);

    auto server = ward.openAs(ward.addDoctor(QStringLiteral("钱医生")));
    for (qint64 id : {1, 2, 3})
        EXPECT_EQ(server->loadRecord(id), records[size_t(id - 1)]) << id;
    EXPECT_TRUE(server->isArchived(2));
    EXPECT_FALSE(server->isArchived(3));
    EXPECT_EQ(server->findBed(QStringLiteral("2")), 3);

    pg::Connection raw = ward.superuser();
    const pg::Result trail =
        pg::exec(raw.get(), "SELECT \"NewText\", \"Operator\", \"ChangedAt\" FROM \"PatientsHistory\" "
                            "ORDER BY \"HistoryId\"");
    ASSERT_EQ(pg::rows(trail.get()), 2); // the import itself wrote no trail of its own
    EXPECT_EQ(pg::text(trail.get(), 1, 0), QStringLiteral("O'Brien"));
    EXPECT_EQ(pg::text(trail.get(), 1, 1), QStringLiteral("本机医生"));
    EXPECT_EQ(pg::text(trail.get(), 1, 2), QStringLiteral("2024-03-02T09:30:00+08:00"));

    // New records continue after the imported ids, and the trail trigger is on again.
    const qint64 next = server->insertRecord({{column("Bed"), QStringLiteral("4")}});
    EXPECT_GT(next, 3);
    EXPECT_EQ(pg::rows(pg::exec(raw.get(), "SELECT 1 FROM \"PatientsHistory\"").get()), 3);

    // A second import is refused and changes nothing.
    EXPECT_THROW(wardimport::importFile(raw.get(), m_file), Error);
    EXPECT_EQ(server->recordCount(), 4);
}

TEST_F(WardImportTest, ABedWithTwoOpenRecordsIsRefusedAndTheServerStaysEmpty)
{
    {
        auto file = PatientStore::open(m_file);
        file->insertRecord({{column("Bed"), QStringLiteral("6")}});
        file->insertRecord({{column("Bed"), QStringLiteral("6")}});
    }
    WardDatabase ward;
    pg::Connection raw = ward.superuser();
    try {
        wardimport::importFile(raw.get(), m_file);
        ADD_FAILURE() << "import accepted";
    } catch (const Error &error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("床号“6”"))) << error.message().toStdString();
    }
    EXPECT_EQ(pg::text(pg::exec(raw.get(), "SELECT count(*) FROM \"PatientsData\"").get(), 0, 0),
              QStringLiteral("0"));
    EXPECT_THROW(wardimport::importFile(raw.get(), m_dir.filePath(QStringLiteral("missing.dat"))), Error);
}

} // namespace
