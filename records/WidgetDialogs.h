#pragma once
#include "records/Dialogs.h"

// The real boxes and choosers, shown with Qt's standard dialogs.
class WidgetDialogs : public Dialogs
{
public:
    void information(const QString &text) override;
    bool confirm(const QString &text) override;
    void error(const QString &text) override;
    std::optional<QString> inputText(const QString &caption, const QString &prompt,
                                     const QString &defaultText) override;
    std::optional<QString> password(const QString &caption, const QString &prompt) override;
    std::optional<QString> openBackupFileName(QWidget *parent, const QString &folder) override;
    std::optional<QString> saveFileName(QWidget *parent, const QString &initialName) override;
    std::optional<QString> openPictureFileName(QWidget *parent) override;
    std::optional<QFont> chooseFont(QWidget *parent, const QFont &initial) override;
    int choose(const QString &caption, const QString &text, const QStringList &buttons) override;
    std::optional<QString> openDatabaseFileName(QWidget *parent) override;
    std::optional<SignInAnswer> signIn(const QString &server, const QString &user, const QString &message) override;
};
