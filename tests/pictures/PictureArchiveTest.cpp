#include "pictures/PictureArchive.h"
#include "SmallDisk.h"
#include "pictures/PictureTab.h"
#include "pictures/PictureView.h"
#include "records/FileListBox.h"
#include "records/ScriptedDialogs.h"
#include "tests/pictures/PictureFixtures.h"
#include "text/SharedValues.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// A small stand-in for the main window: the admission-number and name boxes and the
// picture tab, with an application folder holding data/images/ and a folder of
// pictures to choose from.
class PictureArchiveTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_app.isValid());
        ASSERT_TRUE(m_camera.isValid());
        text::shared().applicationFolder = m_app.path() + QLatin1Char('/');
        ASSERT_TRUE(QDir().mkpath(imagesFolder()));

        m_id = new QLineEdit(&m_root);
        m_id->setObjectName(QStringLiteral("DBEdit5"));
        m_name = new QLineEdit(&m_root);
        m_name->setObjectName(QStringLiteral("DBEdit2"));
        m_tab = new PictureTab(&m_root);
        m_tab->resize(400, 500);
        m_archive = std::make_unique<PictureArchive>(&m_root, m_tab);
    }

    QString imagesFolder() const { return m_app.path() + QStringLiteral("/data/images"); }
    QString patientFolder(const QString &name) const { return imagesFolder() + QLatin1Char('/') + name; }
    QString appFolder() const { return m_app.path(); }

    QString cameraFile(const QString &name, const QSize &size = {60, 40}, const QColor &color = Qt::red)
    {
        const QString path = m_camera.filePath(name);
        EXPECT_TRUE(fixtures::saveJpeg(path, size, color));
        return path;
    }

    void setPatient(const QString &id, const QString &name)
    {
        m_id->setText(id);
        m_name->setText(name);
    }

    // Presses "Add" with the chooser answering the given file (or Cancel for nullopt).
    void add(const std::optional<QString> &chosen)
    {
        m_dialogs.fileAnswers.push_back(chosen);
        m_tab->findChild<QPushButton *>(QStringLiteral("Button1"))->click();
    }
    void load() { m_tab->findChild<QPushButton *>(QStringLiteral("Button3"))->click(); }

    FileListBox *list() const { return m_tab->findChild<FileListBox *>(QStringLiteral("FileListBox2")); }
    PictureView *view() const { return m_tab->findChild<PictureView *>(QStringLiteral("Image1")); }
    QStringList listed() const
    {
        QStringList names;
        for (int i = 0; i < list()->count(); ++i)
            names << list()->item(i)->text();
        return names;
    }
    void click(const QString &name)
    {
        const auto items = list()->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        list()->setCurrentItem(items.first());
    }

    QTemporaryDir m_app;
    QTemporaryDir m_camera;
    ScriptedDialogs m_dialogs;
    QWidget m_root;
    QLineEdit *m_id = nullptr;
    QLineEdit *m_name = nullptr;
    PictureTab *m_tab = nullptr;
    std::unique_ptr<PictureArchive> m_archive;
};

} // namespace

TEST_F(PictureArchiveTest, TabHoldsItsNamedControls)
{
    EXPECT_EQ(m_tab->objectName(), QStringLiteral("TabSheet12"));
    EXPECT_EQ(m_tab->findChild<QPushButton *>(QStringLiteral("Button1"))->text(), QStringLiteral("Add"));
    EXPECT_EQ(m_tab->findChild<QPushButton *>(QStringLiteral("Button3"))->text(), QStringLiteral("Load"));
    EXPECT_EQ(list()->mask(), QStringLiteral("*.jpg"));
    ASSERT_NE(view(), nullptr);
    const auto *filter = m_tab->findChild<QComboBox *>(QStringLiteral("FilterComboBox1"));
    ASSERT_NE(filter, nullptr);
    EXPECT_TRUE(filter->isHidden());
    EXPECT_NE(m_tab->findChild<QWidget *>(QStringLiteral("Panel1")), nullptr);
}

TEST_F(PictureArchiveTest, AddCreatesTheFolderCopiesAndLists)
{
    setPatient(QStringLiteral("  20051234 "), QStringLiteral("张三 "));
    const QString chosen = cameraFile(QStringLiteral("胸片.jpg"));
    add(chosen);

    const QString folder = patientFolder(QStringLiteral("20051234-张三"));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(fixtures::readBytes(folder + QStringLiteral("/胸片.jpg")) == fixtures::readBytes(chosen));
    EXPECT_EQ(list()->directory(), folder);
    EXPECT_EQ(listed(), QStringList{QStringLiteral("胸片.jpg")});
    EXPECT_TRUE(view()->isEmpty()); // "Add" leaves the view alone
    EXPECT_TRUE(m_dialogs.informations.isEmpty());
    EXPECT_TRUE(m_dialogs.errors.isEmpty());
}

TEST_F(PictureArchiveTest, SecondAddOfTheSameNameCopiesNothingAndSaysNothing)
{
    setPatient(QStringLiteral("1"), QStringLiteral("李四"));
    const QString first = cameraFile(QStringLiteral("ct.jpg"), {60, 40}, Qt::red);
    add(first);
    QTemporaryDir elsewhere;
    const QString second = elsewhere.filePath(QStringLiteral("ct.jpg"));
    ASSERT_TRUE(fixtures::saveJpeg(second, {90, 90}, Qt::blue));
    add(second);

    const QString copy = patientFolder(QStringLiteral("1-李四")) + QStringLiteral("/ct.jpg");
    EXPECT_TRUE(fixtures::readBytes(copy) == fixtures::readBytes(first));
    EXPECT_EQ(listed(), QStringList{QStringLiteral("ct.jpg")});
    EXPECT_TRUE(m_dialogs.fileAnswers.empty()); // the chooser was asked both times
    EXPECT_TRUE(m_dialogs.informations.isEmpty());
    EXPECT_TRUE(m_dialogs.errors.isEmpty());
}

TEST_F(PictureArchiveTest, OnlyJpegFilesAreListedWhateverTheirCase)
{
    setPatient(QStringLiteral("2"), QStringLiteral("王五"));
    const QString bitmap = m_camera.filePath(QStringLiteral("scan.bmp"));
    ASSERT_TRUE(fixtures::twoToned({20, 20}, Qt::red).save(bitmap, "bmp"));
    add(bitmap);
    add(cameraFile(QStringLiteral("IMG_0001.JPG")));
    add(cameraFile(QStringLiteral("b.jpg")));

    const QString folder = patientFolder(QStringLiteral("2-王五"));
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/scan.bmp"))); // copied, but not listed
    EXPECT_EQ(listed(), (QStringList{QStringLiteral("b.jpg"), QStringLiteral("IMG_0001.JPG")}));
}

TEST_F(PictureArchiveTest, CancelledAddLeavesANewEmptyFolder)
{
    setPatient(QStringLiteral("3"), QStringLiteral("赵六"));
    list()->setDirectory(appFolder());
    add(std::nullopt);
    const QString folder = patientFolder(QStringLiteral("3-赵六"));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(QDir(folder).isEmpty());
    EXPECT_EQ(list()->directory(), appFolder()); // the list is not re-read on cancel
}

TEST_F(PictureArchiveTest, AddOrLoadWithoutNumberOrNameOnlySaysSo)
{
    const std::pair<QString, QString> patients[] = {
        {QString(), QStringLiteral("张三")},
        {QStringLiteral("12"), QString()},
        {QStringLiteral(" \t"), QStringLiteral(" ")},
    };
    list()->setDirectory(appFolder());
    for (const auto &[id, name] : patients) {
        SCOPED_TRACE(id.toStdString() + "/" + name.toStdString());
        setPatient(id, name);
        m_dialogs.informations.clear();
        add(cameraFile(QStringLiteral("a.jpg")));
        load();
        EXPECT_EQ(m_dialogs.informations, QStringList(2, QStringLiteral("住院号 or 姓名  Missing!!")));
        EXPECT_EQ(m_dialogs.fileAnswers.size(), 1u); // the chooser was not shown
        m_dialogs.fileAnswers.clear();
        EXPECT_TRUE(QDir(imagesFolder()).isEmpty());
        EXPECT_EQ(list()->directory(), appFolder());
    }
}

TEST_F(PictureArchiveTest, NumberOrNameThatWouldLeaveThePictureRootIsRefused)
{
    const std::pair<QString, QString> patients[] = {
        {QStringLiteral("../.."), QStringLiteral("x")},
        {QStringLiteral("12"), QStringLiteral("a/b")},
        {QStringLiteral(".."), QStringLiteral("张三")},
        {QStringLiteral("12\\3"), QStringLiteral("张三")},
    };
    for (const auto &[id, name] : patients) {
        SCOPED_TRACE(id.toStdString() + "/" + name.toStdString());
        setPatient(id, name);
        m_dialogs.errors.clear();
        add(cameraFile(QStringLiteral("a.jpg")));
        ASSERT_EQ(m_dialogs.errors.size(), 1);
        EXPECT_TRUE(m_dialogs.errors.first().contains(QStringLiteral("不能用作图片文件夹名")));
        EXPECT_EQ(m_dialogs.fileAnswers.size(), 1u);
        m_dialogs.fileAnswers.clear();
        EXPECT_TRUE(QDir(imagesFolder()).isEmpty());
        // Nothing appeared beside or above the picture root either.
        EXPECT_EQ(
            QDir(m_app.path() + QStringLiteral("/data")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            QStringList{QStringLiteral("images")});
    }
}

TEST_F(PictureArchiveTest, MissingPictureRootIsReportedOnCreatingTheFolder)
{
    ASSERT_TRUE(QDir(imagesFolder()).removeRecursively());
    setPatient(QStringLiteral("5"), QStringLiteral("孙八"));
    add(cameraFile(QStringLiteral("a.jpg")));
    ASSERT_EQ(m_dialogs.errors.size(), 1);
    EXPECT_TRUE(m_dialogs.errors.first().contains(QStringLiteral("5-孙八")));
    EXPECT_EQ(m_dialogs.fileAnswers.size(), 1u);
    EXPECT_FALSE(QFileInfo::exists(imagesFolder()));
}

TEST_F(PictureArchiveTest, ChosenFileThatCannotBeReadIsReportedAndLeavesNoCopy)
{
    setPatient(QStringLiteral("6"), QStringLiteral("周九"));
    add(m_camera.filePath(QStringLiteral("vanished.jpg")));
    ASSERT_EQ(m_dialogs.errors.size(), 1);
    EXPECT_TRUE(m_dialogs.errors.first().contains(QStringLiteral("vanished.jpg")));
    EXPECT_TRUE(QDir(patientFolder(QStringLiteral("6-周九"))).isEmpty());
}

TEST_F(PictureArchiveTest, LoadShowsThePatientFolderOrElseTheApplicationFolder)
{
    ASSERT_TRUE(fixtures::saveJpeg(appFolder() + QStringLiteral("/logo.jpg"), {10, 10}));
    ASSERT_TRUE(QDir().mkpath(patientFolder(QStringLiteral("7-吴十"))));
    ASSERT_TRUE(
        fixtures::saveJpeg(patientFolder(QStringLiteral("7-吴十")) + QStringLiteral("/x.jpg"), {10, 10}));

    setPatient(QStringLiteral(" 7"), QStringLiteral("吴十 "));
    load();
    EXPECT_EQ(list()->directory(), patientFolder(QStringLiteral("7-吴十")));
    EXPECT_EQ(listed(), QStringList{QStringLiteral("x.jpg")});

    setPatient(QStringLiteral("8"), QStringLiteral("郑一"));
    load();
    EXPECT_EQ(list()->directory(), appFolder());
    EXPECT_EQ(listed(), QStringList{QStringLiteral("logo.jpg")});
    EXPECT_TRUE(m_dialogs.informations.isEmpty());

    // A new file in the folder shows after "Load" re-reads it.
    ASSERT_TRUE(fixtures::saveJpeg(appFolder() + QStringLiteral("/new.jpg"), {10, 10}));
    load();
    EXPECT_EQ(listed(), (QStringList{QStringLiteral("logo.jpg"), QStringLiteral("new.jpg")}));
}

TEST_F(PictureArchiveTest, ClickingAFileShowsItAndABrokenOneKeepsThePicture)
{
    setPatient(QStringLiteral("9"), QStringLiteral("钱二"));
    add(cameraFile(QStringLiteral("a.jpg"), {60, 40}));
    const QByteArray whole = fixtures::jpegBytes({120, 80});
    ASSERT_TRUE(fixtures::writeBytes(patientFolder(QStringLiteral("9-钱二")) + QStringLiteral("/cut.jpg"),
                                     whole.left(whole.size() * 2 / 3)));
    load();
    ASSERT_EQ(listed(), (QStringList{QStringLiteral("a.jpg"), QStringLiteral("cut.jpg")}));

    click(QStringLiteral("a.jpg"));
    EXPECT_EQ(view()->pictureSize(), QSize(60, 40));
    EXPECT_TRUE(m_dialogs.errors.isEmpty());

    click(QStringLiteral("cut.jpg"));
    ASSERT_EQ(m_dialogs.errors.size(), 1);
    EXPECT_TRUE(m_dialogs.errors.first().contains(QStringLiteral("cut.jpg")));
    EXPECT_EQ(view()->pictureSize(), QSize(60, 40));
}

TEST_F(PictureArchiveTest, ShowingTheTabFollowsOnlyAnExistingFolder)
{
    QTabWidget pages;
    auto *first = new QWidget;
    pages.addTab(first, QStringLiteral("入院记录"));
    m_tab->setParent(nullptr);
    pages.addTab(m_tab, QStringLiteral("图片资料"));
    // The tab now lives in the page control, the boxes stay under the root.
    pages.show();

    setPatient(QStringLiteral("10"), QStringLiteral("甲"));
    add(cameraFile(QStringLiteral("a.jpg")));
    const QString folderA = patientFolder(QStringLiteral("10-甲"));
    click(QStringLiteral("a.jpg"));
    ASSERT_FALSE(view()->isEmpty());

    // Another patient without a folder, reached without the patient-list click.
    setPatient(QStringLiteral("11"), QStringLiteral("乙"));
    pages.setCurrentIndex(1);
    pages.setCurrentIndex(0);
    EXPECT_EQ(list()->directory(), folderA);
    EXPECT_FALSE(view()->isEmpty());

    // Coming back to the tab for a patient whose folder exists shows it; the view stays.
    ASSERT_TRUE(QDir().mkpath(patientFolder(QStringLiteral("12-丙"))));
    setPatient(QStringLiteral("12"), QStringLiteral("丙"));
    pages.setCurrentIndex(1);
    EXPECT_EQ(list()->directory(), patientFolder(QStringLiteral("12-丙")));
    EXPECT_FALSE(view()->isEmpty());

    // Number and name are not tested for emptiness here: an empty name with a folder "13-" counts.
    ASSERT_TRUE(QDir().mkpath(patientFolder(QStringLiteral("13-"))));
    setPatient(QStringLiteral("13"), QString());
    pages.setCurrentIndex(0);
    pages.setCurrentIndex(1);
    EXPECT_EQ(list()->directory(), patientFolder(QStringLiteral("13-")));
    EXPECT_TRUE(m_dialogs.informations.isEmpty());
    m_tab->setParent(&m_root); // the root owns it again, as the fixture expects
}

TEST_F(PictureArchiveTest, PatientListClickShowsTheFolderOrTheApplicationFolderAndEmptiesTheView)
{
    ASSERT_TRUE(QDir().mkpath(patientFolder(QStringLiteral("20-甲"))));
    ASSERT_TRUE(
        fixtures::saveJpeg(patientFolder(QStringLiteral("20-甲")) + QStringLiteral("/p.jpg"), {10, 10}));
    struct Case
    {
        QString id, name, folder;
    };
    const Case cases[] = {
        {QStringLiteral("20"), QStringLiteral("甲"), patientFolder(QStringLiteral("20-甲"))},
        {QStringLiteral("21"), QStringLiteral("乙"), appFolder()}, // no folder
        {QString(), QStringLiteral("甲"), appFolder()},
        {QStringLiteral("20"), QString(), appFolder()},
        {QStringLiteral("../20"), QStringLiteral("甲"), appFolder()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.id.toStdString() + "/" + c.name.toStdString());
        view()->loadPicture(patientFolder(QStringLiteral("20-甲")) + QStringLiteral("/p.jpg"));
        setPatient(c.id, c.name);
        m_archive->patientListClicked();
        EXPECT_EQ(list()->directory(), c.folder);
        EXPECT_TRUE(view()->isEmpty());
    }
    EXPECT_TRUE(m_dialogs.informations.isEmpty());
    EXPECT_TRUE(m_dialogs.errors.isEmpty());
}

TEST_F(PictureArchiveTest, PatientFoldersAndPicturesAreForTheirOwnerAlone)
{
    const mode_t oldMask = ::umask(0); // a lax umask changes nothing
    setPatient(QStringLiteral("7"), QStringLiteral("李四"));
    add(cameraFile(QStringLiteral("心电图.jpg")));
    ::umask(oldMask);
    const QString folder = patientFolder(QStringLiteral("7-李四"));
    struct stat info;
    ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);
    ASSERT_EQ(::stat(QFile::encodeName(folder + QStringLiteral("/心电图.jpg")).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
}

TEST_F(PictureArchiveTest, OnAFullDiskTheCopyIsRefusedAndLeavesNothing)
{
    SmallDisk disk(256);
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason().toStdString();
    QDir().mkpath(disk.filePath(QStringLiteral("data/images")));
    text::shared().applicationFolder = disk.path() + QLatin1Char('/');
    const QString chosen = m_camera.filePath(QStringLiteral("胸片.jpg"));
    ASSERT_TRUE(fixtures::writeBytes(chosen, fixtures::pattern(100 * 1024)));
    setPatient(QStringLiteral("8"), QStringLiteral("王五"));
    add(std::nullopt); // the folder first, while there is room
    disk.fill();
    add(chosen);
    ASSERT_EQ(m_dialogs.errors.size(), 1);
    EXPECT_TRUE(m_dialogs.errors.first().contains(QStringLiteral("胸片.jpg")))
        << m_dialogs.errors.first().toStdString();
    EXPECT_TRUE(m_dialogs.errors.first().contains(QStringLiteral("磁盘空间不足")))
        << m_dialogs.errors.first().toStdString();
    const QString folder = disk.filePath(QStringLiteral("data/images/8-王五"));
    EXPECT_TRUE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}
