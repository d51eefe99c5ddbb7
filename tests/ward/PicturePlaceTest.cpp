// The picture tab's behaviour, the same over the desktop's folders and over the ward's server.
#include "TestServer.h"
#include "pictures/DesktopPictures.h"
#include "pictures/FileCopy.h"
#include "pictures/PictureArchive.h"
#include "pictures/PictureTab.h"
#include "pictures/PictureView.h"
#include "pictures/ServerPicturePlace.h"
#include "records/FileListBox.h"
#include "records/ScriptedDialogs.h"
#include "store/server/ServerPictures.h"
#include "tests/pictures/PictureFixtures.h"
#include "text/SharedValues.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The pictures in the desktop's data/images/ folder.
struct Desktop
{
    static constexpr qint64 blockSize = pictures::copyBlockSize;
    QTemporaryDir app;

    void setUp()
    {
        text::shared().applicationFolder = app.path() + QLatin1Char('/');
        ASSERT_TRUE(QDir().mkpath(images()));
    }
    QString images() const { return app.path() + QStringLiteral("/data/images"); }
    std::unique_ptr<PicturePlace> place() { return std::make_unique<DesktopPictures>(); }
    // What the list names the patient's folder.
    QString folder(const QString &name) const { return images() + QLatin1Char('/') + name; }
    bool folderExists(const QString &name) const { return QFileInfo(folder(name)).isDir(); }
    QStringList stored(const QString &name) const
    {
        return QDir(folder(name)).entryList(QDir::Files, QDir::Name);
    }
    QByteArray bytes(const QString &name, const QString &file) const
    {
        return fixtures::readBytes(folder(name) + QLatin1Char('/') + file);
    }
};

// The pictures on a fresh ward database, added and read as one doctor.
struct Server
{
    static constexpr qint64 blockSize = serverpictures::blockSize;
    QTemporaryDir app;
    std::unique_ptr<servertest::WardDatabase> ward;
    std::unique_ptr<ServerStore> store;

    void setUp()
    {
        text::shared().applicationFolder = app.path() + QLatin1Char('/');
        ward = std::make_unique<servertest::WardDatabase>();
        store = ward->openAs(ward->addDoctor(QStringLiteral("王医生")));
    }
    ServerPictures pictures() const
    {
        ServerStore *s = store.get();
        return ServerPictures([s] { return s->connection(); }, s->path());
    }
    std::unique_ptr<PicturePlace> place()
    {
        ServerStore *s = store.get();
        return std::make_unique<ServerPicturePlace>(
            std::make_unique<ServerPictures>([s] { return s->connection(); }, s->path()));
    }
    QString folder(const QString &name) const { return name; }
    bool folderExists(const QString &name) const { return pictures().folderExists(name); }
    QStringList stored(const QString &name) const { return pictures().fileNames(name); }
    QByteArray bytes(const QString &name, const QString &file) const
    {
        const auto picture = pictures().open(name, file);
        return picture->readAll();
    }
};

template <typename Place> class PicturePlaceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if constexpr (std::is_same_v<Place, Server>)
            QC_REQUIRE_SERVER();
        ASSERT_TRUE(m_camera.isValid());
        m_place.setUp();
        if (HasFatalFailure())
            return;
        m_id = new QLineEdit(&m_root);
        m_id->setObjectName(QStringLiteral("DBEdit5"));
        m_name = new QLineEdit(&m_root);
        m_name->setObjectName(QStringLiteral("DBEdit2"));
        m_tab = new PictureTab(&m_root);
        m_tab->resize(400, 500);
        m_archive = std::make_unique<PictureArchive>(&m_root, m_tab, m_place.place());
    }

    QString cameraFile(const QString &name, const QSize &size = {60, 40})
    {
        const QString path = m_camera.filePath(name);
        EXPECT_TRUE(fixtures::saveJpeg(path, size));
        return path;
    }
    void setPatient(const QString &id, const QString &name)
    {
        m_id->setText(id);
        m_name->setText(name);
    }
    void add(const std::optional<QString> &chosen)
    {
        m_dialogs.fileAnswers.push_back(chosen);
        m_tab->addButton()->click();
    }
    FileListBox *list() const { return m_tab->fileList(); }
    QStringList listed() const
    {
        QStringList names;
        for (int i = 0; i < list()->count(); ++i)
            names << list()->item(i)->text();
        return names;
    }
    void expectNoMessages() const
    {
        EXPECT_TRUE(m_dialogs.informations.isEmpty()) << m_dialogs.informations.join("\n").toStdString();
        EXPECT_TRUE(m_dialogs.errors.isEmpty()) << m_dialogs.errors.join("\n").toStdString();
    }

    Place m_place;
    QTemporaryDir m_camera;
    ScriptedDialogs m_dialogs;
    QWidget m_root;
    QLineEdit *m_id = nullptr;
    QLineEdit *m_name = nullptr;
    PictureTab *m_tab = nullptr;
    std::unique_ptr<PictureArchive> m_archive;
};

using Places = ::testing::Types<Desktop, Server>;
class PlaceNames
{
public:
    template <typename T> static std::string GetName(int)
    {
        return std::is_same_v<T, Server> ? "Server" : "Desktop";
    }
};
TYPED_TEST_SUITE(PicturePlaceTest, Places, PlaceNames);

TYPED_TEST(PicturePlaceTest, AddMakesTheFolderCopiesListsAndTheViewShowsIt)
{
    this->setPatient(QStringLiteral("  20051234 "), QStringLiteral("张三 "));
    const QString chosen = this->cameraFile(QStringLiteral("胸片.jpg"), {60, 40});
    this->add(chosen);

    const QString folder = QStringLiteral("20051234-张三");
    EXPECT_TRUE(this->m_place.folderExists(folder));
    EXPECT_TRUE(this->m_place.bytes(folder, QStringLiteral("胸片.jpg")) == fixtures::readBytes(chosen));
    EXPECT_EQ(this->list()->directory(), this->m_place.folder(folder));
    EXPECT_EQ(this->listed(), QStringList{QStringLiteral("胸片.jpg")});
    EXPECT_TRUE(this->m_tab->view()->isEmpty());

    this->list()->setCurrentRow(0);
    EXPECT_EQ(this->m_tab->view()->pictureSize(), QSize(60, 40));
    this->expectNoMessages();
}

TYPED_TEST(PicturePlaceTest, SecondAddOfANameCopiesNothingAndSaysNothing)
{
    this->setPatient(QStringLiteral("1"), QStringLiteral("李四"));
    const QString first = this->cameraFile(QStringLiteral("ct.jpg"), {60, 40});
    this->add(first);
    QTemporaryDir elsewhere;
    const QString second = elsewhere.filePath(QStringLiteral("ct.jpg"));
    ASSERT_TRUE(fixtures::saveJpeg(second, {90, 90}, Qt::blue));
    this->add(second);

    EXPECT_TRUE(this->m_place.bytes(QStringLiteral("1-李四"), QStringLiteral("ct.jpg")) ==
                fixtures::readBytes(first));
    EXPECT_EQ(this->m_place.stored(QStringLiteral("1-李四")), QStringList{QStringLiteral("ct.jpg")});
    EXPECT_TRUE(this->m_dialogs.fileAnswers.empty());
    this->expectNoMessages();
}

TYPED_TEST(PicturePlaceTest, OtherFilesAreStoredButOnlyJpegIsListedWhateverItsCase)
{
    this->setPatient(QStringLiteral("2"), QStringLiteral("王五"));
    const QString bitmap = this->m_camera.filePath(QStringLiteral("scan.bmp"));
    ASSERT_TRUE(fixtures::twoToned({20, 20}, Qt::red).save(bitmap, "bmp"));
    this->add(bitmap);
    this->add(this->cameraFile(QStringLiteral("IMG_0001.JPG")));
    this->add(this->cameraFile(QStringLiteral("b.jpg")));

    EXPECT_TRUE(this->m_place.stored(QStringLiteral("2-王五")).contains(QStringLiteral("scan.bmp")));
    EXPECT_EQ(this->listed(), (QStringList{QStringLiteral("b.jpg"), QStringLiteral("IMG_0001.JPG")}));
    this->expectNoMessages();
}

TYPED_TEST(PicturePlaceTest, CancelLeavesAnEmptyFolderAndLoadShowsItOrTheApplicationFolder)
{
    const QString app = this->m_place.app.path();
    ASSERT_TRUE(fixtures::saveJpeg(app + QStringLiteral("/logo.jpg"), {10, 10}));
    this->setPatient(QStringLiteral("3"), QStringLiteral("赵六"));
    this->add(std::nullopt);
    EXPECT_TRUE(this->m_place.folderExists(QStringLiteral("3-赵六")));
    EXPECT_TRUE(this->m_place.stored(QStringLiteral("3-赵六")).isEmpty());

    this->m_tab->loadButton()->click();
    EXPECT_EQ(this->list()->directory(), this->m_place.folder(QStringLiteral("3-赵六")));
    EXPECT_TRUE(this->listed().isEmpty());

    // No folder for this patient: the desktop's application folder, whose pictures also show.
    this->setPatient(QStringLiteral("4"), QStringLiteral("孙七"));
    this->m_tab->loadButton()->click();
    EXPECT_EQ(this->list()->directory(), app);
    EXPECT_EQ(this->listed(), QStringList{QStringLiteral("logo.jpg")});
    this->list()->setCurrentRow(0);
    EXPECT_EQ(this->m_tab->view()->pictureSize(), QSize(10, 10));
    this->expectNoMessages();
}

TYPED_TEST(PicturePlaceTest, AFileOfWholeBlocksArrivesByteForByte)
{
    this->setPatient(QStringLiteral("5"), QStringLiteral("周八"));
    for (const qint64 size : {TypeParam::blockSize * 2, qint64(0), TypeParam::blockSize + 1}) {
        SCOPED_TRACE(size);
        const QString name = QStringLiteral("p%1.jpg").arg(size);
        const QString chosen = this->m_camera.filePath(name);
        ASSERT_TRUE(fixtures::writeBytes(chosen, fixtures::pattern(size)));
        this->add(chosen);
        const QByteArray copy = this->m_place.bytes(QStringLiteral("5-周八"), name);
        EXPECT_EQ(copy.size(), size);
        EXPECT_TRUE(copy == fixtures::pattern(size));
    }
    this->expectNoMessages();
}

} // namespace
