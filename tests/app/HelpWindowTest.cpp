// The help file built from packaging/help and the program's own help window reading it.
#include "app/HelpWindow.h"
#include "AppFixture.h"
#include "app/HelpFile.h"

#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

const QString builtHelp = QStringLiteral(QC_BINARY_DIR "/Quillcase.chm");

QStringList contentNames(QTreeWidget *tree)
{
    QStringList names;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        names << (*it)->text(0);
    return names;
}

} // namespace

TEST(HelpWindow, ShowsTheGuideWithItsContentsLinksAndPictures)
{
    ASSERT_TRUE(QFileInfo(builtHelp).isFile()) << "the build compiles the help file beside the program";
    HelpWindow window(builtHelp);
    ASSERT_TRUE(window.isOpen());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("帮助"));
    EXPECT_TRUE(window.browser()->toPlainText().contains(QStringLiteral("Quillcase 使用说明")));
    const QStringList names = contentNames(window.contents());
    for (const char *topic : {"开始使用", "键盘命令", "备份", "数据存放位置", "出了问题怎么办"})
        EXPECT_TRUE(names.contains(QString::fromUtf8(topic))) << topic;
    // The pictures of a page come out of the help file.
    const QVariant picture = window.browser()->document()->resource(QTextDocument::ImageResource,
                                                                    QUrl(QStringLiteral("images/main.png")));
    QImage image = qvariant_cast<QImage>(picture);
    if (image.isNull())
        image.loadFromData(picture.toByteArray());
    EXPECT_GT(image.width(), 300);
    // A click in the contents and a link in a page both open their page.
    for (QTreeWidgetItemIterator it(window.contents()); *it; ++it) {
        if ((*it)->text(0) == QStringLiteral("备份"))
            emit window.contents()->itemClicked(*it, 0);
    }
    EXPECT_TRUE(window.browser()->toPlainText().contains(QStringLiteral("Ctrl+B")));
    window.browser()->setSource(QUrl(QStringLiteral("data.html")));
    EXPECT_TRUE(window.browser()->toPlainText().contains(QStringLiteral(".local/share/Quillcase/data")));
}

TEST(HelpWindow, CtrlHWithoutAViewerOpensTheOwnWindowAndAMissingFileNothing)
{
    QTemporaryDir dir;
    EXPECT_EQ(help::showHelpFile(dir.path() + QStringLiteral("/Quillcase.chm"), QString(), nullptr), nullptr);
    QFile notHelp(dir.path() + QStringLiteral("/broken.chm"));
    ASSERT_TRUE(notHelp.open(QIODevice::WriteOnly));
    notHelp.write("this is no compiled help file");
    notHelp.close();
    EXPECT_EQ(help::showHelpFile(notHelp.fileName(), QString(), nullptr), nullptr);
    for (QWidget *w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();

    HelpWindow *window = help::showHelpFile(builtHelp, QString(), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    // The next Ctrl+H raises the same window.
    EXPECT_EQ(help::showHelpFile(builtHelp, QString(), nullptr), window);
    window->close();
}

namespace {
HelpWindow *visibleHelpWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *help = qobject_cast<HelpWindow *>(w); help && help->isVisible())
            return help;
    return nullptr;
}
} // namespace

using HelpKey = AppFixture;

TEST_F(HelpKey, CtrlHOpensTheHelpFileBesideTheProgram)
{
    if (!help::associatedViewer().isEmpty())
        GTEST_SKIP() << "this desktop has a viewer of .chm files, which Ctrl+H would start";
    start();
    QTest::keyClick(find<QWidget>("DBEdit2"), Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(visibleHelpWindow(), nullptr) << "a missing help file shows nothing";
    EXPECT_TRUE(dialogs.errors.isEmpty());

    ASSERT_TRUE(QFile::copy(builtHelp, folder() + QStringLiteral("Quillcase.chm")));
    QTest::keyClick(find<QWidget>("DBEdit2"), Qt::Key_H, Qt::ControlModifier);
    HelpWindow *window = visibleHelpWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->browser()->toPlainText().contains(QStringLiteral("Quillcase 使用说明")));
    window->close();
}
