#include "SmallDisk.h"
#include "StoreTestSupport.h"

#include "records/Compaction.h"
#include "records/DatabaseAtStart.h"
#include "text/Error.h"
#include "text/SafeFile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace storetest;

namespace {

const QDateTime moment(QDate(2005, 3, 7), QTime(9, 15, 30));

// An application folder with data/Quillcase.dat holding a few records.
class CompactionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir(m_dir.path()).mkdir(QStringLiteral("data"));
        auto store = createStore();
        for (int bed = 1; bed <= 20; ++bed)
            store->insertRecord(
                record({{"Bed", QString::number(bed)}, {"PresentIllness", QString(500, u'咳')}}));
        // Leave free pages behind, which compaction drops.
        for (int round = 0; round < 2; ++round) {
            for (const ListRow &row : store->loadList())
                store->updateRecord(row.rowId,
                                    record({{"PresentIllness", QString(500 - round * 100, u'喘')}}));
        }
        m_records = allRecords(*store);
    }

    std::unique_ptr<PatientStore> createStore()
    {
        PatientStore::create(data("Quillcase.dat"));
        return PatientStore::open(data("Quillcase.dat"));
    }

    static QList<QStringList> allRecords(PatientStore &store)
    {
        QList<QStringList> result;
        for (const ListRow &row : store.loadList())
            result << store.loadRecord(row.rowId);
        return result;
    }

    QString data(const char *name) const
    {
        return m_dir.filePath(QStringLiteral("data/") + QString::fromUtf8(name));
    }
    QString folder() const { return m_dir.filePath(QStringLiteral("data/")); }

    QTemporaryDir m_dir;
    QList<QStringList> m_records;
};

QString failureOf(const std::function<void()> &work)
{
    try {
        work();
    } catch (const Error &error) {
        return error.message();
    }
    return QStringLiteral("(no error)");
}

} // namespace

TEST(CompactionStamp, TakesFourteenCharactersByPosition)
{
    EXPECT_EQ(compactionStamp(QStringLiteral("2005-03-07 09:15:30")), QStringLiteral("20050307091530"));
    EXPECT_EQ(compactionStamp(QStringLiteral("1999-12-31 23:59:59")), QStringLiteral("19991231235959"));
    // Another layout: the same positions, whatever they hold.
    EXPECT_EQ(compactionStamp(QStringLiteral("2005-3-7 9:15:30")), QStringLiteral("20053- 91530"));
}

TEST_F(CompactionTest, KeepsTheOldFileAsBakAndPutsTheCompactCopyInItsPlace)
{
    const QByteArray old = fileBytes(data("Quillcase.dat"));
    compactDatabase(folder(), moment);

    EXPECT_EQ(entries(folder()), QStringList({"20050307091530.bak", "Quillcase.dat"}));
    EXPECT_EQ(fileBytes(data("20050307091530.bak")), old);
    EXPECT_EQ(permissions(data("Quillcase.dat")), 0600);
    EXPECT_LT(fileBytes(data("Quillcase.dat")).size(), old.size());
    auto store = PatientStore::open(data("Quillcase.dat"));
    EXPECT_EQ(allRecords(*store), m_records);

    if (haveTool("sqlcipher")) {
        const ToolResult client =
            sqlcipher(data("Quillcase.dat"), QStringLiteral("SELECT count(*) FROM PatientsData;"),
                      QString::fromLatin1(PatientStore::password));
        EXPECT_EQ(client.out, QStringLiteral("20\n")) << client.err.toStdString();
    }
}

TEST_F(CompactionTest, WorksWithoutTrailingSlashAndRemovesALeftoverTmpDat)
{
    writeBytes(data("tmp.dat"), "half a copy from a run that failed");
    compactDatabase(m_dir.filePath(QStringLiteral("data")), moment);
    EXPECT_EQ(entries(folder()), QStringList({"20050307091530.bak", "Quillcase.dat"}));
    EXPECT_EQ(allRecords(*PatientStore::open(data("Quillcase.dat"))), m_records);
}

TEST_F(CompactionTest, FailuresNameTheStepAndWhereTheDatabaseIs)
{
    const QByteArray old = fileBytes(data("Quillcase.dat"));

    // A .bak of that name already exists: the first rename must not replace it.
    writeBytes(data("20050307091530.bak"), "an earlier backup");
    QString message = failureOf([&] { compactDatabase(folder(), moment); });
    EXPECT_TRUE(message.contains(QStringLiteral("无法把 data/Quillcase.dat 改名为 data/20050307091530.bak")))
        << message.toStdString();
    EXPECT_TRUE(message.contains(
        QStringLiteral("数据库未改动，仍是 data/Quillcase.dat，压缩后的文件是 data/tmp.dat")))
        << message.toStdString();
    EXPECT_EQ(fileBytes(data("20050307091530.bak")), QByteArray("an earlier backup"));
    EXPECT_EQ(fileBytes(data("Quillcase.dat")), old);
    EXPECT_EQ(allRecords(*PatientStore::open(data("tmp.dat"))), m_records);
    QFile::remove(data("20050307091530.bak"));

    // The tmp.dat that run left behind cannot be removed (here: a folder with a file in it).
    QFile::remove(data("tmp.dat"));
    QDir(folder()).mkpath(QStringLiteral("tmp.dat/inside"));
    message = failureOf([&] { compactDatabase(folder(), moment); });
    EXPECT_TRUE(message.contains(QStringLiteral("data/tmp.dat 无法删除"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("数据库仍是 data/Quillcase.dat"))) << message.toStdString();
    EXPECT_EQ(entries(folder()), QStringList({"Quillcase.dat", "tmp.dat"}));
    EXPECT_EQ(fileBytes(data("Quillcase.dat")), old);
    QDir(data("tmp.dat")).removeRecursively();

    // A database that does not open is left alone and nothing is created.
    writeBytes(data("Quillcase.dat"), QByteArray(2048, '\x11'));
    message = failureOf([&] { compactDatabase(folder(), moment); });
    EXPECT_TRUE(message.contains(QStringLiteral("无法打开 data/Quillcase.dat"))) << message.toStdString();
    EXPECT_EQ(entries(folder()), QStringList({"Quillcase.dat"}));

    QFile::remove(data("Quillcase.dat"));
    message = failureOf([&] { compactDatabase(folder(), moment); });
    EXPECT_TRUE(message.contains(QStringLiteral("文件不存在"))) << message.toStdString();
    EXPECT_TRUE(entries(folder()).isEmpty());
}

namespace {

struct Stopped
{
};

// Stops compaction after the given step, as a power cut at that moment would.
class StopAfter
{
public:
    explicit StopAfter(CompactionStep step)
    {
        setCompactionStepHook([step](CompactionStep reached) {
            if (reached == step)
                throw Stopped();
        });
    }
    ~StopAfter() { setCompactionStepHook({}); }
};

} // namespace

TEST_F(CompactionTest, StoppedAfterAnyStepTheDatabaseIsThereAndTheNextStartTidiesUp)
{
    const QByteArray old = fileBytes(data("Quillcase.dat"));
    struct Case
    {
        CompactionStep step;
        const char *name;
        QStringList afterStop;
        QStringList afterStart;
        bool compacted;
    };
    const Case cases[] = {
        {CompactionStep::Exported, "exported", {"Quillcase.dat", "tmp.dat"}, {"Quillcase.dat"}, false},
        {CompactionStep::KeptOld,
         "old file kept",
         {"20050307091530.bak", "Quillcase.dat", "tmp.dat"},
         {"Quillcase.dat"},
         false},
        {CompactionStep::Replaced,
         "replaced",
         {"20050307091530.bak", "Quillcase.dat"},
         {"20050307091530.bak", "Quillcase.dat"},
         true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        {
            StopAfter stop(c.step);
            EXPECT_THROW(compactDatabase(folder(), moment), Stopped);
        }
        EXPECT_EQ(entries(folder()), c.afterStop);
        // Quillcase.dat is a complete database at that moment: the old one or the compacted one.
        EXPECT_EQ(fileBytes(data("Quillcase.dat")) == old, !c.compacted);

        auto store = startup::openDatabase(folder());
        EXPECT_EQ(allRecords(*store), m_records);
        store.reset();
        EXPECT_EQ(entries(folder()), c.afterStart);
        if (c.compacted) {
            EXPECT_EQ(fileBytes(data("20050307091530.bak")), old);
            EXPECT_EQ(permissions(data("20050307091530.bak")), 0600);
            // Back to the old file for the next case.
            QFile::remove(data("Quillcase.dat"));
            QFile::rename(data("20050307091530.bak"), data("Quillcase.dat"));
        }
        EXPECT_EQ(fileBytes(data("Quillcase.dat")), old);
    }
    text::setPendingFolder(QString());
}

TEST_F(CompactionTest, AStartWithoutTheDatabaseNamesTheCompleteCopyAndTouchesNothing)
{
    {
        StopAfter stop(CompactionStep::KeptOld);
        EXPECT_THROW(compactDatabase(folder(), moment), Stopped);
    }
    // What the two renames of old could leave: the old file under its .bak name and tmp.dat.
    QFile::remove(data("Quillcase.dat"));
    QString message = failureOf([&] { startup::openDatabase(folder()); });
    EXPECT_TRUE(message.contains(QStringLiteral("文件不存在"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("完整的压缩后的病历资料库 data/tmp.dat")))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("请把 data/tmp.dat 改名为 data/Quillcase.dat")))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("data/20050307091530.bak"))) << message.toStdString();
    EXPECT_EQ(entries(folder()), QStringList({"20050307091530.bak", "tmp.dat"}));

    // Only the .bak: it is named, with what to do.
    QFile::remove(data("tmp.dat"));
    message = failureOf([&] { startup::openDatabase(folder()); });
    EXPECT_TRUE(message.contains(QStringLiteral("请把 data/20050307091530.bak 复制为 data/Quillcase.dat")))
        << message.toStdString();
    EXPECT_EQ(entries(folder()), QStringList({"20050307091530.bak"}));

    // A broken tmp.dat and no .bak: nothing can stand in, and the message is the plain one.
    QFile::remove(data("20050307091530.bak"));
    writeBytes(data("tmp.dat"), "half a copy");
    message = failureOf([&] { startup::openDatabase(folder()); });
    EXPECT_FALSE(message.contains(QStringLiteral("tmp.dat"))) << message.toStdString();
    EXPECT_EQ(entries(folder()), QStringList({"tmp.dat"}));
}

TEST_F(CompactionTest, OnAFullDiskTheDatabaseStaysAsItWas)
{
    SmallDisk disk(1024);
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason().toStdString();
    const QString onDisk = disk.filePath(QStringLiteral("data"));
    QDir().mkpath(onDisk);
    ASSERT_TRUE(QFile::copy(data("Quillcase.dat"), onDisk + QStringLiteral("/Quillcase.dat")));
    const QByteArray old = fileBytes(onDisk + QStringLiteral("/Quillcase.dat"));
    disk.fill();
    const QString message = failureOf([&] { compactDatabase(onDisk, moment); });
    EXPECT_TRUE(message.contains(QStringLiteral("导出到 data/tmp.dat 时出错"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("磁盘空间不足"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("数据库未改动，仍是 data/Quillcase.dat")))
        << message.toStdString();
    EXPECT_EQ(entries(onDisk), QStringList{"Quillcase.dat"});
    EXPECT_EQ(fileBytes(onDisk + QStringLiteral("/Quillcase.dat")), old);
}
