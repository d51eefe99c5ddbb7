// The record-editing session over the ward server: two desktops editing one record.
#include "TestServer.h"

#include "records/ColumnTable.h"
#include "records/RecordSession.h"
#include "text/Error.h"

#include <QThread>
#include <gtest/gtest.h>
#include <libpq-fe.h>

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

// The connection lost while a doctor writes (here cut by the server): the post fails with
// the connection message and keeps every edit, and the same post succeeds once the server
// answers again. The announcements missed meanwhile make the list be read again.
TEST_F(ServerSessionTest, APostThatFailsOnALostConnectionKeepsItsEditsAndSucceedsWhenRetried)
{
    const auto cutLi = [this] {
        pg::Connection superuser = m_ward->superuser();
        pg::exec(superuser.get(), "SELECT pg_terminate_backend($1)",
                 {QByteArray::number(PQbackendPID(m_liStore->connection()))});
    };
    cutLi();
    m_li->userChange(column("complaint"), QStringLiteral("断线时写的"));
    try {
        m_li->post();
        ADD_FAILURE() << "post on a lost connection reported as stored";
    } catch (const Error &error) {
        EXPECT_TRUE(error.message().startsWith(QStringLiteral("无法连接病区服务器……"))) << error.message().toStdString();
    }
    EXPECT_EQ(m_li->state(), State::Edit);
    EXPECT_EQ(m_li->value(column("complaint")), QStringLiteral("断线时写的"));
    m_li->post();
    EXPECT_EQ(m_zhangStore->loadRecord(m_id)[column("complaint")], QStringLiteral("断线时写的"));

    // Connected again, the store says announcements may have been missed.
    const std::vector<qint64> afterRetry = m_liStore->takeChangedRecords();
    EXPECT_NE(std::find(afterRetry.begin(), afterRetry.end(), PatientStoreInterface::anyRecord), afterRetry.end());

    // A record stored while this desktop was away is not announced to it; the store says
    // so once it is connected again, without any statement of the doctor's.
    cutLi();
    m_zhangStore->insertRecord({{column("Bed"), QStringLiteral("9")}});
    std::vector<qint64> heard;
    for (int attempt = 0; attempt < 20 && heard.empty(); ++attempt) {
        try {
            heard = m_liStore->takeChangedRecords();
        } catch (const Error &) {
        }
        if (heard.empty())
            QThread::msleep(100);
    }
    EXPECT_FALSE(heard.empty());
    m_li->refreshList();
    EXPECT_EQ(m_li->rowCount(), 2);
}

} // namespace
