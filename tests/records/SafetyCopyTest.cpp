#include "RestoreSupport.h"

#include "records/SafetyCopier.h"
#include "records/SafetyCopies.h"
#include "text/Clock.h"

using namespace storetest;
using namespace restoretest;

namespace {

TEST(SafetyCopyRules, NamesAndRotation)
{
    const QDateTime moment(QDate(2026, 3, 4), QTime(5, 6, 7));
    EXPECT_EQ(safetycopies::copyName(moment), "safety-20260304-050607.dat");
    EXPECT_EQ(safetycopies::momentOf("safety-20260304-050607.dat"), moment);
    for (const char *other : {"safety-20260304-0506.dat", "safety-20261304-050607.dat", "backup.dat",
                              ".safety-abcdef", "safety-20260304-050607.dat.bak"})
        EXPECT_FALSE(safetycopies::momentOf(other)) << other;

    const QDate today(2026, 3, 31);
    auto name = [](const QDate &day, int hour) {
        return safetycopies::copyName(QDateTime(day, QTime(hour, 0)));
    };
    // 25 copies today: the newest 20 stay, the older 5 of today go.
    QStringList names;
    for (int hour = 0; hour < 25; ++hour)
        names << safetycopies::copyName(QDateTime(today, QTime(hour % 24, hour / 24 * 30)));
    // Two a day for 40 days before: the later of each day of the 30-day window stays.
    for (int day = 1; day <= 40; ++day) {
        names << name(today.addDays(-day), 8) << name(today.addDays(-day), 17);
    }
    names << "backup.dat"
          << "my.xml";
    const QStringList removed = safetycopies::toRemove(names, today);
    QStringList kept;
    for (const QString &n : names) {
        if (!removed.contains(n))
            kept << n;
    }
    EXPECT_FALSE(removed.contains("backup.dat"));
    EXPECT_FALSE(removed.contains("my.xml"));
    EXPECT_EQ(kept.size(), 20 + 29 + 2);
    EXPECT_TRUE(kept.contains(name(today.addDays(-29), 17)));
    EXPECT_FALSE(kept.contains(name(today.addDays(-29), 8)));
    EXPECT_FALSE(kept.contains(name(today.addDays(-30), 17)));
    // Few copies: all of them stay, however old.
    EXPECT_TRUE(safetycopies::toRemove({name(today.addDays(-300), 1), name(today.addDays(-200), 1)}, today)
                    .isEmpty());
}

class SafetyCopyTest : public ::testing::Test
{
protected:
    QTemporaryDir m_dir;
    QString database() const { return m_dir.filePath("Quillcase.dat"); }
    QString backups() const { return m_dir.filePath("backups/"); }
    std::unique_ptr<PatientStore> m_store;

    void SetUp() override
    {
        text::setClock([] { return QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)); });
        PatientStore::create(database());
        m_store = PatientStore::open(database());
        for (int i = 0; i < 60; ++i)
            m_store->insertRecord(fullRecord(QString::number(i)));
        m_store.reset();
        m_store = PatientStore::open(database(), storedb::defaultKey());
    }
    void TearDown() override { text::setClock({}); }
};

TEST_F(SafetyCopyTest, CopyInIdleStepsHoldsEveryPostAndIsKeptAtClose)
{
    SafetyCopier copier(m_store.get(), backups());
    copier.setPagesPerStep(8);
    copier.step();
    EXPECT_FALSE(copier.isCopying()); // nothing posted yet
    m_store->updateRecord(1, record({{"Name", "第一次"}}));
    copier.step();
    ASSERT_TRUE(copier.isCopying());
    for (int i = 0; i < 5; ++i)
        copier.step();
    // Posted while the copy is being made: it reaches the copy as well.
    m_store->insertRecord(record({{"Bed", "新"}}));
    copier.step();
    EXPECT_TRUE(copier.isCopying());
    copier.finish(2000);
    EXPECT_EQ(entries(backups()), QStringList{"safety-20260304-050607.dat"});
    const QString copy = backups() + "safety-20260304-050607.dat";
    EXPECT_EQ(permissions(copy), 0600);
    EXPECT_EQ(permissions(backups()), 0700);
    EXPECT_TRUE(opensWhole(copy, {storedb::defaultKey()}));
    EXPECT_EQ(tableRows(copy, "PatientsData"), tableRows(database(), "PatientsData"));
}

TEST_F(SafetyCopyTest, NoPostNoCopyAndAnUnfinishedCopyIsDiscarded)
{
    {
        SafetyCopier copier(m_store.get(), backups());
        copier.finish(2000);
        EXPECT_FALSE(QFileInfo::exists(backups()));
    }
    // The part of a copy a killed run left behind goes at the next start.
    QDir().mkpath(backups());
    writeBytes(backups() + ".safety-Ab12Cd", "part of a copy");
    writeBytes(backups() + "mine.dat", "the user's own file");
    SafetyCopier(m_store.get(), backups()).finish(2000);
    EXPECT_EQ(entries(backups()), QStringList{"mine.dat"});
    QFile::remove(backups() + "mine.dat");
    m_store->updateRecord(1, record({{"Name", "改"}}));
    {
        SafetyCopier copier(m_store.get(), backups());
        copier.setPagesPerStep(1);
        m_store->updateRecord(1, record({{"Name", "再改"}}));
        copier.step();
        ASSERT_TRUE(copier.isCopying());
        copier.finish(0);
        EXPECT_TRUE(entries(backups()).isEmpty());
    }
    {
        // Posted after a complete copy: the complete one is out of date and made again.
        SafetyCopier copier(m_store.get(), backups());
        m_store->updateRecord(1, record({{"Name", "三改"}}));
        copier.setPagesPerStep(100000);
        copier.step();
        copier.step();
        EXPECT_FALSE(copier.isCopying());
        m_store->updateRecord(1, record({{"Name", "四改"}}));
        copier.finish(2000);
        ASSERT_EQ(entries(backups()).size(), 1);
        EXPECT_EQ(tableRows(backups() + entries(backups())[0], "PatientsData"),
                  tableRows(database(), "PatientsData"));
    }
}

TEST_F(SafetyCopyTest, ReadOnlyFolderAndFullDiskLeaveNothingHalfWritten)
{
    if (::geteuid() != 0) {
        QDir().mkpath(backups());
        QFile::setPermissions(backups(), QFile::ReadOwner | QFile::ExeOwner);
        SafetyCopier copier(m_store.get(), backups());
        m_store->updateRecord(1, record({{"Name", "改"}}));
        EXPECT_THROW(copier.finish(2000), Error);
        EXPECT_TRUE(entries(backups()).isEmpty());
    }
    SmallDisk disk("100k");
    if (!disk.mounted)
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    SafetyCopier copier(m_store.get(), disk.path("backups/"));
    m_store->updateRecord(1, record({{"Name", "改"}}));
    try {
        copier.finish(2000);
        FAIL() << "a copy larger than the disk was kept";
    } catch (const Error &error) {
        EXPECT_TRUE(error.message().contains("磁盘空间不足")) << error.message().toStdString();
    }
    EXPECT_TRUE(entries(disk.path("backups/")).isEmpty());
}

} // namespace
