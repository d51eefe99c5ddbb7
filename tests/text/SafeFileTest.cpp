#include "text/SafeFile.h"
#include "SmallDisk.h"
#include "text/Error.h"
#include "text/PhraseFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace text;

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

int modeOf(const QString &path)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

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

TEST(SafeFile, WriteAllReportsTheErrorOfAFullDevice)
{
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    if (full < 0)
        GTEST_SKIP() << "/dev/full missing";
    EXPECT_EQ(writeAll(full, QByteArray(10, 'x')), ENOSPC);
    EXPECT_EQ(writeAll(full, QByteArray()), 0); // nothing to write is no failure
    ::close(full);

    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    EXPECT_EQ(writeAll(null, QByteArray(1 << 20, 'x')), 0);
    ::close(null);
}

// The temporary file's descriptor is swapped for /dev/full: every write fails as on a full disk.
TEST(SafeFile, AFailingWriteKeepsTheOldFileAndLeavesNothing)
{
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    if (full < 0)
        GTEST_SKIP() << "/dev/full missing";
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("病历.rtf"));
    put(target, "old bytes");
    const QString message = failureOf([&] {
        writeFileWhole(target, /*ownerOnly=*/true, [&](WholeFile &file) {
            ASSERT_GE(::dup2(full, file.descriptor()), 0);
            file.write("new bytes that do not fit");
        });
    });
    ::close(full);
    EXPECT_TRUE(message.contains(target)) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("磁盘空间不足"))) << message.toStdString();
    EXPECT_EQ(bytesOf(target), QByteArray("old bytes"));
    EXPECT_EQ(entriesOf(dir.path()), QStringList{QStringLiteral("病历.rtf")});
}

TEST(SafeFile, ModesFromTheFirstByteAndAfterTheRename)
{
    QTemporaryDir dir;
    const mode_t oldMask = ::umask(0); // nothing narrows what the helper asks for
    int temporaryMode = -1;
    const QString patient = dir.filePath(QStringLiteral("patient.pdf"));
    writeFileWhole(patient, true, [&](WholeFile &file) {
        temporaryMode = modeOf(file.temporaryPath());
        file.write("%PDF");
    });
    EXPECT_EQ(temporaryMode, 0600);
    EXPECT_EQ(modeOf(patient), 0600);

    // A phrase file keeps the mode it had; a new one gets what the umask leaves.
    const QString phrases = dir.filePath(QStringLiteral("minzu.txt"));
    put(phrases, "old");
    ::chmod(QFile::encodeName(phrases).constData(), 0640);
    writeFileWhole(phrases, QByteArray("new"), false);
    EXPECT_EQ(modeOf(phrases), 0640);
    ::umask(022);
    writeFileWhole(dir.filePath(QStringLiteral("new.txt")), QByteArray("x"), false);
    EXPECT_EQ(modeOf(dir.filePath(QStringLiteral("new.txt"))), 0644);
    // Patient data replacing a file open to everyone becomes owner-only.
    ::chmod(QFile::encodeName(patient).constData(), 0666);
    writeFileWhole(patient, QByteArray("%PDF again"), true);
    EXPECT_EQ(modeOf(patient), 0600);
    ::umask(oldMask);

    // A link to a file writes that file; the link stays.
    const QString link = dir.filePath(QStringLiteral("link.txt"));
    ASSERT_TRUE(QFile::link(phrases, link));
    writeFileWhole(link, QByteArray("through the link"), false);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(bytesOf(phrases), QByteArray("through the link"));
}

TEST(SafeFile, NeverReplaceLeavesAFileThatAppearedMeanwhile)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("picture.jpg"));
    {
        WholeFile file(target, FileMode::OwnerOnly, WholeFile::Replace::Never);
        file.write("new picture");
        put(target, "someone else's");
        EXPECT_THROW(file.commit(), Error);
    }
    EXPECT_EQ(bytesOf(target), QByteArray("someone else's"));
    EXPECT_EQ(entriesOf(dir.path()), QStringList{QStringLiteral("picture.jpg")});
}

TEST(SafeFile, FullDiskKeepsTheOldFileByteForByte)
{
    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason().toStdString();
    const QString target = disk.filePath(QStringLiteral("complaints.txt"));
    writePhraseText(target, QStringLiteral("发热\r\n咳嗽\r\n"));
    const QByteArray old = bytesOf(target);
    disk.fill();
    // Small enough for the cache, so that only the sync could notice; large enough to need pages.
    for (const qsizetype size : {qsizetype(1), qsizetype(5000), qsizetype(300 * 1024)}) {
        SCOPED_TRACE(size);
        const QString message = failureOf([&] { writePhraseText(target, QString(size, u'咳')); });
        EXPECT_TRUE(message.contains(target)) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("磁盘空间不足"))) << message.toStdString();
        EXPECT_EQ(bytesOf(target), old);
        EXPECT_EQ(disk.entries(), QStringList{QStringLiteral("complaints.txt")});
    }
    disk.empty();
    writePhraseText(target, QStringLiteral("新"));
    EXPECT_EQ(readPhraseText(target), QStringLiteral("新"));
}

TEST(SafeFile, TemporaryFilesOfAProcessThatDiedAreRemovedAtTheNextStart)
{
    QTemporaryDir data;
    QTemporaryDir elsewhere;
    put(elsewhere.filePath(QStringLiteral("keep.xml")), "a finished backup");
    put(elsewhere.filePath(QStringLiteral(".keep.xml.abcdefgh.tmp")), "not noted: not ours to remove");

    // A child process starts writing and dies before the rename, as a kill would.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        setPendingFolder(data.path());
        auto *file = new WholeFile(elsewhere.filePath(QStringLiteral("backup.xml")), FileMode::OwnerOnly);
        file->write("<xml>plain patient data</xml>");
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_EQ(entriesOf(elsewhere.path()).size(), 3); // the dead writer's temporary file stays so far
    ASSERT_EQ(entriesOf(data.path()).size(), 1);      // with its note

    // A note of a live process (this one's parent) is left alone.
    char hostName[256] = {};
    ::gethostname(hostName, sizeof hostName - 1);
    const QString host = QString::fromLocal8Bit(hostName);
    const QString liveNote =
        data.filePath(QStringLiteral(".quillcase-pending.%1.zzzzzzzz.%2").arg(qint64(::getppid())).arg(host));
    const QString liveFile = elsewhere.filePath(QStringLiteral(".x.zzzzzzzz.tmp"));
    put(liveNote, QFile::encodeName(liveFile));
    put(liveFile, "being written");

    EXPECT_EQ(removeLeftoverTemporaries(data.path()), 1);
    EXPECT_EQ(entriesOf(elsewhere.path()),
              QStringList({".keep.xml.abcdefgh.tmp", ".x.zzzzzzzz.tmp", "keep.xml"}));
    EXPECT_EQ(entriesOf(data.path()), QStringList{QFileInfo(liveNote).fileName()});

    // Finished and failed writes leave no note behind.
    setPendingFolder(data.path());
    writeFileWhole(elsewhere.filePath(QStringLiteral("done.txt")), QByteArray("x"), true);
    EXPECT_THROW(
        writeFileWhole(elsewhere.filePath(QStringLiteral("no/such/folder.txt")), QByteArray("x"), true),
        Error);
    setPendingFolder(QString());
    EXPECT_EQ(entriesOf(data.path()), QStringList{QFileInfo(liveNote).fileName()});
}
