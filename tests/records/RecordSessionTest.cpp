#include "StoreTestSupport.h"
#include "records/ColumnTable.h"
#include "records/PatientStore.h"
#include "records/RecordSession.h"
#include "text/Error.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using State = RecordSession::State;
using storetest::column;
using storetest::record;

class RecordSessionTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("Quillcase.dat");
    std::unique_ptr<PatientStore> store;
    std::unique_ptr<RecordSession> session;

    void open(std::initializer_list<QHash<int, QString>> records = {})
    {
        PatientStore::create(path);
        store = PatientStore::open(path);
        for (const auto &r : records)
            store->insertRecord(r);
        session = std::make_unique<RecordSession>(store.get());
        session->open();
    }
    QString storedValue(const QString &bed, const char *name)
    {
        auto check = PatientStore::open(path);
        const auto id = check->findBed(bed);
        return id ? check->loadRecord(*id).value(column(name)) : QStringLiteral("<none>");
    }
};

TEST_F(RecordSessionTest, OpensOrderedByBedWithFirstRecordCurrent)
{
    open({record({{"Bed", "10"}}), record({{"Bed", "2"}}), record({{"Bed", "甲"}}), record({{"Bed", "1"}})});
    QStringList beds;
    for (int row = 0; row < session->rowCount(); ++row)
        beds << session->listValue(row, 0);
    EXPECT_EQ(beds, (QStringList{"1", "2", "10", "甲"}));
    EXPECT_EQ(session->currentRow(), 0);
    EXPECT_EQ(session->state(), State::Browse);
}

TEST_F(RecordSessionTest, FirstChangeEditsAndPostStoresOnlyChangedColumns)
{
    open({record({{"Bed", "3"}, {"Name", "张三"}, {"age", "40"}})});
    session->userChange(column("Name"), "李四");
    EXPECT_EQ(session->state(), State::Edit);
    store->updateRecord(*store->findBed("3"), {{column("age"), "41"}}); // written meanwhile elsewhere
    session->post();
    EXPECT_EQ(session->state(), State::Browse);
    EXPECT_EQ(storedValue("3", "Name"), "李四");
    EXPECT_EQ(storedValue("3", "age"), "41"); // an unchanged column is not written back
}

TEST_F(RecordSessionTest, EmptyTableStartsAnInsertAndCancelDropsIt)
{
    open();
    QSignalSpy states(session.get(), &RecordSession::stateChanged);
    session->edit();
    EXPECT_EQ(session->state(), State::Insert);
    EXPECT_EQ(session->rowCount(), 1);
    session->cancel();
    EXPECT_EQ(session->rowCount(), 0);
    EXPECT_EQ(session->currentRow(), -1);
    session->fill("DoA", "2005-03-07 09:15:30");
    EXPECT_EQ(session->state(), State::Insert);
    session->post();
    EXPECT_EQ(store->recordCount(), 1);
    EXPECT_GE(states.count(), 3);
}

TEST_F(RecordSessionTest, FillCountsAsChangeEvenWithTheSameText)
{
    open({record({{"Bed", "1"}, {"home", "山东省澄岚市"}}), record({{"Bed", "2"}})});
    session->fill("home", "山东省澄岚市");
    EXPECT_TRUE(session->isChanged());
    session->edit();
    session->moveTo(1); // a changed record is posted, not cancelled
    EXPECT_EQ(session->state(), State::Browse);
    EXPECT_EQ(session->currentRow(), 1);
    // An edit that changed nothing is cancelled when leaving.
    session->edit();
    EXPECT_FALSE(session->isChanged());
    session->moveTo(0);
    EXPECT_EQ(session->state(), State::Browse);
}

TEST_F(RecordSessionTest, CancelRestoresStoredValues)
{
    open({record({{"Bed", "1"}, {"Name", "旧"}})});
    session->userChange(column("Name"), "新");
    EXPECT_EQ(session->value("Name"), "新");
    session->cancel();
    EXPECT_EQ(session->value("Name"), "旧");
    EXPECT_EQ(storedValue("1", "Name"), "旧");
}

TEST_F(RecordSessionTest, AppendGoesToTheEndAndIsSortedAfterPost)
{
    open({record({{"Bed", "2"}}), record({{"Bed", "10"}})});
    session->userChange(column("Name"), "先存"); // posted by the append
    session->append();
    EXPECT_EQ(session->currentRow(), 2);
    EXPECT_EQ(session->state(), State::Insert);
    session->fill("Bed", "5");
    session->post();
    EXPECT_EQ(session->currentRow(), 1); // between 2 and 10
    EXPECT_EQ(session->listValue(1, 0), "5");
    EXPECT_EQ(storedValue("2", "Name"), "先存");
}

TEST_F(RecordSessionTest, LocateBedSettlesFirstAndMatchesExactly)
{
    open({record({{"Bed", "7"}}), record({{"Bed", "17"}})});
    session->userChange(column("Name"), "改");
    EXPECT_FALSE(session->locateBed("07"));
    EXPECT_EQ(session->state(), State::Browse);
    EXPECT_EQ(storedValue("7", "Name"), "改");
    EXPECT_TRUE(session->locateBed("17"));
    EXPECT_EQ(session->currentRow(), 1);
}

TEST_F(RecordSessionTest, FailedPostKeepsStateAndEdits)
{
    if (!storetest::haveTool("sqlcipher"))
        GTEST_SKIP() << "sqlcipher client missing";
    PatientStore::create(path);
    {
        auto setup = PatientStore::open(path);
        setup->insertRecord(record({{"Bed", "1"}}));
    }
    // A trigger stands in for a disk that refuses the write.
    storetest::sqlcipher(path,
                         "CREATE TRIGGER refuse BEFORE UPDATE ON PatientsData BEGIN "
                         "SELECT RAISE(ABORT, 'disk I/O error'); END;",
                         PatientStore::password);
    store = PatientStore::open(path);
    session = std::make_unique<RecordSession>(store.get());
    session->open();
    session->userChange(column("Name"), "未存");
    EXPECT_THROW(session->post(), Error);
    EXPECT_EQ(session->state(), State::Edit);
    EXPECT_EQ(session->value("Name"), "未存");
    EXPECT_THROW(session->moveTo(0), Error); // moving cannot lose it either
    EXPECT_EQ(session->value("Name"), "未存");
}
