#include "records/TFormLogin.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFormLogin::TFormLogin(const QString &server, const QString &user, const QString &message, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormLogin"));
    setWindowTitle(QStringLiteral("登录病区服务器"));
    auto *layout = new QVBoxLayout(this);
    auto *reason =
        new QLabel(message.isEmpty() ? server : QStringLiteral("%1\n%2").arg(server, message), this);
    reason->setObjectName(QStringLiteral("LabelMessage"));
    reason->setWordWrap(true);
    layout->addWidget(reason);
    auto *fields = new QFormLayout;
    m_editUser = new QLineEdit(user, this);
    m_editUser->setObjectName(QStringLiteral("EditUser"));
    m_editPassword = new QLineEdit(this);
    m_editPassword->setObjectName(QStringLiteral("EditPassword"));
    m_editPassword->setEchoMode(QLineEdit::Password);
    fields->addRow(QStringLiteral("用户名："), m_editUser);
    fields->addRow(QStringLiteral("密码："), m_editPassword);
    layout->addLayout(fields);
    m_buttonLogin = new QPushButton(QStringLiteral("登录"), this);
    m_buttonLogin->setObjectName(QStringLiteral("ButtonLogin"));
    m_buttonLogin->setDefault(true);
    layout->addWidget(m_buttonLogin, 0, Qt::AlignRight);
    connect(m_buttonLogin, &QPushButton::clicked, this, &QDialog::accept);
    // The password is asked for the role offered; a role to type comes first otherwise.
    (user.isEmpty() ? m_editUser : m_editPassword)->setFocus();
}

SignInAnswer TFormLogin::answer() const
{
    return SignInAnswer{m_editUser->text().trimmed(), m_editPassword->text()};
}
