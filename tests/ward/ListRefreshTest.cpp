#include "WardFixture.h"
#include "text/Error.h"

#include <QTest>

namespace {

// One desktop's windows and a second doctor's store on the same ward database.
class ListRefreshOnServer : public WardFixture
{
protected:
    std::unique_ptr<ServerStore> other;
    qint64 firstId = 0;

    void SetUp() override
    {
        WardFixture::SetUp();
        if (IsSkipped())
            return;
        addServerRecords({{{"Bed", "5"}, {"Name", "甲"}}});
        other = ward->openAs(ward->addDoctor(QStringLiteral("张医生")));
        firstId = other->loadList().at(0).rowId;
        other->loadRecord(firstId);
        start();
    }
    void TearDown() override
    {
        other.reset();
        WardFixture::TearDown();
    }
    qint64 insertElsewhere(const QString &bed, const QString &name)
    {
        return other->insertRecord({{columns::indexOf("Bed"), bed}, {columns::indexOf("Name"), name}});
    }
    bool waitForRows(int rows) const
    {
        return QTest::qWaitFor([&] { return session()->rowCount() == rows; }, 2000);
    }
};

TEST_F(ListRefreshOnServer, RecordsStoredElsewhereShowAndTheCurrentStaysCurrent)
{
    // A record in front of the current one in bed order moves it down the list.
    insertElsewhere("2", "乙");
    ASSERT_TRUE(waitForRows(2));
    EXPECT_EQ(session()->currentRow(), 1);
    EXPECT_EQ(session()->value("Name"), "甲");
    EXPECT_EQ(session()->listValue(0, 2), "乙");

    // A change to the current record while browsing shows in its fields.
    other->updateRecord(firstId, {{columns::indexOf("Name"), QStringLiteral("甲改")}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return session()->value("Name") == "甲改"; }, 2000));
    EXPECT_EQ(session()->state(), RecordSession::State::Browse);
}

TEST_F(ListRefreshOnServer, RecordBeingEditedIsNotDisturbedAndItsStalePostIsRefused)
{
    session()->fill("Name", "正在写");
    other->updateRecord(firstId, {{columns::indexOf("Name"), QStringLiteral("张改的")}});
    insertElsewhere("9", "丙");
    ASSERT_TRUE(waitForRows(2));
    EXPECT_EQ(session()->state(), RecordSession::State::Edit);
    EXPECT_EQ(session()->value("Name"), "正在写");
    EXPECT_EQ(session()->currentRow(), 0);
    try {
        session()->post();
        ADD_FAILURE() << "stale post accepted";
    } catch (const Error &error) {
        EXPECT_TRUE(error.message().startsWith("该病历已被 张医生 于 ")) << error.message().toStdString();
    }
    EXPECT_EQ(session()->value("Name"), "正在写");
    session()->cancel();
    EXPECT_EQ(session()->value("Name"), "张改的");
}

TEST_F(ListRefreshOnServer, AppendedRecordKeepsItsRowAndEdits)
{
    session()->append();
    session()->fill("Bed", "7");
    insertElsewhere("1", "丁");
    ASSERT_TRUE(waitForRows(3));
    EXPECT_EQ(session()->state(), RecordSession::State::Insert);
    EXPECT_EQ(session()->currentRow(), 2);
    EXPECT_EQ(session()->value("Bed"), "7");
    session()->post();
    EXPECT_EQ(other->recordCount(), 3);
}

} // namespace
