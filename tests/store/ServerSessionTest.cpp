// The record-editing session over the ward server: two desktops editing one record.
#include "TestServer.h"

#include "records/ColumnTable.h"
#include "records/RecordSession.h"
#include "text/Error.h"

#include <gtest/gtest.h>

using servertest::WardDatabase;
using State = RecordSession::State;

namespace {

int column(const char *name)
{
    return columns::indexOf(QString::fromUtf8(name));
}

class ServerSessionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QC_REQUIRE_SERVER();
        m_ward = std::make_unique<WardDatabase>();
        m_zhangStore = m_ward->openAs(m_ward->addDoctor(QStringLiteral("张医生")));
        m_liStore = m_ward->openAs(m_ward->addDoctor(QStringLiteral("李医生")));
        m_id = m_zhangStore->insertRecord(
            {{column("Bed"), QStringLiteral("7")}, {column("complaint"), QStringLiteral("原主诉")}});
        m_zhang = std::make_unique<RecordSession>(m_zhangStore.get());
        m_li = std::make_unique<RecordSession>(m_liStore.get());
        m_zhang->open();
        m_li->open();
    }

    std::unique_ptr<WardDatabase> m_ward;
    qint64 m_id = 0;
    std::unique_ptr<ServerStore> m_zhangStore, m_liStore;
    std::unique_ptr<RecordSession> m_zhang, m_li;
};

TEST_F(ServerSessionTest, ARefusedStalePostKeepsTheEditsAndCancelShowsTheNewerVersion)
{
    m_li->userChange(column("complaint"), QStringLiteral("李医生正在写"));
    m_zhang->userChange(column("complaint"), QStringLiteral("张医生先存"));
    m_zhang->post();

    try {
        m_li->post();
        ADD_FAILURE() << "stale post accepted";
    } catch (const Error &error) {
        EXPECT_TRUE(error.message().startsWith(QStringLiteral("该病历已被 张医生 于 ")))
            << error.message().toStdString();
    }
    EXPECT_EQ(m_li->state(), State::Edit);
    EXPECT_EQ(m_li->value(column("complaint")), QStringLiteral("李医生正在写"));

    m_li->cancel();
    EXPECT_EQ(m_li->state(), State::Browse);
    EXPECT_EQ(m_li->value(column("complaint")), QStringLiteral("张医生先存"));
    m_li->userChange(column("complaint"), QStringLiteral("李医生再写"));
    m_li->post();
    EXPECT_EQ(m_zhangStore->loadRecord(m_id)[column("complaint")], QStringLiteral("李医生再写"));
}

TEST_F(ServerSessionTest, ANewRecordForAnOpenBedIsRefusedWithItsEditsKept)
{
    m_li->append();
    m_li->userChange(column("Bed"), QStringLiteral("7"));
    m_li->userChange(column("Name"), QStringLiteral("新病人"));
    try {
        m_li->post();
        ADD_FAILURE() << "second record for bed 7 accepted";
    } catch (const Error &error) {
        EXPECT_EQ(error.message(), QStringLiteral("床号7已经存在，继续编辑或删除重建！"));
    }
    EXPECT_EQ(m_li->state(), State::Insert);
    EXPECT_EQ(m_li->value(column("Name")), QStringLiteral("新病人"));
    m_li->userChange(column("Bed"), QStringLiteral("8"));
    m_li->post();
    EXPECT_EQ(m_zhangStore->recordCount(), 2);
}

} // namespace
