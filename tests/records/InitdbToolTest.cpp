#include "RestoreSupport.h"

using namespace storetest;
using namespace restoretest;

namespace {

const QString tool = QStringLiteral(QC_BINARY_DIR "/quillcase-initdb");

TEST(InitdbTool, PassphraseFromInputAndVerifyOfGoodAndBadBackups)
{
    if (!QFileInfo::exists(tool))
        GTEST_SKIP() << "quillcase-initdb is not built";
    QTemporaryDir dir;
    const QString data = dir.filePath("data");
    // The passphrase never on the command line: typed twice (here fed on standard input).
    ToolResult made = runTool(tool, {"--passphrase", data}, "病房 口令\n病房 口令\n");
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    const QString database = data + "/Quillcase.dat";
    EXPECT_THROW(PatientStore::open(database), storedb::WrongKey);
    PatientStore::open(database, "病房 口令")->insertRecord(record({{"Bed", "5"}, {"DoA", "2026-1-2"}}));
    EXPECT_EQ(runTool(tool, {"--passphrase", dir.filePath("other")}, "a\nb\n").exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("other/Quillcase.dat")));

    PatientStore::open(database, "病房 口令")->backupEncrypted(dir.filePath("b.dat"));
    PatientStore::open(database, "病房 口令")->backupXml(dir.filePath("b.xml"));
    ToolResult good = runTool(tool, {"--verify", dir.filePath("b.dat")}, "病房 口令\n");
    EXPECT_EQ(good.exitCode, 0) << good.err.toStdString();
    EXPECT_TRUE(good.out.contains("病历数：1"));
    EXPECT_TRUE(good.out.contains("2026-1-2"));
    good = runTool(tool, {"--verify", dir.filePath("b.xml")});
    EXPECT_EQ(good.exitCode, 0) << good.err.toStdString();
    EXPECT_TRUE(good.out.contains("XML"));
    EXPECT_TRUE(good.out.contains("已归档病历：0 份"));

    writeBytes(dir.filePath("cut.xml"), fileBytes(dir.filePath("b.xml")).left(300));
    writeBytes(dir.filePath("cut.dat"), fileBytes(dir.filePath("b.dat")).left(2000));
    for (const char *bad : {"cut.xml", "cut.dat", "missing.dat"}) {
        const ToolResult result = runTool(tool, {"--verify", dir.filePath(bad)}, "病房 口令\n");
        EXPECT_NE(result.exitCode, 0) << bad;
        EXPECT_FALSE(result.err.isEmpty()) << bad;
    }
    // A wrong passphrase three times, or none at all.
    EXPECT_EQ(runTool(tool, {"--verify", dir.filePath("b.dat")}, "x\ny\nz\n").exitCode, 1);
    EXPECT_EQ(runTool(tool, {"--verify", dir.filePath("b.dat")}).exitCode, 1);
}

} // namespace
