// The same cases against both stores: the encrypted file and the ward server.
#include "TestServer.h"

#include "records/ColumnTable.h"
#include "records/PatientStore.h"
#include "records/PatientStoreOrder.h"
#include "text/Error.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

int column(const char *name)
{
    return columns::indexOf(QString::fromUtf8(name));
}

int columnCount()
{
    return int(columns::all().size());
}

class FileStoreMaker
{
public:
    static constexpr bool needsServer = false;
    std::unique_ptr<PatientStoreInterface> make()
    {
        const QString file = m_dir.filePath(QStringLiteral("Quillcase.dat"));
        PatientStore::create(file);
        return PatientStore::open(file);
    }

private:
    QTemporaryDir m_dir;
};

class ServerStoreMaker
{
public:
    static constexpr bool needsServer = true;
    std::unique_ptr<PatientStoreInterface> make()
    {
        m_ward = std::make_unique<servertest::WardDatabase>();
        return m_ward->openAs(m_ward->addDoctor(QStringLiteral("王医生")));
    }

private:
    std::unique_ptr<servertest::WardDatabase> m_ward;
};

template <typename Maker> class SharedStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (Maker::needsServer && servertest::clusterConnection().isEmpty())
            GTEST_SKIP()
                << "no test PostgreSQL cluster (ctest starts one; QUILLCASE_TEST_SERVER_FILE is unset)";
        m_store = m_maker.make();
    }

    qint64 insertBed(const QString &bed, const QString &name = QString())
    {
        return m_store->insertRecord({{column("Bed"), bed}, {column("Name"), name}});
    }

    Maker m_maker;
    std::unique_ptr<PatientStoreInterface> m_store;
};

using Stores = ::testing::Types<FileStoreMaker, ServerStoreMaker>;
class StoreNames
{
public:
    template <typename T> static std::string GetName(int) { return T::needsServer ? "Server" : "File"; }
};
TYPED_TEST_SUITE(SharedStoreTest, Stores, StoreNames);

// Texts a careless store would mangle or run: quotes, SQL, placeholders, escapes, lines, wide characters.
const QStringList awkwardTexts = {
    QStringLiteral("'); DROP TABLE \"PatientsData\"; --"),    QStringLiteral("$1 ?1 :name %s %1"),
    QStringLiteral("O'Brien \"quoted\" \\backslash\\ \\x00"), QStringLiteral("第一行\r\n第二行\n\t缩进"),
    QStringLiteral("𠀀 emoji 😀 and U+E000 \uE000"),           QStringLiteral("   spaces kept   "),
};

TYPED_TEST(SharedStoreTest, ListIsOrderedByBedWithTheSameRuleAsTheFile)
{
    // One record per bed (the server keeps one open record per bed); numbers by value,
    // leading zeros, texts by code point, the empty bed, overlong numbers.
    const QStringList beds = {QStringLiteral("10"),
                              QStringLiteral("2"),
                              QStringLiteral("02"),
                              QStringLiteral("002"),
                              QStringLiteral("0"),
                              QStringLiteral("00"),
                              QStringLiteral("加1"),
                              QStringLiteral(" 3"),
                              QStringLiteral("12a"),
                              QString(),
                              QStringLiteral("𠀀"),
                              QStringLiteral("\uE000"),
                              QStringLiteral("99999999999999999999"),
                              QStringLiteral("3"),
                              QStringLiteral("100000000000000000000"),
                              QStringLiteral("B"),
                              QStringLiteral("a")};
    std::vector<ListRow> expected;
    for (const QString &bed : beds) {
        ListRow row;
        row.rowId = this->insertBed(bed, QStringLiteral("病人") + bed);
        row.values = QStringList(int(columns::listColumns().size()), QString());
        row.values[0] = bed;
        row.values[columns::listColumns().indexOf(QStringLiteral("Name"))] = QStringLiteral("病人") + bed;
        expected.push_back(row);
    }
    storeorder::sortByBed(expected);

    const std::vector<ListRow> list = this->m_store->loadList();
    ASSERT_EQ(list.size(), expected.size());
    for (size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i].rowId, expected[i].rowId)
            << "place " << i << " bed " << expected[i].values[0].toStdString();
        EXPECT_EQ(list[i].values, expected[i].values) << "place " << i;
    }
    EXPECT_EQ(this->m_store->recordCount(), int(beds.size()));
}

TYPED_TEST(SharedStoreTest, EveryColumnRoundTripsThroughInsertAndUpdate)
{
    QHash<int, QString> first, second;
    for (int c = 0; c < columnCount(); ++c) {
        const QString name = QString::fromUtf8(columns::all()[size_t(c)].name);
        first.insert(c, name + QStringLiteral("：") + awkwardTexts[c % awkwardTexts.size()]);
        second.insert(c, awkwardTexts[(c + 1) % awkwardTexts.size()] + name);
    }
    first[column("Bed")] = QStringLiteral("'); DELETE FROM PatientsData; --");
    second[column("Bed")] = QStringLiteral("8");

    const qint64 id = this->m_store->insertRecord(first);
    QStringList expected;
    for (int c = 0; c < columnCount(); ++c)
        expected << first.value(c);
    EXPECT_EQ(this->m_store->loadRecord(id), expected);

    this->m_store->updateRecord(id, second);
    expected.clear();
    for (int c = 0; c < columnCount(); ++c)
        expected << second.value(c);
    EXPECT_EQ(this->m_store->loadRecord(id), expected);

    // A later post of a few columns, one of them emptied, leaves the others alone.
    this->m_store->updateRecord(id, {{column("Name"), QStringLiteral("张三")}, {column("fuzhu"), QString()}});
    expected[column("Name")] = QStringLiteral("张三");
    expected[column("fuzhu")] = QString();
    const QStringList stored = this->m_store->loadRecord(id);
    EXPECT_EQ(stored, expected);
    EXPECT_EQ(this->m_store->recordCount(), 1);
}

TYPED_TEST(SharedStoreTest, PartialAndEmptyInsertsReadEveryOtherColumnAsEmpty)
{
    const qint64 some =
        this->m_store->insertRecord({{column("Bed"), QStringLiteral("5")}, {column("age"), QString()}});
    const qint64 none = this->m_store->insertRecord({});
    EXPECT_NE(some, none);
    for (const qint64 id : {some, none}) {
        const QStringList values = this->m_store->loadRecord(id);
        ASSERT_EQ(values.size(), columnCount());
        for (int c = 0; c < columnCount(); ++c)
            if (!(id == some && c == column("Bed")))
                EXPECT_TRUE(values[c].isEmpty()) << columns::all()[size_t(c)].name;
    }
    EXPECT_EQ(this->m_store->loadRecord(some)[column("Bed")], QStringLiteral("5"));
}

TYPED_TEST(SharedStoreTest, FindBedMatchesTheTextExactly)
{
    const qint64 seven = this->insertBed(QStringLiteral("7"));
    const qint64 plus = this->insertBed(QStringLiteral("加1"));
    const qint64 sql = this->insertBed(QStringLiteral("' OR '1'='1"));
    this->insertBed(QStringLiteral("17"));
    EXPECT_EQ(this->m_store->findBed(QStringLiteral("7")), seven);
    EXPECT_EQ(this->m_store->findBed(QStringLiteral("加1")), plus);
    EXPECT_EQ(this->m_store->findBed(QStringLiteral("' OR '1'='1")), sql);
    for (const char *miss : {"07", " 7", "7 ", "1", "", "' OR '1'='1' --"})
        EXPECT_EQ(this->m_store->findBed(QString::fromUtf8(miss)), std::nullopt) << miss;
}

TYPED_TEST(SharedStoreTest, BadRequestsAreErrorsAndLeaveTheRecordAlone)
{
    const qint64 id = this->insertBed(QStringLiteral("3"), QStringLiteral("李四"));
    this->m_store->loadRecord(id);
    EXPECT_THROW(this->m_store->loadRecord(id + 1000), Error);
    EXPECT_THROW(this->m_store->updateRecord(id + 1000, {{column("Name"), QStringLiteral("x")}}), Error);
    EXPECT_THROW(this->m_store->updateRecord(
                     id, {{column("Name"), QStringLiteral("x")}, {columnCount(), QStringLiteral("y")}}),
                 Error);
    EXPECT_THROW(this->m_store->insertRecord({{-1, QStringLiteral("y")}}), Error);
    EXPECT_EQ(this->m_store->loadRecord(id)[column("Name")], QStringLiteral("李四"));
    EXPECT_EQ(this->m_store->recordCount(), 1);
    this->m_store->close();
    EXPECT_THROW(this->m_store->loadList(), Error);
    EXPECT_THROW(this->m_store->loadRecord(id), Error);
}

} // namespace
