#include "records/TFormLogin.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(TFormLoginTest, OffersTheRoleHidesThePasswordAndSignsInWithTheButton)
{
    TFormLogin form(QStringLiteral("病区服务器"), QStringLiteral("doctor_wang"),
                    QStringLiteral("登录未成功"));
    EXPECT_EQ(form.objectName(), "TFormLogin");
    EXPECT_EQ(form.windowTitle(), "登录病区服务器");
    auto *user = form.findChild<QLineEdit *>(QStringLiteral("EditUser"));
    auto *password = form.findChild<QLineEdit *>(QStringLiteral("EditPassword"));
    auto *button = form.findChild<QPushButton *>(QStringLiteral("ButtonLogin"));
    ASSERT_TRUE(user && password && button);
    EXPECT_EQ(user->text(), "doctor_wang");
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    user->setText(QStringLiteral(" doctor_li "));
    password->setText(QStringLiteral(" 密码 "));
    form.show();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    // The role loses stray blanks; the password is taken exactly as typed.
    EXPECT_EQ(form.answer().user, "doctor_li");
    EXPECT_EQ(form.answer().password, " 密码 ");
}

} // namespace
