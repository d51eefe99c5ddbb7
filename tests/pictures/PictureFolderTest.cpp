#include "pictures/PictureFolder.h"
#include "pictures/PictureTab.h"
#include "records/FileListBox.h"
#include "text/Error.h"
#include "text/SharedValues.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct NameCase
{
    const char *id;
    const char *name;
    const char *folder;
};

} // namespace

TEST(PictureFolder, NameIsTrimmedNumberHyphenTrimmedName)
{
    const NameCase cases[] = {
        {"20051234", "张三", "20051234-张三"},
        {"  20051234 ", "张三 ", "20051234-张三"},
        {"\t20051234\r\n", "\n李四\t", "20051234-李四"},
        // Inner blanks and the full-width blank are text and stay.
        {"2005 1234", "欧阳 娜娜", "2005 1234-欧阳 娜娜"},
        {"　12", "王五　", "　12-王五　"},
        {"A-1", "x", "A-1-x"},
    };
    for (const NameCase &c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(pictures::folderName(QString::fromUtf8(c.id), QString::fromUtf8(c.name)),
                  QString::fromUtf8(c.folder));
        EXPECT_EQ(pictures::folderPath(QStringLiteral("/r/images/"), QString::fromUtf8(c.id),
                                       QString::fromUtf8(c.name)),
                  QStringLiteral("/r/images/") + QString::fromUtf8(c.folder));
    }
}

TEST(PictureFolder, KeyMissingWhenNumberOrNameIsBlank)
{
    EXPECT_FALSE(pictures::keyMissing(QStringLiteral("1"), QStringLiteral("张三")));
    EXPECT_TRUE(pictures::keyMissing(QString(), QStringLiteral("张三")));
    EXPECT_TRUE(pictures::keyMissing(QStringLiteral("1"), QStringLiteral(" \t\r\n")));
    EXPECT_TRUE(pictures::keyMissing(QStringLiteral("  "), QString()));
    // The full-width blank is text, not a blank.
    EXPECT_FALSE(pictures::keyMissing(QStringLiteral("1"), QStringLiteral("　")));
    EXPECT_EQ(pictures::missingKeyMessage, QStringLiteral("住院号 or 姓名  Missing!!"));
}

TEST(PictureFolder, TextsThatCouldLeaveTheRootAreRefused)
{
    const std::pair<QString, QString> refused[] = {
        {QStringLiteral("../../etc"), QStringLiteral("x")},
        {QStringLiteral("12"), QStringLiteral("a/b")},
        {QStringLiteral("12"), QStringLiteral("/")},
        {QStringLiteral("12\\34"), QStringLiteral("张三")},
        {QStringLiteral(".."), QStringLiteral("张三")},
        {QStringLiteral(" . "), QStringLiteral("张三")},
        {QStringLiteral("12"), QStringLiteral("..")},
        {QStringLiteral("12"), QStringLiteral("张") + QChar(0) + QStringLiteral("三")},
    };
    for (const auto &[id, name] : refused) {
        SCOPED_TRACE(id.toStdString() + " / " + name.toStdString());
        EXPECT_TRUE(pictures::unsafeReason(id, name).has_value());
        EXPECT_THROW(pictures::folderPath(QStringLiteral("/r/images/"), id, name), Error);
        EXPECT_FALSE(pictures::existingFolder(QStringLiteral("/r/images/"), id, name).has_value());
    }
    // Dots inside a text are ordinary characters.
    EXPECT_FALSE(pictures::unsafeReason(QStringLiteral("12.5"), QStringLiteral("...")).has_value());
}

TEST(PictureFolder, RefusalMessageNamesTheTexts)
{
    try {
        pictures::folderPath(QStringLiteral("/r/images/"), QStringLiteral(" 12/3 "), QStringLiteral("张三"));
        FAIL() << "no error";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("12/3")));
        EXPECT_TRUE(e.message().contains(QStringLiteral("图片文件夹")));
    }
}

TEST(PictureFolder, RootIsImagesInTheDataFolderAndExistingFolderNeedsADirectory)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    text::shared().applicationFolder = dir.path() + QLatin1Char('/');
    const QString root = pictures::pictureRoot();
    EXPECT_EQ(root, dir.path() + QStringLiteral("/data/images/"));

    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("7-赵六")));
    EXPECT_EQ(pictures::existingFolder(root, QStringLiteral(" 7 "), QStringLiteral("赵六 ")),
              std::optional<QString>(root + QStringLiteral("7-赵六")));
    EXPECT_FALSE(pictures::existingFolder(root, QStringLiteral("8"), QStringLiteral("赵六")).has_value());
    // A plain file of that name is no picture folder.
    QFile file(root + QStringLiteral("9-钱七"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_FALSE(pictures::existingFolder(root, QStringLiteral("9"), QStringLiteral("钱七")).has_value());
}

// The server's folders have no file system to list them: the rule they use must give what the
// desktop's list shows for the same names.
TEST(PictureFolder, ListedPicturesAreWhatTheDesktopListShows)
{
    const QStringList names = {
        QStringLiteral("b.jpg"),     QStringLiteral("IMG_0001.JPG"), QStringLiteral("scan.bmp"),
        QStringLiteral("a.Jpg"),     QStringLiteral(".hidden.jpg"),  QStringLiteral("jpg"),
        QStringLiteral("x.jpg.bak"), QStringLiteral("胸片.jpg"),     QStringLiteral("C.jpeg")};
    QTemporaryDir dir;
    for (const QString &name : names) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    PictureTab tab;
    tab.fileList()->setDirectory(dir.path());
    QStringList shown;
    for (int i = 0; i < tab.fileList()->count(); ++i)
        shown << tab.fileList()->item(i)->text();
    EXPECT_EQ(pictures::listedPictures(names), shown);
    EXPECT_EQ(shown, (QStringList{QStringLiteral("a.Jpg"), QStringLiteral("b.jpg"),
                                  QStringLiteral("IMG_0001.JPG"), QStringLiteral("胸片.jpg")}));
}
