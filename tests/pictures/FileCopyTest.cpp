#include "pictures/FileCopy.h"
#include "tests/pictures/PictureFixtures.h"
#include "text/Error.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

// A device over a byte array that records what each read asked for and returned, and
// can fail a read or store only part of a write on request.
class ProbeDevice : public QIODevice
{
public:
    explicit ProbeDevice(QByteArray bytes = {}) : m_bytes(std::move(bytes)) {}

    QList<qint64> asked;
    QList<qint64> returned;
    qint64 failReadAt = -1; // a read starting at or past this offset fails
    qint64 writeLimit = -1; // writes store nothing past this many bytes
    QByteArray written;

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        asked << maxSize;
        if (failReadAt >= 0 && m_pos >= failReadAt) {
            setErrorString(QStringLiteral("simulated read failure"));
            returned << -1;
            return -1;
        }
        const qint64 n = qMin(maxSize, m_bytes.size() - m_pos);
        memcpy(data, m_bytes.constData() + m_pos, n);
        m_pos += n;
        returned << n;
        return n;
    }
    qint64 writeData(const char *data, qint64 size) override
    {
        qint64 n = size;
        if (writeLimit >= 0)
            n = qMax<qint64>(0, qMin(size, writeLimit - written.size()));
        written.append(data, n);
        return n;
    }

private:
    QByteArray m_bytes;
    qint64 m_pos = 0;
};

class FileCopyTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(FileCopyTest, CopiesEverySizeByteForByte)
{
    const qint64 sizes[] = {0, 1, 2048, 2049, 2050, 2 * 2049, 2 * 2049 + 1, 10 * 2049 + 17};
    for (const qint64 size : sizes) {
        SCOPED_TRACE(size);
        const QString from = path(QStringLiteral("from-%1.bin").arg(size));
        const QString to = path(QStringLiteral("to-%1.jpg").arg(size));
        const QByteArray bytes = fixtures::pattern(size);
        ASSERT_TRUE(fixtures::writeBytes(from, bytes));
        pictures::copyFile(from, to);
        EXPECT_EQ(QFileInfo(to).size(), size);
        EXPECT_TRUE(fixtures::readBytes(to) == bytes);
        EXPECT_TRUE(fixtures::readBytes(from) == bytes); // the chosen file is untouched
    }
}

TEST_F(FileCopyTest, ReadsInBlocksOf2049UntilAReadReturnsNothing)
{
    // size, expected reads: full blocks, then a partial one when there is a rest, then the empty read
    const std::pair<qint64, qsizetype> cases[] = {{0, 1}, {2049, 2}, {2 * 2049, 3}, {2049 + 1, 3}, {5000, 4}};
    for (const auto &[size, reads] : cases) {
        SCOPED_TRACE(size);
        const QByteArray bytes = fixtures::pattern(size);
        ProbeDevice from(bytes);
        ProbeDevice to;
        ASSERT_TRUE(from.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
        ASSERT_TRUE(to.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        EXPECT_EQ(pictures::copyBlocks(from, to, QStringLiteral("a"), QStringLiteral("b")), size);
        EXPECT_EQ(from.returned.size(), reads);
        EXPECT_EQ(from.returned.last(), 0);
        for (const qint64 asked : std::as_const(from.asked))
            EXPECT_EQ(asked, 2049);
        EXPECT_TRUE(to.written == bytes);
    }
}

TEST_F(FileCopyTest, FailedReadOrShortWriteIsAnError)
{
    {
        ProbeDevice from(fixtures::pattern(3 * 2049));
        from.failReadAt = 2049;
        ProbeDevice to;
        ASSERT_TRUE(from.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
        ASSERT_TRUE(to.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        try {
            pictures::copyBlocks(from, to, QStringLiteral("源.jpg"), QStringLiteral("目标.jpg"));
            FAIL() << "no error";
        } catch (const Error &e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("源.jpg")));
        }
    }
    {
        ProbeDevice from(fixtures::pattern(3 * 2049));
        ProbeDevice to;
        to.writeLimit = 3000; // the disk fills up in the second block
        ASSERT_TRUE(from.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
        ASSERT_TRUE(to.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        try {
            pictures::copyBlocks(from, to, QStringLiteral("源.jpg"), QStringLiteral("目标.jpg"));
            FAIL() << "no error";
        } catch (const Error &e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("目标.jpg")));
        }
    }
}

TEST_F(FileCopyTest, FailedWriteRemovesThePartialCopy)
{
    const QString from = path(QStringLiteral("big.jpg"));
    const QString to = path(QStringLiteral("copy.jpg"));
    ASSERT_TRUE(fixtures::writeBytes(from, fixtures::pattern(20 * 2049)));

    // A file-size limit makes writes fail past 10000 bytes, as a full disk would.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 10000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool threw = false;
    try {
        pictures::copyFile(from, to);
    } catch (const Error &) {
        threw = true;
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);

    EXPECT_TRUE(threw);
    EXPECT_FALSE(QFileInfo::exists(to));
    EXPECT_EQ(QFileInfo(from).size(), 20 * 2049);
}

TEST_F(FileCopyTest, NothingIsCreatedWhenTheSourceCannotBeOpened)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("a folder")));
    const QString sources[] = {path(QStringLiteral("missing.jpg")), path(QStringLiteral("a folder"))};
    for (const QString &source : sources) {
        SCOPED_TRACE(source.toStdString());
        const QString to = path(QStringLiteral("copy.jpg"));
        EXPECT_THROW(pictures::copyFile(source, to), Error);
        EXPECT_FALSE(QFileInfo::exists(to));
    }
}

TEST_F(FileCopyTest, AnExistingTargetIsNeverOverwrittenNorRemoved)
{
    const QString from = path(QStringLiteral("new.jpg"));
    const QString to = path(QStringLiteral("old.jpg"));
    ASSERT_TRUE(fixtures::writeBytes(from, fixtures::pattern(5000)));
    ASSERT_TRUE(fixtures::writeBytes(to, QByteArray("old picture")));
    EXPECT_THROW(pictures::copyFile(from, to), Error);
    EXPECT_EQ(fixtures::readBytes(to), QByteArray("old picture"));
}

TEST_F(FileCopyTest, MissingTargetFolderIsAnError)
{
    const QString from = path(QStringLiteral("new.jpg"));
    ASSERT_TRUE(fixtures::writeBytes(from, fixtures::pattern(10)));
    EXPECT_THROW(pictures::copyFile(from, path(QStringLiteral("no such folder/new.jpg"))), Error);
}
