// The first start of the installed form: the data folder is made whole or not at all,
// and only on the doctor's answer.
#include "app/DataFolderSetup.h"
#include "app/FirstStart.h"
#include "records/ColumnTable.h"
#include "records/PatientStore.h"
#include "records/ScriptedDialogs.h"
#include "text/Error.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>
#include <unistd.h>

namespace {

const QString starter = QStringLiteral(QC_SOURCE_DIR "/data/");

QStringList everything(const QString &folder)
{
    QStringList names;
    for (QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
         it.hasNext();)
        names << QDir(folder).relativeFilePath(it.next());
    names.sort();
    return names;
}

class DataFolderSetup : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString home() const { return dir.path() + QStringLiteral("/home"); }
    QString dataFolder() const { return home() + QStringLiteral("/.local/share/Quillcase/data/"); }

    QString databaseWithOneRecord()
    {
        const QString path = dir.path() + QStringLiteral("/old/Quillcase.dat");
        QDir().mkpath(dir.path() + QStringLiteral("/old"));
        PatientStore::create(path);
        PatientStore::open(path)->insertRecord(
            {{columns::indexOf(QStringLiteral("Bed")), QStringLiteral("7")},
             {columns::indexOf(QStringLiteral("Name")), QStringLiteral("张三")}});
        return path;
    }
};

} // namespace

TEST_F(DataFolderSetup, NewDatabaseGetsTheStarterFilesAndPictureRoot)
{
    createDataFolder(dataFolder(), starter);
    const QStringList starterFiles = QDir(starter).entryList({QStringLiteral("*.txt")}, QDir::Files);
    ASSERT_FALSE(starterFiles.isEmpty());
    QStringList expected = starterFiles;
    expected << QStringLiteral("Quillcase.dat") << QStringLiteral("images");
    expected.sort();
    EXPECT_EQ(everything(dataFolder()), expected);
    for (const QString &name : starterFiles) {
        QFile a(starter + name), b(dataFolder() + name);
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        EXPECT_EQ(a.readAll(), b.readAll()) << name.toStdString();
    }
    EXPECT_EQ(PatientStore::open(dataFolder() + QStringLiteral("Quillcase.dat"))->recordCount(), 0);
    EXPECT_EQ(QFileInfo(dataFolder()).permissions() & 0x0077, 0) << "the data folder is the owner's alone";
    // Nothing but the data folder in its parent: no staging folder left.
    EXPECT_EQ(
        everything(home() + QStringLiteral("/.local/share/Quillcase")).filter(QStringLiteral(".data-new")),
        QStringList());
}

TEST_F(DataFolderSetup, ExistingDatabaseIsCopiedAndTheOriginalKept)
{
    const QString old = databaseWithOneRecord();
    // A file of an older program, without the trail's tables: taking it brings only the copy
    // up to date, never the file the doctor chose.
    ASSERT_EQ(sqlite3_exec(PatientStore::open(old)->connectionForCopy(),
                           "DROP TABLE PatientsHistory; DROP TABLE PatientsArchive; DROP TABLE QuillcaseSettings;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    QFile original(old);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray before = original.readAll();
    createDataFolder(dataFolder(), starter, old);
    auto store = PatientStore::open(dataFolder() + QStringLiteral("Quillcase.dat"));
    ASSERT_EQ(store->recordCount(), 1);
    EXPECT_EQ(store->loadList().front().values.value(2), QStringLiteral("张三"));
    EXPECT_EQ(QFileInfo(dataFolder() + QStringLiteral("Quillcase.dat")).permissions() & 0x0077, 0);
    original.seek(0);
    EXPECT_EQ(original.readAll(), before);
    EXPECT_TRUE(QFileInfo::exists(dataFolder() + QStringLiteral("complaints.txt")));
}

// Every failure leaves the disk as it was: no data folder, no parent folders made for it.
TEST_F(DataFolderSetup, FailuresLeaveNothingBehind)
{
    QFile notDatabase(dir.path() + QStringLiteral("/letter.dat"));
    ASSERT_TRUE(notDatabase.open(QIODevice::WriteOnly));
    notDatabase.write("not a database at all, just some words of a letter");
    notDatabase.close();
    QFile plainFile(dir.path() + QStringLiteral("/plain"));
    ASSERT_TRUE(plainFile.open(QIODevice::WriteOnly));
    plainFile.close();

    struct Case
    {
        const char *what;
        QString data, existing;
    };
    const Case cases[] = {
        {"not a record database", dataFolder(), notDatabase.fileName()},
        {"missing database", dataFolder(), dir.path() + QStringLiteral("/none.dat")},
        {"parent is a file", dir.path() + QStringLiteral("/plain/Quillcase/data/"), QString()},
    };
    const QStringList before = everything(dir.path());
    for (const Case &c : cases) {
        try {
            createDataFolder(c.data, starter, c.existing);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const Error &error) {
            EXPECT_FALSE(error.message().isEmpty()) << c.what;
        }
        EXPECT_EQ(everything(dir.path()), before) << c.what;
    }
}

TEST_F(DataFolderSetup, ReadOnlyHomeGivesAClearMessageAndNothingHalfMade)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    QDir().mkpath(home());
    QFile::setPermissions(home(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    try {
        createDataFolder(dataFolder(), starter);
        ADD_FAILURE() << "no error";
    } catch (const Error &error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("无法创建文件夹")))
            << error.message().toStdString();
    }
    EXPECT_EQ(everything(home()), QStringList());
    QFile::setPermissions(home(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(DataFolderSetup, AnExistingDataFolderIsNeverTouched)
{
    QDir().mkpath(dataFolder());
    QFile mine(dataFolder() + QStringLiteral("mine.txt"));
    ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
    mine.write("kept");
    mine.close();
    EXPECT_THROW(createDataFolder(dataFolder(), starter), Error);
    EXPECT_EQ(everything(dataFolder()), QStringList{QStringLiteral("mine.txt")});
}

TEST_F(DataFolderSetup, FirstStartCreatesOnlyOnTheDoctorsAnswer)
{
    DataLocation location = resolveDataLocation(dir.path() + QStringLiteral("/bin"), false, {}, home());
    location.starterFolder = starter;
    ScriptedDialogs dialogs;

    // Closing the question: nothing is made.
    EXPECT_FALSE(offerDataFolder(location, dialogs));
    EXPECT_EQ(dialogs.choices.size(), 1);
    EXPECT_TRUE(dialogs.choices.front().contains(QDir::cleanPath(location.dataFolder)));
    EXPECT_FALSE(QFileInfo::exists(home()));

    // Taking a file: a cancelled chooser asks again; a wrong file is reported and asked again.
    dialogs.choiceAnswers = {1, 1, -1};
    dialogs.fileAnswers.push_back(std::nullopt);
    dialogs.fileAnswers.push_back(dir.path() + QStringLiteral("/none.dat"));
    EXPECT_FALSE(offerDataFolder(location, dialogs));
    EXPECT_EQ(dialogs.choices.size(), 4);
    EXPECT_EQ(dialogs.errors.size(), 1);
    EXPECT_FALSE(QFileInfo::exists(home()));

    const QString old = databaseWithOneRecord();
    dialogs.choiceAnswers = {1};
    dialogs.fileAnswers.push_back(old);
    EXPECT_TRUE(offerDataFolder(location, dialogs));
    EXPECT_EQ(PatientStore::open(location.dataFolder + QStringLiteral("Quillcase.dat"))->recordCount(), 1);
}

// A database with a passphrase of its own is taken once the doctor gives the passphrase.
TEST_F(DataFolderSetup, FirstStartTakesADatabaseWithAPassphrase)
{
    DataLocation location = resolveDataLocation(dir.path() + QStringLiteral("/bin"), false, {}, home());
    location.starterFolder = starter;
    const QString old = databaseWithOneRecord();
    PatientStore::open(old)->rekey(QStringLiteral("病房口令").toUtf8());
    ScriptedDialogs dialogs;
    dialogs.choiceAnswers = {1};
    dialogs.fileAnswers.push_back(old);
    dialogs.passwordAnswers = {QStringLiteral("错的"), QStringLiteral("病房口令")};
    EXPECT_TRUE(offerDataFolder(location, dialogs));
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("|").toStdString();
    EXPECT_EQ(dialogs.passwordPrompts.size(), 2);
    EXPECT_EQ(PatientStore::open(location.dataFolder + QStringLiteral("Quillcase.dat"), QStringLiteral("病房口令").toUtf8())
                  ->recordCount(),
              1);
}

TEST_F(DataFolderSetup, FirstStartNewDatabaseAndNoHome)
{
    DataLocation location = resolveDataLocation(dir.path() + QStringLiteral("/bin"), false, {}, home());
    location.starterFolder = starter;
    ScriptedDialogs dialogs;
    dialogs.choiceAnswers = {0};
    EXPECT_TRUE(offerDataFolder(location, dialogs));
    EXPECT_EQ(PatientStore::open(location.dataFolder + QStringLiteral("Quillcase.dat"))->recordCount(), 0);
    EXPECT_TRUE(dialogs.errors.isEmpty());

    const DataLocation homeless = resolveDataLocation(dir.path() + QStringLiteral("/bin"), false, {}, {});
    dialogs.choiceAnswers = {0};
    EXPECT_FALSE(offerDataFolder(homeless, dialogs));
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors.front().contains(QStringLiteral("HOME")));
}
