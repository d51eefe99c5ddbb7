#pragma once
// Helpers shared by the store, backup and compaction tests.
#include "records/ColumnTable.h"
#include "records/PatientStore.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

#include <sys/stat.h>

namespace storetest {

inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

inline QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

inline int permissions(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return int(info.st_mode & 0777);
}

inline int column(const char *name)
{
    return columns::indexOf(QString::fromUtf8(name));
}

// Values by column name, turned into the index form the store takes.
inline QHash<int, QString> record(std::initializer_list<std::pair<const char *, QString>> values)
{
    QHash<int, QString> result;
    for (const auto &[name, value] : values)
        result.insert(column(name), value);
    return result;
}

struct ToolResult
{
    int exitCode = -1;
    QString out;
    QString err;
};

inline bool haveTool(const char *name)
{
    return !QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty();
}

// Runs a program with `input` on its standard input.
inline ToolResult runTool(const QString &program, const QStringList &arguments, const QByteArray &input = {})
{
    QProcess process;
    process.start(program, arguments);
    process.waitForStarted();
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// The sqlcipher command-line client on a database file; `key` empty means no PRAGMA key.
inline ToolResult sqlcipher(const QString &database, const QString &sql, const QString &key)
{
    QString script;
    if (!key.isEmpty())
        script += QStringLiteral("PRAGMA key = '%1';\n").arg(key);
    script += sql + QLatin1Char('\n');
    return runTool(QStringLiteral("sqlcipher"), {QStringLiteral("-batch"), database}, script.toUtf8());
}

} // namespace storetest
