// The import moves the desktop's picture folders with the records, in the same transaction.
#include "TestServer.h"

#include "records/ColumnTable.h"
#include "records/PatientStore.h"
#include "store/server/ServerPictures.h"
#include "tests/pictures/PictureFixtures.h"
#include "text/Error.h"
#include "ward/WardImport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using servertest::WardDatabase;

namespace {

class PictureImportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QC_REQUIRE_SERVER();
        m_file = m_dir.filePath(QStringLiteral("Quillcase.dat"));
        PatientStore::create(m_file);
        PatientStore::open(m_file)->insertRecord(
            {{columns::indexOf(QStringLiteral("Bed")), QStringLiteral("1")}});
    }
    QString folder(const QString &name) const { return m_dir.filePath(QStringLiteral("images/") + name); }
    void writeFile(const QString &folderName, const QString &file, const QByteArray &bytes) const
    {
        ASSERT_TRUE(QDir().mkpath(folder(folderName)));
        ASSERT_TRUE(fixtures::writeBytes(folder(folderName) + QLatin1Char('/') + file, bytes));
    }
    qint64 serverCount(PGconn *db, const char *table) const
    {
        return pg::int64(pg::exec(db, QByteArray("SELECT count(*) FROM ") + table).get(), 0, 0);
    }

    QTemporaryDir m_dir;
    QString m_file;
};

TEST_F(PictureImportTest, FoldersAndFilesArriveWholeAndAreCounted)
{
    const QByteArray big = fixtures::pattern(serverpictures::blockSize * 2 + 7);
    writeFile(QStringLiteral("100-张三"), QStringLiteral("胸片.jpg"), big);
    writeFile(QStringLiteral("100-张三"), QStringLiteral("scan.bmp"), "BM..");
    writeFile(QStringLiteral("101-李四"), QStringLiteral("ct.JPG"), QByteArray());
    ASSERT_TRUE(QDir().mkpath(folder(QStringLiteral("102-王五")))); // an empty folder moves too
    ASSERT_TRUE(QDir().mkpath(folder(QStringLiteral("100-张三/deeper"))));

    WardDatabase ward;
    const wardimport::Counts counts = wardimport::importFile(ward.superuser().get(), m_file);
    EXPECT_EQ(counts.records, 1);
    EXPECT_EQ(counts.pictureFolders, 3);
    EXPECT_EQ(counts.pictures, 3);

    auto store = ward.openAs(ward.addDoctor(QStringLiteral("钱医生")));
    ServerStore *s = store.get();
    ServerPictures pictures([s] { return s->connection(); }, s->path());
    EXPECT_EQ(pictures.fileNames(QStringLiteral("100-张三")),
              (QStringList{QStringLiteral("scan.bmp"), QStringLiteral("胸片.jpg")}));
    EXPECT_TRUE(pictures.open(QStringLiteral("100-张三"), QStringLiteral("胸片.jpg"))->readAll() == big);
    EXPECT_EQ(pictures.fileNames(QStringLiteral("101-李四")), QStringList{QStringLiteral("ct.JPG")});
    EXPECT_TRUE(pictures.folderExists(QStringLiteral("102-王五")));

    // A second import is refused, pictures included.
    EXPECT_THROW(wardimport::importFile(ward.superuser().get(), m_file), Error);
    EXPECT_EQ(serverCount(ward.superuser().get(), "\"Pictures\""), 3);
}

TEST_F(PictureImportTest, AFileThatCannotBeReadUndoesTheWholeImport)
{
    writeFile(QStringLiteral("100-张三"), QStringLiteral("a.jpg"), "abc");
    // A file that opens but whose first read fails, for root as well: the first page of this
    // process's memory is never mapped.
    if (!QFile::link(QStringLiteral("/proc/self/mem"), folder(QStringLiteral("100-张三/b.jpg"))))
        GTEST_SKIP() << "no symbolic link here";

    WardDatabase ward;
    pg::Connection raw = ward.superuser();
    try {
        wardimport::importFile(raw.get(), m_file);
        ADD_FAILURE() << "import accepted";
    } catch (const Error &error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("b.jpg"))) << error.message().toStdString();
    }
    EXPECT_EQ(serverCount(raw.get(), "\"PatientsData\""), 0);
    EXPECT_EQ(serverCount(raw.get(), "\"PictureFolders\""), 0);
    EXPECT_EQ(serverCount(raw.get(), "\"PictureBlocks\""), 0);
}

} // namespace
