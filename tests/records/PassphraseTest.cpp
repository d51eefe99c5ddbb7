#include "RestoreSupport.h"

#include "records/Compaction.h"
#include "records/Passphrase.h"
#include "records/Rekey.h"
#include "records/ScriptedDialogs.h"

using namespace storetest;
using namespace restoretest;

namespace {

class PassphraseTest : public ::testing::Test
{
protected:
    QTemporaryDir m_dir;
    QString database() const { return m_dir.filePath("Quillcase.dat"); }
    QString path(const char *name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    void SetUp() override
    {
        PatientStore::create(database());
        PatientStore::open(database())->insertRecord(fullRecord("7"));
    }
};

TEST_F(PassphraseTest, SettingChangingAndKeepingTheKeyInBackupsAndCompaction)
{
    auto store = PatientStore::open(database());
    const QStringList values = store->loadRecord(1);
    {
        ScriptedDialogs dialogs;
        dialogs.confirmAnswers = {true};
        dialogs.passwordAnswers = {QString("病房口令 1"), QString("病房口令 1")};
        EXPECT_TRUE(passphrase::changeAsking(*store, dialogs));
        EXPECT_EQ(dialogs.confirmations, QStringList{passphrase::warningText()});
        EXPECT_TRUE(dialogs.confirmations[0].contains("无法找回"));
    }
    EXPECT_EQ(store->key(), QString("病房口令 1").toUtf8());
    // The open store goes on working under its new key.
    EXPECT_EQ(store->loadRecord(1), values);
    store->updateRecord(1, record({{"Name", "改后"}}));
    EXPECT_THROW(PatientStore::open(database()), storedb::WrongKey);
    EXPECT_EQ(PatientStore::open(database(), "病房口令 1")->loadRecord(1)[column("Name")], "改后");
    // The sqlcipher client opens it with the passphrase, as IT would.
    if (haveTool("sqlcipher")) {
        const ToolResult result = sqlcipher(database(), "SELECT count(*) FROM PatientsData;", "病房口令 1");
        EXPECT_EQ(result.out.trimmed(), "1") << result.err.toStdString();
    }
    // Encrypted backups and compaction keep the database's key.
    store->backupEncrypted(path("copy.dat"));
    EXPECT_NO_THROW(storedb::closeQuietly(storedb::openKeyed(path("copy.dat"), "病房口令 1")));
    EXPECT_THROW(storedb::openKeyed(path("copy.dat")), storedb::WrongKey);

    // Changing asks for the current passphrase first; a wrong one or two different new ones change nothing.
    const struct
    {
        std::vector<std::optional<QString>> answers;
        bool confirmed;
        const char *error; // "" for a quiet stop
    } refusals[] = {
        {{QString("错")}, true, "当前口令不对"},
        {{QString("病房口令 1"), QString("新"), QString("新的")}, true, "不一致"},
        {{QString("病房口令 1"), QString(""), QString("")}, true, "不能为空"},
        {{QString("病房口令 1")}, false, ""},
        {{std::nullopt}, true, ""},
    };
    for (const auto &c : refusals) {
        ScriptedDialogs dialogs;
        dialogs.passwordAnswers.assign(c.answers.begin(), c.answers.end());
        dialogs.confirmAnswers = {c.confirmed};
        if (*c.error) {
            try {
                passphrase::changeAsking(*store, dialogs);
                ADD_FAILURE() << c.error;
            } catch (const Error &error) {
                EXPECT_TRUE(error.message().contains(QString::fromUtf8(c.error)))
                    << error.message().toStdString();
            }
        } else {
            EXPECT_FALSE(passphrase::changeAsking(*store, dialogs));
        }
        EXPECT_EQ(store->key(), QString("病房口令 1").toUtf8());
    }
    store.reset();
    compactDatabase(m_dir.path(), QDateTime(QDate(2026, 1, 1), QTime(1, 2, 3)), "病房口令 1");
    EXPECT_EQ(PatientStore::open(database(), "病房口令 1")->recordCount(), 1);
}

TEST_F(PassphraseTest, StartUpAsksOnlyWhenTheDefaultKeyFails)
{
    {
        ScriptedDialogs dialogs;
        EXPECT_EQ(passphrase::openAsking(database(), dialogs)->recordCount(), 1);
        EXPECT_TRUE(dialogs.passwordPrompts.isEmpty());
    }
    PatientStore::open(database())->rekey("口令");
    const struct
    {
        std::vector<std::optional<QString>> answers;
        int prompts;
        const char *error; // "" when it opens
    } cases[] = {
        {{QString("口令")}, 1, ""},
        {{QString("a"), QString("b"), QString("口令")}, 3, ""},
        {{QString("a"), QString("b"), QString("c"), QString("口令")}, 3, "三次"},
        {{QString("a"), std::nullopt}, 2, "密码不对"},
    };
    for (const auto &c : cases) {
        ScriptedDialogs dialogs;
        dialogs.passwordAnswers.assign(c.answers.begin(), c.answers.end());
        if (*c.error) {
            try {
                passphrase::openAsking(database(), dialogs);
                ADD_FAILURE() << c.error;
            } catch (const Error &error) {
                EXPECT_TRUE(error.message().contains(QString::fromUtf8(c.error)))
                    << error.message().toStdString();
            }
        } else {
            EXPECT_EQ(passphrase::openAsking(database(), dialogs)->key(), QString("口令").toUtf8());
        }
        EXPECT_EQ(dialogs.passwordPrompts, QStringList(c.prompts, "请输入病历库口令"));
    }
}

// The re-key is interrupted by a real kill of the process doing it, at many moments: the file
// always opens whole, with the old key or the new one.
TEST_F(PassphraseTest, KilledRekeyLeavesADatabaseThatOpens)
{
    {
        auto store = PatientStore::open(database());
        for (int i = 0; i < 400; ++i)
            store->insertRecord(fullRecord(QString::number(i)));
    }
    QByteArray key = storedb::defaultKey();
    int interrupted = 0;
    for (int delay : {500, 2000, 5000, 10000, 20000, 40000, 80000, 150000}) {
        SCOPED_TRACE(delay);
        const QByteArray next = "口令" + QByteArray::number(delay);
        const QString file = database();
        const QByteArray from = key;
        interrupted += killDuring([&] { rekeyFile(file, from, next); }, delay);
        QByteArray opened;
        ASSERT_TRUE(opensWhole(database(), {from, next}, &opened));
        key = opened;
        EXPECT_EQ(PatientStore::open(database(), key)->recordCount(), 401);
    }
    EXPECT_GT(interrupted, 0);
}

TEST_F(PassphraseTest, FullDiskDuringRekeyKeepsTheOldKey)
{
    SmallDisk disk("1200k"); // room for 50 full records with their trail
    if (!disk.mounted)
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    const QString file = disk.path("Quillcase.dat");
    PatientStore::create(file);
    {
        auto store = PatientStore::open(file);
        for (int i = 0; i < 50; ++i)
            store->insertRecord(fullRecord(QString::number(i)));
    }
    // Fill the disk so that the journal of the re-key cannot be written.
    {
        QFile filler(disk.path("filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    auto store = PatientStore::open(file);
    EXPECT_THROW(store->rekey("新口令"), Error);
    EXPECT_EQ(store->key(), storedb::defaultKey());
    EXPECT_EQ(store->recordCount(), 50);
    store.reset();
    EXPECT_TRUE(opensWhole(file, {storedb::defaultKey()}));
}

} // namespace
