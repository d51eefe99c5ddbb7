// What only the ward server does: versions, the trail by trigger, rights, announcements, set-up.
#include "TestServer.h"

#include "records/ColumnTable.h"
#include "store/server/ServerSchema.h"
#include "text/Error.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <poll.h>

#include <algorithm>
#include <functional>

using servertest::WardDatabase;

namespace {

int column(const char *name)
{
    return columns::indexOf(QString::fromUtf8(name));
}

QString messageOf(const std::function<void()> &work)
{
    try {
        work();
    } catch (const Error &error) {
        return error.message();
    }
    return QStringLiteral("(no error)");
}

class ServerStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QC_REQUIRE_SERVER();
        m_ward = std::make_unique<WardDatabase>();
        m_zhang = m_ward->addDoctor(QStringLiteral("张医生"));
        m_li = m_ward->addDoctor(QStringLiteral("李医生"));
    }

    std::unique_ptr<WardDatabase> m_ward;
    QString m_zhang;
    QString m_li;
};

TEST_F(ServerStoreTest, StalePostIsRefusedNamingTheOtherDoctorAndTheTime)
{
    auto zhang = m_ward->openAs(m_zhang);
    auto li = m_ward->openAs(m_li);
    const qint64 id =
        zhang->insertRecord({{column("Bed"), QStringLiteral("7")}, {column("Name"), QStringLiteral("赵六")}});
    zhang->loadRecord(id);
    li->loadRecord(id);

    zhang->updateRecord(id, {{column("complaint"), QStringLiteral("张医生写的主诉")}});
    const QString refused = messageOf([&] {
        li->updateRecord(id, {{column("complaint"), QStringLiteral("李医生写的")}});
    });
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^该病历已被 张医生 于 \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d "
                                          "修改并保存，本次修改未保存。$"))
            .match(refused)
            .hasMatch())
        << refused.toStdString();
    EXPECT_EQ(zhang->loadRecord(id)[column("complaint")], QStringLiteral("张医生写的主诉"));

    // Refused again until the newer version is loaded; then the post goes through.
    EXPECT_THROW(li->updateRecord(id, {{column("complaint"), QStringLiteral("李医生写的")}}), Error);
    li->loadRecord(id);
    li->updateRecord(id, {{column("complaint"), QStringLiteral("李医生写的")}});
    // Each desktop's own posts move its version along: a second post needs no reload.
    li->updateRecord(id, {{column("T"), QStringLiteral("36.5")}});
    EXPECT_EQ(zhang->loadRecord(id)[column("complaint")], QStringLiteral("李医生写的"));
    EXPECT_THROW(li->updateRecord(id + 99, {{column("T"), QStringLiteral("1")}}), Error);
}

TEST_F(ServerStoreTest, ABedHoldsOneRecordNotArchived)
{
    auto store = m_ward->openAs(m_zhang);
    const qint64 first = store->insertRecord({{column("Bed"), QStringLiteral("7")}});
    const qint64 other = store->insertRecord({{column("Bed"), QStringLiteral("8")}});
    const QString exists = QStringLiteral("床号7已经存在，继续编辑或删除重建！");
    EXPECT_EQ(messageOf([&] { store->insertRecord({{column("Bed"), QStringLiteral("7")}}); }), exists);
    store->loadRecord(other);
    EXPECT_EQ(messageOf([&] { store->updateRecord(other, {{column("Bed"), QStringLiteral("7")}}); }), exists);
    EXPECT_EQ(store->loadRecord(other)[column("Bed")], QStringLiteral("8"));
    // The refused post left the version alone: the next one is accepted.
    store->updateRecord(other, {{column("Name"), QStringLiteral("钱七")}});

    store->archiveRecord(first);
    EXPECT_TRUE(store->isArchived(first));
    const qint64 second = store->insertRecord({{column("Bed"), QStringLiteral("7")}});
    EXPECT_EQ(store->findBed(QStringLiteral("7")), second);
    EXPECT_EQ(store->recordCount(), 3);
}

TEST_F(ServerStoreTest, ArchivedRecordsAreReadOnlyOnTheServer)
{
    auto store = m_ward->openAs(m_zhang);
    const qint64 id =
        store->insertRecord({{column("Bed"), QStringLiteral("3")}, {column("Name"), QStringLiteral("孙八")}});
    store->archiveRecord(id);
    store->loadRecord(id);
    EXPECT_EQ(messageOf([&] {
                  store->updateRecord(id, {{column("Name"), QStringLiteral("改")}});
              }),
              QStringLiteral("该病历已归档，只能查看，不能修改。"));
    // Not only the program: the doctor's role itself cannot change it, nor lift the flag.
    pg::Connection raw = m_ward->as(m_li);
    for (const char *sql : {"UPDATE \"PatientsData\" SET \"Name\" = 'x'",
                            "UPDATE \"PatientsData\" SET \"ArchivedAt\" = NULL"}) {
        try {
            pg::exec(raw.get(), sql);
            ADD_FAILURE() << sql << " was accepted";
        } catch (const pg::ServerError &error) {
            EXPECT_EQ(error.sqlState(), serverschema::archivedState) << sql;
        }
    }
    EXPECT_EQ(store->loadRecord(id)[column("Name")], QStringLiteral("孙八"));
}

TEST_F(ServerStoreTest, TrailIsWrittenByTheServerAndADoctorCannotForgeOrDeleteIt)
{
    auto store = m_ward->openAs(m_zhang);
    const qint64 id =
        store->insertRecord({{column("Bed"), QStringLiteral("5")}, {column("Name"), QStringLiteral("周九")}});
    store->updateRecord(id, {{column("Name"), QStringLiteral("周玖")},
                             {column("age"), QStringLiteral("40")},
                             {column("sex"), QString()}});

    pg::Connection doctor = m_ward->as(m_li);
    const pg::Result trail =
        pg::exec(doctor.get(), "SELECT \"RecordId\", \"Bed\", \"ColumnName\", \"OldText\", \"NewText\", "
                               "\"Operator\", \"ChangedAt\" FROM \"PatientsHistory\" ORDER BY \"HistoryId\"");
    ASSERT_EQ(pg::rows(trail.get()), 4); // Bed and Name on insert, Name and age on update; sex stayed empty
    const QRegularExpression iso(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d$"));
    const QStringList expected = {QStringLiteral("Bed||5"), QStringLiteral("Name||周九"),
                                  QStringLiteral("Name|周九|周玖"), QStringLiteral("age||40")};
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(pg::int64(trail.get(), r, 0), id);
        EXPECT_EQ(pg::text(trail.get(), r, 1), QStringLiteral("5"));
        EXPECT_EQ(QStringList(
                      {pg::text(trail.get(), r, 2), pg::text(trail.get(), r, 3), pg::text(trail.get(), r, 4)})
                      .join(QLatin1Char('|')),
                  expected[r]);
        EXPECT_EQ(pg::text(trail.get(), r, 5), m_zhang);
        EXPECT_TRUE(iso.match(pg::text(trail.get(), r, 6)).hasMatch())
            << pg::text(trail.get(), r, 6).toStdString();
    }

    // What a doctor's role may not do, whatever the desktop sends.
    const char *refused[] = {
        "INSERT INTO \"PatientsHistory\" (\"RecordId\", \"ColumnName\", \"Operator\", \"ChangedAt\") "
        "VALUES (1, 'Name', 'someone', '2000-01-01T00:00:00+00:00')",
        "UPDATE \"PatientsHistory\" SET \"Operator\" = 'someone'",
        "DELETE FROM \"PatientsHistory\"",
        "TRUNCATE \"PatientsHistory\"",
        "DELETE FROM \"PatientsData\"",
        "TRUNCATE \"PatientsData\"",
        "ALTER TABLE \"PatientsData\" DISABLE TRIGGER \"PatientsTrail\"",
        "INSERT INTO \"QuillcaseDoctors\" VALUES ('x', 'y')",
        "UPDATE \"QuillcaseSettings\" SET \"Value\" = '2'",
    };
    for (const char *sql : refused) {
        try {
            pg::exec(doctor.get(), sql);
            ADD_FAILURE() << sql << " was accepted";
        } catch (const pg::ServerError &error) {
            EXPECT_TRUE(error.sqlState() == "42501") << sql << ": " << error.sqlState().constData();
        }
    }
    // The bookkeeping columns are the server's: a version, an author and a time sent along are replaced.
    pg::exec(doctor.get(), "UPDATE \"PatientsData\" SET \"Version\" = 100, \"ModifiedBy\" = 'someone', "
                           "\"ModifiedAt\" = '2000-01-01', \"Name\" = '周久'");
    const pg::Result row =
        pg::exec(doctor.get(), "SELECT \"Version\", \"ModifiedBy\", \"ModifiedAt\" > now() - "
                               "interval '1 hour' FROM \"PatientsData\"");
    EXPECT_EQ(pg::int64(row.get(), 0, 0), 3);
    EXPECT_EQ(pg::text(row.get(), 0, 1), m_li);
    EXPECT_EQ(pg::text(row.get(), 0, 2), QStringLiteral("t"));
    const pg::Result last = pg::exec(doctor.get(),
                                     "SELECT \"Operator\", count(*) FROM \"PatientsHistory\" "
                                     "GROUP BY \"Operator\" ORDER BY \"Operator\" = $1",
                                     {m_li.toUtf8()});
    ASSERT_EQ(pg::rows(last.get()), 2);
    EXPECT_EQ(pg::text(last.get(), 1, 0), m_li);
    EXPECT_EQ(pg::int64(last.get(), 1, 1), 1);
}

TEST_F(ServerStoreTest, OtherDesktopsHearOfEveryStoredRecord)
{
    auto zhang = m_ward->openAs(m_zhang);
    auto li = m_ward->openAs(m_li);
    EXPECT_TRUE(li->takeChangedRecords().empty());
    const qint64 added = zhang->insertRecord({{column("Bed"), QStringLiteral("1")}});
    const qint64 other = zhang->insertRecord({{column("Bed"), QStringLiteral("2")}});
    zhang->updateRecord(added, {{column("Name"), QStringLiteral("吴十")}});
    zhang->archiveRecord(other);

    std::vector<qint64> heard;
    QElapsedTimer clock;
    clock.start();
    while (heard.size() < 2 && clock.elapsed() < 2000) {
        pollfd watch{li->socket(), POLLIN, 0};
        ::poll(&watch, 1, 100);
        for (qint64 id : li->takeChangedRecords())
            if (std::find(heard.begin(), heard.end(), id) == heard.end())
                heard.push_back(id);
    }
    EXPECT_EQ(heard, (std::vector<qint64>{added, other}));
    // A desktop is not told of its own posts.
    EXPECT_TRUE(zhang->takeChangedRecords().empty());
}

TEST_F(ServerStoreTest, TheServersOwnBedOrderAgreesWithTheDesktops)
{
    auto store = m_ward->openAs(m_zhang);
    for (const char *bed : {"10", "2", "02", "002", "0", "00", "加1", " 3", "12a", "", "𠀀", "\uE000", "3",
                            "a", "B", "99999999999999999999", "100000000000000000000"})
        store->insertRecord({{column("Bed"), QString::fromUtf8(bed)}});
    StoreColumns serverOrder = storeColumnList();
    serverOrder.orderList = nullptr;
    auto bySql = ServerStore::open(m_ward->connectionString(m_zhang), serverOrder);
    std::vector<qint64> desktop, server;
    for (const ListRow &row : store->loadList())
        desktop.push_back(row.rowId);
    for (const ListRow &row : bySql->loadList())
        server.push_back(row.rowId);
    EXPECT_EQ(server, desktop);
}

TEST_F(ServerStoreTest, SignedInRoleAndItsDisplayName)
{
    auto store = m_ward->openAs(m_zhang);
    EXPECT_EQ(store->role(), m_zhang);
    EXPECT_EQ(store->displayName(), QStringLiteral("张医生"));
}

TEST_F(ServerStoreTest, SeveralHostsWithTheFirstDownConnectToTheSecond)
{
    const int closedPort = 1; // nobody listens there: the connection is refused at once
    const QString cluster = servertest::clusterConnection();
    const QString port = QRegularExpression(QStringLiteral("port=(\\d+)")).match(cluster).captured(1);
    const QString hosts =
        QStringLiteral("host=127.0.0.1,127.0.0.1 port=%1,%2 target_session_attrs=read-write "
                       "connect_timeout=5 user=%3 dbname=%4")
            .arg(closedPort)
            .arg(port, m_zhang, m_ward->name());
    auto store = ServerStore::open(hosts, storeColumnList());
    EXPECT_TRUE(store->path().contains(QStringLiteral(":") + port + QStringLiteral("/")))
        << store->path().toStdString();
    EXPECT_EQ(store->recordCount(), 0);
}

TEST_F(ServerStoreTest, UnusableServersAreRefusedWithClearMessages)
{
    const QString unreachable = messageOf([&] {
        ServerStore::open(QStringLiteral("host=127.0.0.1 port=1 connect_timeout=5 dbname=x"),
                          storeColumnList());
    });
    EXPECT_TRUE(unreachable.startsWith(QStringLiteral("无法连接病区服务器……"))) << unreachable.toStdString();
    EXPECT_TRUE(messageOf([&] {
                    ServerStore::open(QStringLiteral("host=127.0.0.1 port=notaport"), storeColumnList());
                }).startsWith(QStringLiteral("无法连接病区服务器……")));

    // A role the ward never made a doctor.
    const QString stranger = servertest::uniqueName("qcstranger");
    pg::exec(m_ward->superuser().get(), "CREATE ROLE " + pg::identifier(stranger) + " LOGIN");
    EXPECT_TRUE(messageOf([&] { m_ward->openAs(stranger); }).contains(QStringLiteral("没有权限")));

    // A database without the ward's tables, and one of another layout version.
    pg::Connection admin = pg::connect(servertest::clusterConnection());
    const QString bare = servertest::uniqueName("qcbare");
    pg::exec(admin.get(), "CREATE DATABASE " + pg::identifier(bare) + " TEMPLATE template0 ENCODING 'UTF8'");
    const QString bareConnection = servertest::clusterConnection() + QStringLiteral(" dbname=") + bare;
    EXPECT_TRUE(messageOf([&] {
                    ServerStore::open(bareConnection, storeColumnList());
                }).contains(QStringLiteral("quillcase-ward init")));
    pg::exec(admin.get(), "DROP DATABASE " + pg::identifier(bare));

    pg::exec(m_ward->superuser().get(),
             "UPDATE \"QuillcaseSettings\" SET \"Value\" = '99' WHERE \"Name\" = 'SchemaVersion'");
    EXPECT_TRUE(messageOf([&] { m_ward->openAs(m_zhang); }).contains(QStringLiteral("第 99 版")));
    EXPECT_TRUE(messageOf([&] {
                    serversetup::initialise(m_ward->superuser().get(), storeColumnList());
                }).contains(QStringLiteral("第 99 版")));
}

TEST_F(ServerStoreTest, InitIsRepeatableAndRefusesADatabaseHoldingOtherTables)
{
    auto store = m_ward->openAs(m_zhang);
    const qint64 id = store->insertRecord({{column("Bed"), QStringLiteral("9")}});
    serversetup::initialise(m_ward->superuser().get(), storeColumnList());
    EXPECT_EQ(store->loadRecord(id)[column("Bed")], QStringLiteral("9"));
    store->updateRecord(id, {{column("Name"), QStringLiteral("郑一")}});

    pg::Connection admin = pg::connect(servertest::clusterConnection());
    const QString other = servertest::uniqueName("qcother");
    pg::exec(admin.get(), "CREATE DATABASE " + pg::identifier(other) + " TEMPLATE template0 ENCODING 'UTF8'");
    {
        pg::Connection foreign =
            pg::connect(servertest::clusterConnection() + QStringLiteral(" dbname=") + other);
        pg::exec(foreign.get(), "CREATE TABLE payroll (a int)");
        EXPECT_THROW(serversetup::initialise(foreign.get(), storeColumnList()), Error);
        const pg::Result tables =
            pg::exec(foreign.get(), "SELECT count(*) FROM pg_tables WHERE schemaname = 'public'");
        EXPECT_EQ(pg::int64(tables.get(), 0, 0), 1);
    }
    pg::exec(admin.get(), "DROP DATABASE " + pg::identifier(other));
}

} // namespace
