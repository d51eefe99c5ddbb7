// Chinese standard dialogs and window titles that are exactly their captions.
#include "app/Translations.h"
#include "AppFixture.h"

#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>

TEST(Translations, MessageBoxButtonsReadInChinese)
{
    ASSERT_TRUE(loadQtTranslations()) << "Debian qt6-translations-l10n provides qtbase_zh_CN.qm";
    QMessageBox box(QMessageBox::Question, QStringLiteral("注意!"), QStringLiteral("删除记录？"),
                    QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("取消"));
    QDialogButtonBox buttons(QDialogButtonBox::Save | QDialogButtonBox::Close);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Save)->text(), QStringLiteral("保存"));
    EXPECT_EQ(buttons.button(QDialogButtonBox::Close)->text(), QStringLiteral("关闭"));
}

class WindowTitles : public AppFixture
{
};

TEST_F(WindowTitles, NoDisplayNameIsAppendedToTheCaptions)
{
    start();
    EXPECT_EQ(form1()->windowTitle(), QStringLiteral("Quillcase BetaVersion-0.03.8"));
    EXPECT_EQ(QApplication::applicationName(), QStringLiteral("Quillcase"));
    // Qt appends a display name that was set to every window title on the desktop
    // ("… — Quillcase"); one that was never set follows the application name.
    QApplication::setApplicationName(QStringLiteral("probe"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("probe"));
    QApplication::setApplicationName(QStringLiteral("Quillcase"));
}
