#pragma once
#include "records/Dialogs.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// "登录病区服务器": the doctor's server role and password, asked when the ward's server wants
// a password. The password is handed on and never written anywhere.
class TFormLogin : public QDialog
{
    Q_OBJECT
public:
    TFormLogin(const QString &server, const QString &user, const QString &message, QWidget *parent = nullptr);

    SignInAnswer answer() const;

private:
    QLineEdit *m_editUser;
    QLineEdit *m_editPassword;
    QPushButton *m_buttonLogin;
};
