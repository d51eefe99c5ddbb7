#include "store/server/ServerStore.h"

#include "store/server/ServerSchema.h"
#include "store/server/ServerSetup.h"

#include <QDateTime>
#include <QSet>

#include <libpq-fe.h>

#include <algorithm>

namespace {

QString tr(const char *text)
{
    return QString::fromUtf8(text);
}

const char *const selectRecord = "quillcase_record";

QByteArray columnList(const QStringList &names)
{
    QByteArrayList quoted;
    for (const QString &name : names)
        quoted << pg::identifier(name);
    return quoted.join(", ");
}

QByteArray parameter(qsizetype place)
{
    return "$" + QByteArray::number(place);
}

// The time of a stored change as this desktop shows times.
QString localTime(double secondsSinceEpoch)
{
    return QDateTime::fromMSecsSinceEpoch(qint64(secondsSinceEpoch * 1000.0))
        .toLocalTime()
        .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

} // namespace

ServerStore::ServerStore(const QString &connectionString, const StoreColumns &columns, const pg::SignIn &signIn)
    : m_connectionString(connectionString), m_signIn(signIn), m_columns(columns)
{
    if (!columns.listNames.isEmpty())
        m_bedColumn = int(columns.names.indexOf(columns.listNames.front()));
}

ServerStore::~ServerStore()
{
    close();
}

std::unique_ptr<ServerStore> ServerStore::open(const QString &connectionString, const StoreColumns &columns,
                                               const pg::SignIn &signIn)
{
    std::unique_ptr<ServerStore> store(new ServerStore(connectionString, columns, signIn));
    store->connect();
    return store;
}

void ServerStore::connect()
{
    pg::Connection connection = pg::connect(m_connectionString, m_signIn);
    const QString description = pg::describe(connection.get());
    try {
        serversetup::checkSchema(connection.get());
        pg::prepare(connection.get(), selectRecord,
                    "SELECT \"Version\", " + columnList(m_columns.names) +
                        " FROM \"PatientsData\" WHERE \"RecordId\" = $1");
        pg::exec(connection.get(), QByteArray("LISTEN ") + serverschema::changeChannel);
    } catch (const Error &error) {
        throw Error(tr("无法打开病区服务器“%1”上的病历资料：%2").arg(description, error.message()));
    }
    m_connection = std::move(connection);
    m_description = description;
}

PGconn *ServerStore::connection()
{
    if (m_closed)
        throw Error(tr("病区服务器“%1”的连接已关闭").arg(m_description));
    // A connection lost earlier is made again, so that a post refused while the server was
    // away succeeds once it is back.
    if (!m_connection || PQstatus(m_connection.get()) != CONNECTION_OK)
        reconnect();
    return m_connection.get();
}

void ServerStore::reconnect()
{
    m_connection.reset();
    connect();
    // Nothing was heard while the connection was down.
    m_missedAnnouncements = true;
}

std::vector<int> ServerStore::checkedIndexes(const QHash<int, QString> &values) const
{
    std::vector<int> indexes;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (it.key() < 0 || it.key() >= m_columns.names.size())
            throw Error(tr("字段编号 %1 不存在").arg(it.key()));
        indexes.push_back(it.key());
    }
    std::sort(indexes.begin(), indexes.end());
    return indexes;
}

Error ServerStore::bedExists(const QString &bed) const
{
    return Error(tr("床号") + bed + tr("已经存在，继续编辑或删除重建！"));
}

std::vector<ListRow> ServerStore::loadList()
{
    PGconn *db = connection();
    try {
        // The caller's own bed order is quicker than the server's, and the same by construction.
        const QByteArray order = m_columns.orderList ? QByteArray() : serverschema::bedOrderSql();
        const pg::Result list = pg::exec(db, "SELECT \"RecordId\", " + columnList(m_columns.listNames) +
                                                 " FROM \"PatientsData\" " + order);
        const int count = int(m_columns.listNames.size());
        const int rows = pg::rows(list.get());
        std::vector<ListRow> result;
        result.reserve(size_t(rows));
        for (int r = 0; r < rows; ++r) {
            ListRow row;
            row.rowId = pg::int64(list.get(), r, 0);
            row.values.reserve(count);
            for (int c = 1; c <= count; ++c)
                row.values << pg::text(list.get(), r, c);
            result.push_back(std::move(row));
        }
        if (m_columns.orderList)
            m_columns.orderList(result);
        return result;
    } catch (const Error &error) {
        throw Error(tr("读取病区服务器“%1”上的病历时出错：%2").arg(m_description, error.message()));
    }
}

QStringList ServerStore::loadRecord(qint64 rowId)
{
    PGconn *db = connection();
    try {
        const pg::Result record = pg::execPrepared(db, selectRecord, {QByteArray::number(rowId)});
        if (pg::rows(record.get()) != 1)
            throw Error(tr("没有编号为 %1 的记录").arg(rowId));
        m_versions.insert(rowId, pg::int64(record.get(), 0, 0));
        QStringList values;
        values.reserve(m_columns.names.size());
        for (int c = 1; c <= m_columns.names.size(); ++c)
            values << pg::text(record.get(), 0, c);
        return values;
    } catch (const Error &error) {
        throw Error(tr("读取病区服务器“%1”上的病历时出错：%2").arg(m_description, error.message()));
    }
}

void ServerStore::updateRecord(qint64 rowId, const QHash<int, QString> &values, const TrailStamp &)
{
    const auto fail = [this](const QString &reason) {
        return Error(tr("保存病历到病区服务器“%1”时出错：%2").arg(m_description, reason));
    };
    const std::vector<int> indexes = checkedIndexes(values);
    if (indexes.empty())
        return;
    const auto version = m_versions.constFind(rowId);
    if (version == m_versions.cend())
        throw fail(tr("编号为 %1 的记录尚未读取").arg(rowId));
    PGconn *db = connection();
    QByteArrayList assignments;
    std::vector<QByteArray> parameters;
    for (int index : indexes) {
        parameters.push_back(pg::textValue(values.value(index)));
        assignments << pg::identifier(m_columns.names.at(index)) + " = " +
                           parameter(qsizetype(parameters.size()));
    }
    parameters.push_back(QByteArray::number(rowId));
    parameters.push_back(QByteArray::number(*version));
    const QByteArray sql = "UPDATE \"PatientsData\" SET " + assignments.join(", ") +
                           " WHERE \"RecordId\" = " + parameter(qsizetype(parameters.size() - 1)) +
                           " AND \"Version\" = " + parameter(qsizetype(parameters.size())) +
                           " RETURNING \"Version\"";
    pg::Result stored;
    try {
        stored = pg::exec(db, sql, parameters);
    } catch (const pg::ServerError &error) {
        refuseUpdate(rowId, &error, values);
    }
    if (pg::rows(stored.get()) != 1)
        refuseUpdate(rowId, nullptr, values);
    m_versions.insert(rowId, pg::int64(stored.get(), 0, 0));
}

void ServerStore::refuseUpdate(qint64 rowId, const pg::ServerError *cause, const QHash<int, QString> &values)
{
    const auto fail = [this](const QString &reason) {
        return Error(tr("保存病历到病区服务器“%1”时出错：%2").arg(m_description, reason));
    };
    if (cause) {
        if (cause->sqlState() == "23505" && cause->constraint() == serverschema::openBedIndex)
            throw bedExists(values.value(m_bedColumn));
        if (cause->sqlState() == serverschema::archivedState)
            throw Error(tr("该病历已归档，只能查看，不能修改。"));
        if (cause->sqlState() == "42501")
            throw fail(tr("本角色没有修改病历的权限"));
        throw fail(cause->message());
    }
    // No row had the loaded version: find out why, to say so.
    pg::Result current;
    try {
        current = pg::exec(
            connection(),
            "SELECT p.\"Version\", coalesce(d.\"DisplayName\", p.\"ModifiedBy\"), "
            "extract(epoch FROM p.\"ModifiedAt\")::float8, p.\"ArchivedAt\" IS NOT NULL "
            "FROM \"PatientsData\" p LEFT JOIN \"QuillcaseDoctors\" d ON d.\"Role\" = p.\"ModifiedBy\" "
            "WHERE p.\"RecordId\" = $1",
            {QByteArray::number(rowId)});
    } catch (const Error &error) {
        throw fail(error.message());
    }
    if (pg::rows(current.get()) == 0)
        throw fail(tr("没有编号为 %1 的记录").arg(rowId));
    if (pg::text(current.get(), 0, 3) == QStringLiteral("t"))
        throw Error(tr("该病历已归档，只能查看，不能修改。"));
    throw Error(tr("该病历已被 %1 于 %2 修改并保存，本次修改未保存。")
                    .arg(pg::text(current.get(), 0, 1), localTime(pg::text(current.get(), 0, 2).toDouble())));
}

qint64 ServerStore::insertRecord(const QHash<int, QString> &values, const TrailStamp &)
{
    const std::vector<int> indexes = checkedIndexes(values);
    PGconn *db = connection();
    QByteArray sql;
    std::vector<QByteArray> parameters;
    if (indexes.empty()) {
        sql = "INSERT INTO \"PatientsData\" DEFAULT VALUES";
    } else {
        QByteArrayList names, places;
        for (int index : indexes) {
            parameters.push_back(pg::textValue(values.value(index)));
            names << pg::identifier(m_columns.names.at(index));
            places << parameter(qsizetype(parameters.size()));
        }
        sql = "INSERT INTO \"PatientsData\" (" + names.join(", ") + ") VALUES (" + places.join(", ") + ")";
    }
    try {
        const pg::Result stored = pg::exec(db, sql + " RETURNING \"RecordId\", \"Version\"", parameters);
        const qint64 rowId = pg::int64(stored.get(), 0, 0);
        m_versions.insert(rowId, pg::int64(stored.get(), 0, 1));
        return rowId;
    } catch (const pg::ServerError &error) {
        if (error.sqlState() == "23505" && error.constraint() == serverschema::openBedIndex)
            throw bedExists(values.value(m_bedColumn));
        throw Error(tr("保存病历到病区服务器“%1”时出错：%2").arg(m_description, error.message()));
    }
}

std::optional<qint64> ServerStore::findBed(const QString &bed)
{
    PGconn *db = connection();
    try {
        const pg::Result found = pg::exec(db,
                                          "SELECT \"RecordId\" FROM \"PatientsData\" WHERE \"Bed\" = $1 "
                                          "AND \"ArchivedAt\" IS NULL ORDER BY \"RecordId\" LIMIT 1",
                                          {pg::textValue(bed)});
        if (pg::rows(found.get()) == 0)
            return std::nullopt;
        return pg::int64(found.get(), 0, 0);
    } catch (const Error &error) {
        throw Error(tr("读取病区服务器“%1”上的病历时出错：%2").arg(m_description, error.message()));
    }
}

int ServerStore::recordCount()
{
    PGconn *db = connection();
    try {
        const pg::Result count = pg::exec(db, "SELECT count(*) FROM \"PatientsData\"");
        return int(pg::int64(count.get(), 0, 0));
    } catch (const Error &error) {
        throw Error(tr("读取病区服务器“%1”上的病历时出错：%2").arg(m_description, error.message()));
    }
}

void ServerStore::backupXml(const QString &path)
{
    backup(path);
}

void ServerStore::backupEncrypted(const QString &path)
{
    backup(path);
}

void ServerStore::backup(const QString &path)
{
    throw Error(tr("无法备份到“%1”：病区服务器上的病历暂时只能由管理员在服务器上备份（pg_dump）").arg(path));
}

void ServerStore::close()
{
    m_connection.reset();
    m_closed = true;
}

QString ServerStore::role()
{
    const pg::Result role = pg::exec(connection(), "SELECT session_user");
    return pg::text(role.get(), 0, 0);
}

QString ServerStore::displayName() const
{
    const pg::Result name =
        pg::exec(const_cast<ServerStore *>(this)->connection(), "SELECT coalesce((SELECT \"DisplayName\" FROM \"QuillcaseDoctors\" "
                               "WHERE \"Role\" = session_user), session_user)");
    return pg::text(name.get(), 0, 0);
}

void ServerStore::archiveRecord(qint64 rowId)
{
    try {
        const pg::Result archived =
            pg::exec(connection(),
                     "UPDATE \"PatientsData\" SET \"ArchivedAt\" = quillcase_stamp(), "
                     "\"ArchivedBy\" = session_user WHERE \"RecordId\" = $1 "
                     "AND \"ArchivedAt\" IS NULL RETURNING \"Version\"",
                     {QByteArray::number(rowId)});
        if (pg::rows(archived.get()) == 1)
            m_versions.insert(rowId, pg::int64(archived.get(), 0, 0));
    } catch (const Error &error) {
        throw Error(tr("无法归档编号为 %1 的病历：%2").arg(rowId).arg(error.message()));
    }
}

bool ServerStore::isArchived(qint64 rowId)
{
    const pg::Result archived = pg::exec(
        connection(), "SELECT \"ArchivedAt\" IS NOT NULL FROM \"PatientsData\" WHERE \"RecordId\" = $1",
        {QByteArray::number(rowId)});
    return pg::rows(archived.get()) == 1 && pg::text(archived.get(), 0, 0) == QStringLiteral("t");
}

int ServerStore::socket() const
{
    return m_connection ? PQsocket(m_connection.get()) : -1;
}

std::vector<qint64> ServerStore::takeChangedRecords()
{
    std::vector<qint64> changed;
    if (m_closed)
        return changed;
    // A connection the server closed is made again here too, so that a desktop left idle
    // hears the other desktops again (throws while the server is away).
    if (!m_connection || PQstatus(m_connection.get()) != CONNECTION_OK)
        reconnect();
    PGconn *db = m_connection.get();
    if (!PQconsumeInput(db) && PQstatus(db) != CONNECTION_OK)
        reconnect();
    db = m_connection.get();
    if (m_missedAnnouncements) {
        m_missedAnnouncements = false;
        changed.push_back(anyRecord);
    }
    QSet<qint64> seen;
    while (PGnotify *notice = PQnotifies(db)) {
        const qint64 id = QByteArray(notice->extra).toLongLong();
        if (notice->be_pid != PQbackendPID(db) && !seen.contains(id)) {
            seen.insert(id);
            changed.push_back(id);
        }
        PQfreemem(notice);
    }
    return changed;
}

std::vector<TrailEntry> ServerStore::history(qint64 rowId)
{
    try {
        const pg::Result rows = pg::exec(
            connection(),
            "SELECT \"RecordId\", coalesce(\"Bed\", ''), \"ColumnName\", coalesce(\"OldText\", ''), "
            "coalesce(\"NewText\", ''), \"Operator\", \"ChangedAt\" FROM \"PatientsHistory\" "
            "WHERE \"RecordId\" = $1 ORDER BY \"HistoryId\" DESC",
            {QByteArray::number(rowId)});
        std::vector<TrailEntry> entries;
        const int count = pg::rows(rows.get());
        entries.reserve(size_t(count));
        for (int r = 0; r < count; ++r)
            entries.push_back({pg::int64(rows.get(), r, 0), pg::text(rows.get(), r, 1), pg::text(rows.get(), r, 2),
                               pg::text(rows.get(), r, 3), pg::text(rows.get(), r, 4), pg::text(rows.get(), r, 5),
                               pg::text(rows.get(), r, 6)});
        return entries;
    } catch (const Error &error) {
        throw Error(tr("读取病区服务器“%1”上的修改痕迹时出错：%2").arg(m_description, error.message()));
    }
}

QString ServerStore::latestChangeTime()
{
    const pg::Result latest = pg::exec(connection(), "SELECT coalesce((SELECT \"ChangedAt\" FROM "
                                                     "\"PatientsHistory\" ORDER BY \"HistoryId\" DESC LIMIT 1), '')");
    return pg::text(latest.get(), 0, 0);
}

void ServerStore::setArchived(qint64 rowId, bool archived, const TrailStamp &)
{
    if (archived) {
        archiveRecord(rowId);
        return;
    }
    try {
        const pg::Result unarchived =
            pg::exec(connection(),
                     "UPDATE \"PatientsData\" SET \"ArchivedAt\" = NULL, \"ArchivedBy\" = NULL "
                     "WHERE \"RecordId\" = $1 AND \"ArchivedAt\" IS NOT NULL RETURNING \"Version\"",
                     {QByteArray::number(rowId)});
        if (pg::rows(unarchived.get()) == 1)
            m_versions.insert(rowId, pg::int64(unarchived.get(), 0, 0));
    } catch (const Error &error) {
        throw Error(tr("无法取消归档编号为 %1 的病历：%2").arg(rowId).arg(error.message()));
    }
}

void ServerStore::setDisplayName(const QString &)
{
    throw Error(tr("病区服务器上的医师签名由病区管理员设置（quillcase-ward add-doctor）"));
}

bool ServerStore::isAdministrator()
{
    const pg::Result member = pg::exec(connection(), QByteArray("SELECT pg_has_role(session_user, '") +
                                                         serverschema::adminRole + "', 'MEMBER')");
    return pg::text(member.get(), 0, 0) == QStringLiteral("t");
}

namespace {

// Collects the warnings the server sends while a statement runs (VACUUM reports a table it
// skipped as a warning, not as an error).
void collectWarning(void *warnings, const PGresult *notice)
{
    const char *severity = PQresultErrorField(notice, PG_DIAG_SEVERITY_NONLOCALIZED);
    if (severity && QByteArray(severity) == "WARNING") {
        const char *message = PQresultErrorField(notice, PG_DIAG_MESSAGE_PRIMARY);
        static_cast<QStringList *>(warnings)->append(QString::fromUtf8(message ? message : severity));
    }
}

} // namespace

void ServerStore::vacuum()
{
    const auto fail = [this](const QString &reason) {
        return Error(tr("整理病区服务器“%1”上的病历资料库时出错：%2").arg(m_description, reason));
    };
    if (!isAdministrator())
        throw fail(tr("本角色不是病区管理员，不能整理病历资料库"));
    PGconn *db = connection();
    const pg::Result tables = pg::exec(db, "SELECT format('%I.%I', schemaname, tablename) FROM pg_tables "
                                           "WHERE schemaname = 'public' ORDER BY tablename");
    QByteArrayList names;
    for (int r = 0; r < pg::rows(tables.get()); ++r)
        names << pg::text(tables.get(), r, 0).toUtf8();
    if (names.isEmpty())
        throw fail(tr("没有找到病区的表"));
    QStringList warnings;
    const PQnoticeReceiver previous = PQsetNoticeReceiver(db, collectWarning, &warnings);
    try {
        // One statement outside a transaction block: VACUUM cannot run inside one.
        pg::exec(db, "VACUUM (ANALYZE) " + names.join(", "));
    } catch (const Error &error) {
        PQsetNoticeReceiver(db, previous, nullptr);
        throw fail(error.message());
    }
    PQsetNoticeReceiver(db, previous, nullptr);
    if (!warnings.isEmpty())
        throw fail(tr("服务器跳过了部分表（%1）；请用 quillcase-ward init 更新病区数据库的权限后再试")
                       .arg(warnings.join(tr("；"))));
}

QString ServerStore::operatorName() const
{
    return const_cast<ServerStore *>(this)->role();
}
