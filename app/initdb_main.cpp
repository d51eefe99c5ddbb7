// quillcase-initdb <data folder>: creates an empty, encrypted Quillcase.dat in the data
// folder for a first start. It never replaces an existing database.
// quillcase-initdb --passphrase <data folder>: the same, under a passphrase of its own,
// read twice from the terminal without echo (never from the command line).
// quillcase-initdb --verify <file>: the restore drill: checks a backup exactly as the
// restore does and prints what it holds; exits non-zero when it could not be restored.
#include "records/BackupCheck.h"
#include "records/PatientStore.h"
#include "records/PatientStoreDb.h"
#include "text/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

void say(FILE *stream, const QString &message)
{
    std::fputs((message + QLatin1Char('\n')).toLocal8Bit().constData(), stream);
}

// One line from the terminal with echo off; from standard input as it is when that is no
// terminal (a script feeding it). nullopt at the end of input.
std::optional<QString> readSecret(const QString &prompt)
{
    const bool terminal = ::isatty(STDIN_FILENO);
    termios saved{};
    if (terminal) {
        std::fputs(prompt.toLocal8Bit().constData(), stderr);
        std::fflush(stderr);
        ::tcgetattr(STDIN_FILENO, &saved);
        termios quiet = saved;
        quiet.c_lflag &= tcflag_t(~ECHO);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::string line;
    const bool got = bool(std::getline(std::cin, line));
    if (terminal) {
        ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        std::fputs("\n", stderr);
    }
    if (!got)
        return std::nullopt;
    return QString::fromLocal8Bit(line.c_str());
}

int create(const QString &folder, const QByteArray &key)
{
    const QString path = QDir(folder).filePath(QStringLiteral("Quillcase.dat"));
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
        say(stderr, QStringLiteral("病历资料库“%1”已存在，未作改动。").arg(path));
        return 1;
    }
    if (!QDir().mkpath(folder)) {
        say(stderr, QStringLiteral("无法创建文件夹“%1”。").arg(folder));
        return 1;
    }
    try {
        PatientStore::create(path, key);
    } catch (const Error &error) {
        say(stderr, error.message());
        return 1;
    }
    say(stdout, QStringLiteral("已创建空的病历资料库“%1”。").arg(path));
    return 0;
}

int createWithPassphrase(const QString &folder)
{
    const std::optional<QString> first = readSecret(QStringLiteral("新口令："));
    const std::optional<QString> second =
        first ? readSecret(QStringLiteral("再输入一次新口令：")) : std::nullopt;
    if (!first || !second) {
        say(stderr, QStringLiteral("没有读到口令，未作改动。"));
        return 1;
    }
    if (first->isEmpty()) {
        say(stderr, QStringLiteral("口令不能为空，未作改动。"));
        return 1;
    }
    if (*first != *second) {
        say(stderr, QStringLiteral("两次输入的口令不一致，未作改动。"));
        return 1;
    }
    say(stderr, QStringLiteral("请牢记此口令：口令一旦忘记，病历库无法再打开，也无法找回口令。"));
    return create(folder, first->toUtf8());
}

int verify(const QString &path)
{
    QList<QByteArray> keys{storedb::defaultKey()};
    for (int attempt = 0;; ++attempt) {
        try {
            const BackupSummary summary = backupcheck::check(path, keys);
            say(stdout, backupcheck::describe(summary));
            say(stdout, QStringLiteral("检查通过：此备份可以用来恢复。"));
            return 0;
        } catch (const storedb::WrongKey &) {
            if (attempt == 3) {
                say(stderr, QStringLiteral("“%1”无法打开：口令不对，或者文件不是本程序的备份。").arg(path));
                return 1;
            }
        } catch (const Error &error) {
            say(stderr, QStringLiteral("“%1”不能用来恢复：%2。").arg(path, error.message()));
            return 1;
        }
        const std::optional<QString> answer = readSecret(QStringLiteral("此备份的口令："));
        if (!answer) {
            say(stderr, QStringLiteral("“%1”无法用程序的默认密码打开，也没有读到口令。").arg(path));
            return 1;
        }
        keys = {answer->toUtf8()};
    }
}

} // namespace

int main(int argc, char **argv)
{
    const QString usage = QStringLiteral("用法：quillcase-initdb [--passphrase] <数据文件夹>\n"
                                         "      quillcase-initdb --verify <备份文件>");
    if (argc == 3 && std::string(argv[1]) == "--verify")
        return verify(QFile::decodeName(argv[2]));
    if (argc == 3 && std::string(argv[1]) == "--passphrase")
        return createWithPassphrase(QFile::decodeName(argv[2]));
    if (argc != 2 || QByteArray(argv[1]).startsWith("--")) {
        say(stderr, usage);
        return 2;
    }
    return create(QFile::decodeName(argv[1]), storedb::defaultKey());
}
