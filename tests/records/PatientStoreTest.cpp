#include "StoreTestSupport.h"

#include "records/PatientStoreOrder.h"
#include "text/Error.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <random>
#include <unistd.h>

using namespace storetest;

namespace {

const QString key = QString::fromLatin1(PatientStore::password);

class PatientStoreTest : public ::testing::Test
{
protected:
    QTemporaryDir m_dir;
    QString path(const char *name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    std::unique_ptr<PatientStore> freshStore()
    {
        const QString file = path("Quillcase.dat");
        PatientStore::create(file);
        return PatientStore::open(file);
    }
};

// Every column name with its type, for building tables with the sqlcipher client.
QString columnDefinitions(const QStringList &skip = {})
{
    QStringList definitions;
    for (const Column &c : columns::all()) {
        if (!skip.contains(QString::fromUtf8(c.name)))
            definitions << QStringLiteral("\"%1\" TEXT").arg(QString::fromUtf8(c.name));
    }
    return definitions.join(QStringLiteral(", "));
}

} // namespace

TEST_F(PatientStoreTest, OpenRefusesWhatIsNotItsDatabaseAndChangesNothing)
{
    if (!haveTool("sqlcipher"))
        GTEST_SKIP() << "sqlcipher client not installed";
    writeBytes(path("empty.dat"), {});
    writeBytes(path("garbage.dat"), QByteArray(4096, '\x5a') + "not a database at all");
    QDir(m_dir.path()).mkdir(QStringLiteral("folder.dat"));
    sqlcipher(path("plain.dat"), QStringLiteral("CREATE TABLE PatientsData (%1);").arg(columnDefinitions()),
              {});
    sqlcipher(path("otherkey.dat"),
              QStringLiteral("CREATE TABLE PatientsData (%1);").arg(columnDefinitions()),
              QStringLiteral("OtherPassword"));
    sqlcipher(path("notable.dat"), QStringLiteral("CREATE TABLE Something (a TEXT);"), key);
    sqlcipher(path("fewcolumns.dat"),
              QStringLiteral("CREATE TABLE PatientsData (%1);").arg(columnDefinitions({"fuzhu", "Boolen08"})),
              key);

    struct Case
    {
        const char *file;
        const char *reason;
    };
    const Case cases[] = {
        {"missing.dat", "文件不存在"},
        {"folder.dat", "文件夹"},
        {"empty.dat", "文件是空的"},
        {"garbage.dat", "密码不对"},
        {"plain.dat", "未加密"},
        {"otherkey.dat", "密码不对"},
        {"notable.dat", "没有病人资料表 PatientsData"},
        {"fewcolumns.dat", "缺少字段 fuzhu、Boolen08"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        const QStringList before = entries(m_dir.path());
        const QByteArray bytes = fileBytes(path(c.file));
        try {
            PatientStore::open(path(c.file));
            ADD_FAILURE() << "opened";
        } catch (const Error &error) {
            EXPECT_TRUE(error.message().contains(path(c.file))) << error.message().toStdString();
            EXPECT_TRUE(error.message().contains(QString::fromUtf8(c.reason)))
                << error.message().toStdString();
        }
        EXPECT_EQ(entries(m_dir.path()), before); // nothing created: no database, no journal
        EXPECT_EQ(fileBytes(path(c.file)), bytes);
    }
}

TEST_F(PatientStoreTest, OpenRefusesAnUnreadableFile)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the super-user reads every file";
    PatientStore::create(path("Quillcase.dat"));
    QFile::setPermissions(path("Quillcase.dat"), QFileDevice::Permissions());
    EXPECT_THROW(PatientStore::open(path("Quillcase.dat")), Error);
}

TEST_F(PatientStoreTest, CreateMakesAnOwnerOnlyKeyedDatabaseAndNeverOverwrites)
{
    const QString file = path("Quillcase.dat");
    PatientStore::create(file);
    EXPECT_EQ(permissions(file), 0600);
    const QByteArray bytes = fileBytes(file);
    EXPECT_FALSE(bytes.startsWith("SQLite format 3")); // encrypted from the first page
    EXPECT_THROW(PatientStore::create(file), Error);
    EXPECT_EQ(fileBytes(file), bytes);
    EXPECT_THROW(PatientStore::create(path("no/such/folder/Quillcase.dat")), Error);
    EXPECT_EQ(PatientStore::open(file)->recordCount(), 0);

    if (haveTool("sqlcipher")) {
        const ToolResult withKey = sqlcipher(file, QStringLiteral("SELECT count(*) FROM PatientsData;"), key);
        EXPECT_EQ(withKey.out.trimmed(), QStringLiteral("0")) << withKey.err.toStdString();
    }
}

TEST_F(PatientStoreTest, OpensADatabaseMadeByTheClient)
{
    if (!haveTool("sqlcipher"))
        GTEST_SKIP() << "sqlcipher client not installed";
    const QString file = path("client.dat");
    sqlcipher(file,
              QStringLiteral("CREATE TABLE PatientsData (%1, extra TEXT);"
                             "INSERT INTO PatientsData (Bed, Name, extra) VALUES ('7', '张三', 'x');")
                  .arg(columnDefinitions()),
              key);
    auto store = PatientStore::open(file);
    ASSERT_EQ(store->recordCount(), 1);
    const std::vector<ListRow> list = store->loadList();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].values.at(0), QStringLiteral("7"));
    EXPECT_EQ(list[0].values.at(2), QStringLiteral("张三"));
    EXPECT_EQ(store->loadRecord(list[0].rowId).at(column("Name")), QStringLiteral("张三"));
}

TEST(PatientStoreOrder, NumbersByValueThenOtherTexts)
{
    struct Case
    {
        QString before;
        QString after;
    };
    const Case cases[] = {
        {"2", "10"},
        {"9", "10"},
        {"02", "2"}, // same value: by text
        {"002", "02"},
        {"0", "00"},
        {"00", "1"},
        {"99", ""}, // numbers before the empty bed
        {"99", "abc"},
        {"99", "3a"},
        {"12345678901234567890", "123456789012345678901"}, // longer than any integer type
        {"", " 3"},
        {" 3", "3a"},
        {"加1", "加2"},
        {QStringLiteral("\uFFFD"), QString::fromUcs4(U"\U0001F600")}, // code-point order above U+FFFF
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.before.toStdString() + " < " + c.after.toStdString());
        EXPECT_LT(storeorder::compareBeds(c.before, c.after), 0);
        EXPECT_GT(storeorder::compareBeds(c.after, c.before), 0);
    }
    EXPECT_EQ(storeorder::compareBeds("10", "10"), 0);
    EXPECT_EQ(storeorder::compareBeds("", ""), 0);
}

TEST(PatientStoreOrder, FastSortAgreesWithTheComparison)
{
    // Random beds built from the characters that matter, against a plain sort by compareBeds.
    const QStringList pieces = {
        "0", "1", "2", "9", "a", " ", "加", "99999", QString::fromUcs4(U"\U0001F600")};
    std::mt19937 random(11);
    std::vector<ListRow> rows;
    for (qint64 id = 1; id <= 3000; ++id) {
        QString bed;
        for (int n = std::uniform_int_distribution<int>(0, 5)(random); n > 0; --n)
            bed += pieces[std::uniform_int_distribution<int>(0, int(pieces.size()) - 1)(random)];
        rows.push_back({id * 7 % 3001, {bed}});
    }
    std::vector<ListRow> expected = rows;
    std::sort(expected.begin(), expected.end(), [](const ListRow &a, const ListRow &b) {
        const int order = storeorder::compareBeds(a.values.at(0), b.values.at(0));
        return order != 0 ? order < 0 : a.rowId < b.rowId;
    });
    storeorder::sortByBed(rows);
    ASSERT_EQ(rows.size(), expected.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].rowId, expected[i].rowId) << i << " " << rows[i].values.at(0).toStdString();
    }
}

TEST_F(PatientStoreTest, ListIsOrderedByBedWithRowIdBreakingTies)
{
    auto store = freshStore();
    const QStringList beds = {"10",
                              "2",
                              "",
                              "abc",
                              "02",
                              "1",
                              "3a",
                              " 3",
                              "2",
                              "99",
                              "12345678901234567890",
                              "999999999999999999",
                              "0001234567890123456789"};
    QHash<QString, QList<qint64>> ids;
    for (const QString &bed : beds)
        ids[bed] << store->insertRecord(record({{"Bed", bed}, {"Name", "病人" + bed}}));
    store->insertRecord(record({{"Name", "无床号"}})); // Bed NULL: read as empty, listed with the texts

    const std::vector<ListRow> list = store->loadList();
    QStringList order;
    for (const ListRow &row : list)
        order << row.values.at(0);
    EXPECT_EQ(order,
              QStringList({"1", "02", "2", "2", "10", "99", "999999999999999999", "0001234567890123456789",
                           "12345678901234567890", "", "", " 3", "3a", "abc"}));
    // The two records of bed 2 in the order they were made.
    EXPECT_EQ(list[2].rowId, ids["2"][0]);
    EXPECT_EQ(list[3].rowId, ids["2"][1]);
    EXPECT_EQ(list[0].values.size(), 7);
    EXPECT_EQ(list[0].values.at(2), QStringLiteral("病人1"));

    EXPECT_EQ(store->findBed("2"), ids["2"][0]);
    EXPECT_EQ(store->findBed("02"), ids["02"][0]);
    EXPECT_EQ(store->findBed("4"), std::nullopt);
    EXPECT_EQ(store->recordCount(), 14);
}

TEST_F(PatientStoreTest, RecordsRoundTripThroughInsertUpdateAndReopen)
{
    auto store = freshStore();
    const QString memo =
        QStringLiteral("患者3天前无诱因出现发热。\r\n\r\n  体温最高39.5℃，伴咳嗽、咳痰。\r\n");
    const QString outsideGbk = QString::fromUcs4(U"한국어 café 😀 \U00020000 ‘’ ∮");
    QHash<int, QString> first = record({{"Bed", "12"},
                                        {"Name", "李四"},
                                        {"PresentIllness", memo},
                                        {"Pripro1", outsideGbk},
                                        {"Boolen01", "True"},
                                        {"Boolen08", "False"},
                                        {"development", ""},
                                        {"complaint", "  发热3天  "}});
    const qint64 id = store->insertRecord(first);
    const qint64 other = store->insertRecord(record({{"Bed", "3"}}));

    QStringList expected(79);
    for (auto it = first.cbegin(); it != first.cend(); ++it)
        expected[it.key()] = it.value();
    EXPECT_EQ(store->loadRecord(id), expected);

    store->updateRecord(
        id, record({{"Name", "李四四"}, {"diagnosis", "社区获得性肺炎\r\n高血压病2级"}, {"Bed", "1"}}));
    expected[column("Name")] = QStringLiteral("李四四");
    expected[column("diagnosis")] = QStringLiteral("社区获得性肺炎\r\n高血压病2级");
    expected[column("Bed")] = QStringLiteral("1");
    EXPECT_EQ(store->loadRecord(id), expected);
    EXPECT_EQ(store->loadRecord(other).at(column("Bed")), QStringLiteral("3"));
    EXPECT_EQ(store->loadList().front().rowId, id); // bed 1 now comes first

    const QString file = store->path();
    store.reset();
    auto again = PatientStore::open(file);
    EXPECT_EQ(again->loadRecord(id), expected);
}

TEST_F(PatientStoreTest, BadRequestsAreErrorsAndLeaveTheRecordAlone)
{
    auto store = freshStore();
    const qint64 id = store->insertRecord(record({{"Bed", "5"}, {"Name", "王五"}}));
    const QStringList before = store->loadRecord(id);

    EXPECT_THROW(store->loadRecord(id + 100), Error);
    EXPECT_THROW(store->updateRecord(id + 100, record({{"Name", "x"}})), Error);
    EXPECT_THROW(store->updateRecord(id, {{0, "6"}, {79, "beyond the table"}}), Error);
    EXPECT_THROW(store->insertRecord({{-1, "x"}}), Error);
    EXPECT_EQ(store->loadRecord(id), before);
    EXPECT_EQ(store->recordCount(), 1);

    // After a failed statement the store goes on working.
    store->updateRecord(id, record({{"Name", "王五五"}}));
    EXPECT_EQ(store->loadRecord(id).at(column("Name")), QStringLiteral("王五五"));

    store->close();
    EXPECT_THROW(store->loadList(), Error);
    EXPECT_THROW(store->loadRecord(id), Error);
}
