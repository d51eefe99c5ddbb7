// The quillcase-ward program itself: its commands, exit codes and messages.
#include "TestServer.h"

#include "records/ColumnTable.h"
#include "records/PatientStore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun ward(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(QC_BINARY_DIR "/quillcase-ward"), arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

TEST(WardTool, InitAddDoctorAndImportFromTheCommandLine)
{
    QC_REQUIRE_SERVER();
    pg::Connection admin = pg::connect(servertest::clusterConnection());
    const QString name = servertest::uniqueName("qctool");
    pg::exec(admin.get(), "CREATE DATABASE " + pg::identifier(name) + " TEMPLATE template0 ENCODING 'UTF8'");
    const QString connection = servertest::clusterConnection() + QStringLiteral(" dbname=") + name;

    for (int run = 0; run < 2; ++run) { // a second init renews what the first made
        const ToolRun init = ward({QStringLiteral("init"), connection});
        EXPECT_EQ(init.exitCode, 0) << init.err.toStdString();
    }
    const QString role = servertest::uniqueName("qctooldoc");
    const ToolRun doctor = ward({QStringLiteral("add-doctor"), connection, role, QStringLiteral("孙医生")});
    EXPECT_EQ(doctor.exitCode, 0) << doctor.err.toStdString();
    EXPECT_TRUE(doctor.out.contains(QStringLiteral("孙医生")));

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Quillcase.dat"));
    PatientStore::create(file);
    PatientStore::open(file)->insertRecord({{columns::indexOf(QStringLiteral("Bed")), QStringLiteral("1")}});
    QDir().mkpath(dir.filePath(QStringLiteral("images/5-甲")));
    QFile picture(dir.filePath(QStringLiteral("images/5-甲/a.jpg")));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly) && picture.write("jpeg") == 4);
    picture.close();
    const ToolRun imported = ward({QStringLiteral("import"), connection, file});
    EXPECT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    EXPECT_TRUE(imported.out.contains(QStringLiteral("已导入 1 份病历"))) << imported.out.toStdString();
    EXPECT_TRUE(imported.out.contains(QStringLiteral("1 个图片文件夹（共 1 个图片文件）")))
        << imported.out.toStdString();
    const ToolRun again = ward({QStringLiteral("import"), connection, file});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.err.contains(QStringLiteral("已有 1 份病历"))) << again.err.toStdString();

    EXPECT_EQ(ward({}).exitCode, 2);
    EXPECT_EQ(ward({QStringLiteral("init")}).exitCode, 2);
    const ToolRun unreachable = ward({QStringLiteral("init"), QStringLiteral("host=127.0.0.1 port=1 dbname=x")});
    EXPECT_EQ(unreachable.exitCode, 1);
    EXPECT_TRUE(unreachable.err.startsWith(QStringLiteral("无法连接病区服务器……")));

    pg::exec(admin.get(), "DROP DATABASE " + pg::identifier(name) + " WITH (FORCE)");
}

} // namespace
