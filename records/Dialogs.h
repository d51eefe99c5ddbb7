#pragma once
#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

// What the doctor typed into the sign-in window of the ward's server.
struct SignInAnswer
{
    QString user;
    QString password;
};

// Every box or chooser the user must answer goes through this interface, so that
// widget tests can answer them. The program installs WidgetDialogs; tests install
// ScriptedDialogs.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // Plain message: title "Quillcase", the text, one OK button.
    virtual void information(const QString &text) = 0;
    // Confirmation: OK and Cancel, question icon, title "注意!", owned by no window. True for OK.
    virtual bool confirm(const QString &text) = 0;
    // Error box: stop icon, title "Quillcase", OK. The text arrives finished (see errorBoxText).
    virtual void error(const QString &text) = 0;
    // Text input with a caption, a prompt and a default text; nullopt for Cancel.
    virtual std::optional<QString> inputText(const QString &caption, const QString &prompt,
                                             const QString &defaultText) = 0;
    // Passphrase input: the typed characters are not shown; nullopt for Cancel.
    virtual std::optional<QString> password(const QString &caption, const QString &prompt) = 0;
    // Open-file chooser for a backup to restore, opened in `folder`, every file offered;
    // nullopt when cancelled.
    virtual std::optional<QString> openBackupFileName(QWidget *parent, const QString &folder) = 0;
    // Save-file chooser with no filter and no default extension, opened with the given
    // name; nullopt when cancelled.
    virtual std::optional<QString> saveFileName(QWidget *parent, const QString &initialName) = 0;
    // Picture-open chooser with a preview, filtered to the picture formats the program reads.
    virtual std::optional<QString> openPictureFileName(QWidget *parent) = 0;
    // Font chooser starting from the given font.
    virtual std::optional<QFont> chooseFont(QWidget *parent, const QFont &initial) = 0;
    // A question with buttons of its own; the index of the button pressed, -1 when the
    // box was closed without one.
    virtual int choose(const QString &caption, const QString &text, const QStringList &buttons) = 0;
    // Open chooser for a record database file (Quillcase.dat).
    virtual std::optional<QString> openDatabaseFileName(QWidget *parent) = 0;
    // The sign-in window of the ward's server ("登录病区服务器"): the role, offered as given,
    // and the password, with the server's name and why it asks; nullopt when closed without
    // signing in.
    virtual std::optional<SignInAnswer> signIn(const QString &server, const QString &user,
                                               const QString &message) = 0;

    // The dialogs in use; WidgetDialogs unless a test installed others.
    static Dialogs &current();
    // Installs dialogs (not owned); nullptr restores the real ones.
    static void install(Dialogs *dialogs);
};
