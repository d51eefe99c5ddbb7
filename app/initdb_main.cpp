// quillcase-initdb <data folder>: creates an empty, encrypted Quillcase.dat in the data
// folder for a first start. It never replaces an existing database.
#include "records/PatientStore.h"
#include "text/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

void say(FILE *stream, const QString &message)
{
    std::fputs((message + QLatin1Char('\n')).toLocal8Bit().constData(), stream);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        say(stderr, QStringLiteral("用法：quillcase-initdb <数据文件夹>"));
        return 2;
    }
    const QString folder = QFile::decodeName(argv[1]);
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
        PatientStore::create(path);
    } catch (const Error &error) {
        say(stderr, error.message());
        return 1;
    }
    say(stdout, QStringLiteral("已创建空的病历资料库“%1”。").arg(path));
    return 0;
}
