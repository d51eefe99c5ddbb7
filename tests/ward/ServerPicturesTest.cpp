// Pictures on the ward's server: shared by the desktops, never changed, only an administrator
// deletes them, and a failure leaves nothing half stored.
#include "store/server/ServerPictures.h"
#include "TestServer.h"
#include "WardFixture.h"
#include "pictures/PictureArchive.h"
#include "pictures/PictureTab.h"
#include "pictures/ServerPicturePlace.h"
#include "records/FileListBox.h"
#include "records/ScriptedDialogs.h"
#include "tests/pictures/PictureFixtures.h"

#include <QBuffer>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using servertest::WardDatabase;

namespace {

ServerPictures picturesOf(ServerStore &store, qint64 blocks = serverpictures::blockSize)
{
    ServerStore *s = &store;
    return ServerPictures([s] { return s->connection(); }, s->path(), blocks);
}

qint64 count(const WardDatabase &ward, const char *table)
{
    pg::Connection db = ward.superuser();
    const pg::Result rows = pg::exec(db.get(), QByteArray("SELECT count(*) FROM ") + table);
    return pg::int64(rows.get(), 0, 0);
}

// Gives its bytes, then fails: a file whose disk gives way half-way through.
class FailingSource : public QBuffer
{
public:
    FailingSource(const QByteArray &bytes, qint64 failAt) : m_bytes(bytes), m_failAt(failAt)
    {
        setBuffer(&m_bytes);
        open(QIODevice::ReadOnly);
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (pos() >= m_failAt) {
            setErrorString(QStringLiteral("Input/output error"));
            return -1;
        }
        return QBuffer::readData(data, std::min(maxSize, m_failAt - pos()));
    }

private:
    QByteArray m_bytes;
    qint64 m_failAt;
};

class ServerPicturesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QC_REQUIRE_SERVER();
        ward = std::make_unique<WardDatabase>();
        doctor = ward->addDoctor(QStringLiteral("王医生"));
    }
    std::unique_ptr<WardDatabase> ward;
    QString doctor;
};

TEST_F(ServerPicturesTest, TwoDesktopsSeeTheSamePictures)
{
    auto first = ward->openAs(doctor);
    auto second = ward->openAs(ward->addDoctor(QStringLiteral("李医生")));
    ServerPictures one = picturesOf(*first, 1000);
    ServerPictures other = picturesOf(*second);
    const QByteArray bytes = fixtures::pattern(2500);
    QBuffer source;
    source.setData(bytes);
    source.open(QIODevice::ReadOnly);
    EXPECT_TRUE(
        one.addFile(QStringLiteral("7-甲"), QStringLiteral("心电图.jpg"), source, QStringLiteral("x")));

    EXPECT_TRUE(other.folderExists(QStringLiteral("7-甲")));
    EXPECT_EQ(other.fileNames(QStringLiteral("7-甲")), QStringList{QStringLiteral("心电图.jpg")});
    EXPECT_TRUE(other.open(QStringLiteral("7-甲"), QStringLiteral("心电图.jpg"))->readAll() == bytes);
    // Read from the middle, across a block's end, as a decoder going back and forth does.
    const auto picture = other.open(QStringLiteral("7-甲"), QStringLiteral("心电图.jpg"));
    ASSERT_TRUE(picture->seek(990));
    EXPECT_TRUE(picture->read(20) == bytes.mid(990, 20));

    // The same name from the other desktop copies nothing.
    QBuffer again;
    again.setData("other bytes");
    again.open(QIODevice::ReadOnly);
    EXPECT_FALSE(
        other.addFile(QStringLiteral("7-甲"), QStringLiteral("心电图.jpg"), again, QStringLiteral("y")));
    EXPECT_TRUE(one.open(QStringLiteral("7-甲"), QStringLiteral("心电图.jpg"))->readAll() == bytes);
    EXPECT_EQ(count(*ward, "\"PictureBlocks\""), 3);
}

TEST_F(ServerPicturesTest, ADoctorMayNeitherChangeNorDeleteAnAdministratorMayDelete)
{
    auto store = ward->openAs(doctor);
    ServerPictures pictures = picturesOf(*store);
    QBuffer source;
    source.setData("bytes");
    source.open(QIODevice::ReadOnly);
    ASSERT_TRUE(
        pictures.addFile(QStringLiteral("1-甲"), QStringLiteral("a.jpg"), source, QStringLiteral("a")));

    pg::Connection asDoctor = ward->as(doctor);
    for (const char *sql :
         {"DELETE FROM \"PictureBlocks\"", "DELETE FROM \"Pictures\"", "DELETE FROM \"PictureFolders\"",
          "UPDATE \"PictureBlocks\" SET \"Bytes\" = 'x'", "UPDATE \"Pictures\" SET \"FileName\" = 'b.jpg'",
          "UPDATE \"PictureFolders\" SET \"FolderName\" = '2-乙'"}) {
        SCOPED_TRACE(sql);
        try {
            pg::exec(asDoctor.get(), sql);
            ADD_FAILURE() << "a doctor changed pictures";
        } catch (const pg::ServerError &error) {
            EXPECT_EQ(error.sqlState(), QByteArray("42501"));
        }
    }
    EXPECT_EQ(pictures.fileNames(QStringLiteral("1-甲")), QStringList{QStringLiteral("a.jpg")});

    pg::Connection asAdmin = ward->as(ward->addDoctor(QStringLiteral("主任"), true));
    pg::exec(asAdmin.get(), "DELETE FROM \"PictureFolders\" WHERE \"FolderName\" = '1-甲'");
    EXPECT_EQ(count(*ward, "\"Pictures\""), 0);
    EXPECT_EQ(count(*ward, "\"PictureBlocks\""), 0);
}

TEST_F(ServerPicturesTest, AFailedAddLeavesNoPartOfThePicture)
{
    auto store = ward->openAs(doctor);
    ServerPictures pictures = picturesOf(*store, 1000);
    FailingSource source(fixtures::pattern(5000), 2500);
    try {
        pictures.addFile(QStringLiteral("2-乙"), QStringLiteral("cut.jpg"), source,
                         QStringLiteral("/相机/cut.jpg"));
        FAIL() << "a failed read was stored";
    } catch (const Error &error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("读取文件“/相机/cut.jpg”时出错")))
            << error.message().toStdString();
    }
    EXPECT_EQ(count(*ward, "\"PictureFolders\""), 0); // the folder made in the same transaction went too
    EXPECT_EQ(count(*ward, "\"Pictures\""), 0);
    EXPECT_EQ(count(*ward, "\"PictureBlocks\""), 0);
    // The connection is fit for the next command.
    EXPECT_FALSE(pictures.folderExists(QStringLiteral("2-乙")));
}

// The tab's errors reach the error box in Chinese: a lost server, and a ward set up before it
// kept pictures; after each the tab works again once the cause is gone.
TEST_F(ServerPicturesTest, ServerErrorsReachTheErrorBoxAndTheTabRecovers)
{
    auto store = ward->openAs(doctor);
    ScriptedDialogs dialogs;
    QWidget root;
    auto *id = new QLineEdit(QStringLiteral("9"), &root);
    id->setObjectName(QStringLiteral("DBEdit5"));
    auto *name = new QLineEdit(QStringLiteral("丙"), &root);
    name->setObjectName(QStringLiteral("DBEdit2"));
    auto *tab = new PictureTab(&root);
    ServerStore *s = store.get();
    PictureArchive archive(&root, tab,
                           std::make_unique<ServerPicturePlace>(
                               std::make_unique<ServerPictures>([s] { return s->connection(); }, s->path())));
    QTemporaryDir camera;
    const QString chosen = camera.filePath(QStringLiteral("a.jpg"));
    ASSERT_TRUE(fixtures::saveJpeg(chosen, {30, 20}));

    {
        pg::Connection admin = ward->superuser();
        pg::exec(admin.get(),
                 "SELECT pg_terminate_backend(pid, 5000) FROM pg_stat_activity WHERE usename = $1",
                 {doctor.toUtf8()});
    }
    dialogs.fileAnswers.push_back(chosen);
    tab->addButton()->click();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].contains(QStringLiteral("无法连接病区服务器")))
        << dialogs.errors[0].toStdString();

    {
        pg::Connection admin = ward->superuser();
        pg::exec(admin.get(), "DROP TABLE \"PictureBlocks\", \"Pictures\", \"PictureFolders\"");
    }
    dialogs.errors.clear();
    tab->addButton()->click();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].contains(QStringLiteral("quillcase-ward init")))
        << dialogs.errors[0].toStdString();

    {
        pg::Connection admin = ward->superuser();
        serversetup::initialise(admin.get(), storeColumnList());
    }
    dialogs.errors.clear();
    tab->addButton()->click();
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
    EXPECT_EQ(tab->fileList()->directory(), QStringLiteral("9-丙"));
    ASSERT_EQ(tab->fileList()->count(), 1);
    EXPECT_TRUE(dialogs.fileAnswers.empty());
}

// The program's own picture tab, started against the ward's server, keeps its pictures there.
using ServerPictureTab = WardFixture;

TEST_F(ServerPictureTab, AddStoresOnTheServerAndNotInTheDesktopFolder)
{
    addServerRecords({{{"Bed", "1"}, {"ID", "300"}, {"Name", "服务器甲"}}});
    start();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("").toStdString();
    QTemporaryDir camera;
    const QString chosen = camera.filePath(QStringLiteral("b超.jpg"));
    ASSERT_TRUE(fixtures::saveJpeg(chosen, {40, 30}));
    dialogs.fileAnswers.push_back(chosen);
    find<PictureTab>(QStringLiteral("TabSheet12"))->addButton()->click();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("").toStdString();

    auto other = ward->openAs(ward->addDoctor(QStringLiteral("李医生")));
    EXPECT_EQ(picturesOf(*other).fileNames(QStringLiteral("300-服务器甲")),
              QStringList{QStringLiteral("b超.jpg")});
    EXPECT_TRUE(QDir(dataFolder() + QStringLiteral("images")).isEmpty());
    EXPECT_EQ(find<FileListBox>(QStringLiteral("FileListBox2"))->count(), 1);
}

} // namespace
