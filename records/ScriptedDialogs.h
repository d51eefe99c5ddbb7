#pragma once
#include "records/Dialogs.h"

#include <QStringList>
#include <deque>

// Dialogs for widget tests: answers are queued beforehand, and everything shown is
// recorded. Installs itself while it lives. A box asked for without a queued answer
// gets the default (Cancel for questions and choosers).
class ScriptedDialogs : public Dialogs
{
public:
    ScriptedDialogs() { Dialogs::install(this); }
    ~ScriptedDialogs() override { Dialogs::install(nullptr); }

    std::deque<bool> confirmAnswers;
    std::deque<std::optional<QString>> inputAnswers;
    std::deque<std::optional<QString>> fileAnswers; // save and picture choosers
    std::deque<std::optional<QFont>> fontAnswers;
    std::deque<int> choiceAnswers;
    std::deque<std::optional<QString>> passwordAnswers;
    std::deque<std::optional<SignInAnswer>> signInAnswers;

    QStringList informations;
    QStringList confirmations;
    QStringList errors;
    QStringList inputCaptions;
    QStringList fileInitialNames; // the name each save chooser opened with
    QStringList choices;          // the text of each question with buttons of its own
    QStringList passwordPrompts;
    QStringList openFolders;    // the folder each backup chooser opened in
    QStringList signInMessages; // why each sign-in window asked
    QStringList signInUsers;    // the role each sign-in window offered

    void information(const QString &text) override { informations << text; }
    bool confirm(const QString &text) override
    {
        confirmations << text;
        return pop(confirmAnswers, false);
    }
    void error(const QString &text) override { errors << text; }
    std::optional<QString> inputText(const QString &caption, const QString &, const QString &) override
    {
        inputCaptions << caption;
        return pop(inputAnswers, std::optional<QString>());
    }
    std::optional<QString> password(const QString &, const QString &prompt) override
    {
        passwordPrompts << prompt;
        return pop(passwordAnswers, std::optional<QString>());
    }
    std::optional<QString> openBackupFileName(QWidget *, const QString &folder) override
    {
        openFolders << folder;
        return pop(fileAnswers, std::optional<QString>());
    }
    std::optional<QString> saveFileName(QWidget *, const QString &initialName) override
    {
        fileInitialNames << initialName;
        return pop(fileAnswers, std::optional<QString>());
    }
    std::optional<QString> openPictureFileName(QWidget *) override
    {
        return pop(fileAnswers, std::optional<QString>());
    }
    std::optional<QFont> chooseFont(QWidget *, const QFont &) override
    {
        return pop(fontAnswers, std::optional<QFont>());
    }
    int choose(const QString &, const QString &text, const QStringList &) override
    {
        choices << text;
        return pop(choiceAnswers, -1);
    }
    std::optional<QString> openDatabaseFileName(QWidget *) override
    {
        return pop(fileAnswers, std::optional<QString>());
    }
    std::optional<SignInAnswer> signIn(const QString &, const QString &user, const QString &message) override
    {
        signInUsers << user;
        signInMessages << message;
        return pop(signInAnswers, std::optional<SignInAnswer>());
    }

private:
    template <class T> static T pop(std::deque<T> &queue, T fallback)
    {
        if (queue.empty())
            return fallback;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};
