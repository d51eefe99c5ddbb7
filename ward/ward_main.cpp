// quillcase-ward: sets a ward's PostgreSQL database up for the program.
//   quillcase-ward init <connection>
//   quillcase-ward add-doctor [--admin] <connection> <role> <display name>
//   quillcase-ward import <connection> <data/Quillcase.dat>
#include "records/StoreColumnList.h"
#include "store/server/PgConnection.h"
#include "store/server/ServerSetup.h"
#include "ward/WardImport.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

void say(FILE *stream, const QString &text)
{
    const QByteArray bytes = (text + QLatin1Char('\n')).toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

int usage()
{
    say(stderr,
        QString::fromUtf8("用法：\n"
                          "  quillcase-ward init <连接串>\n"
                          "  quillcase-ward add-doctor [--admin] <连接串> <角色名> <医生姓名>\n"
                          "  quillcase-ward import <连接串> <data/Quillcase.dat>\n"
                          "连接串为 libpq 的连接串或 URI，例如 postgresql://ward7.example/quillcase"));
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    if (arguments.isEmpty())
        return usage();
    const QString command = arguments.takeFirst();
    bool administrator = false;
    if (command == QStringLiteral("add-doctor") && arguments.value(0) == QStringLiteral("--admin")) {
        administrator = true;
        arguments.removeFirst();
    }
    try {
        if (command == QStringLiteral("init") && arguments.size() == 1) {
            pg::Connection connection = pg::connect(arguments[0]);
            serversetup::initialise(connection.get(), storeColumnList());
            say(stdout, QString::fromUtf8("病区数据库已建立：%1").arg(pg::describe(connection.get())));
            return 0;
        }
        if (command == QStringLiteral("add-doctor") && arguments.size() == 3) {
            pg::Connection connection = pg::connect(arguments[0]);
            serversetup::addDoctor(connection.get(), arguments[1], arguments[2], administrator);
            say(stdout,
                QString::fromUtf8("已添加%1“%2”（角色 %3）")
                    .arg(QString::fromUtf8(administrator ? "管理员" : "医生"), arguments[2], arguments[1]));
            return 0;
        }
        if (command == QStringLiteral("import") && arguments.size() == 2) {
            pg::Connection connection = pg::connect(arguments[0]);
            const wardimport::Counts counts = wardimport::importFile(connection.get(), arguments[1]);
            say(stdout,
                QString::fromUtf8("已导入 %1 份病历（其中 %2 份已归档）、%3 条修改记录和 %4 个图片文件夹"
                                  "（共 %5 个图片文件）")
                    .arg(counts.records)
                    .arg(counts.archived)
                    .arg(counts.trail)
                    .arg(counts.pictureFolders)
                    .arg(counts.pictures));
            return 0;
        }
    } catch (const Error &error) {
        say(stderr, error.message());
        return 1;
    }
    return usage();
}
