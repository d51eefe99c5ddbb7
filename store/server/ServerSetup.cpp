#include "store/server/ServerSetup.h"

#include "store/server/PgConnection.h"
#include "store/server/ServerSchema.h"

namespace serversetup {

namespace {

QString tr(const char *text)
{
    return QString::fromUtf8(text);
}

template <typename Work> void inTransaction(PGconn *connection, Work work)
{
    pg::exec(connection, "BEGIN");
    try {
        work();
        pg::exec(connection, "COMMIT");
    } catch (...) {
        try {
            pg::exec(connection, "ROLLBACK");
        } catch (const Error &) {
            // The connection is gone: the server has rolled the transaction back itself.
        }
        throw;
    }
}

// The layout version recorded in the database, or empty when the settings table is missing.
QString storedVersion(PGconn *connection)
{
    const pg::Result present =
        pg::exec(connection, "SELECT to_regclass('public.\"QuillcaseSettings\"') IS NOT NULL");
    if (pg::text(present.get(), 0, 0) != QStringLiteral("t"))
        return QString();
    const pg::Result version =
        pg::exec(connection, "SELECT \"Value\" FROM \"QuillcaseSettings\" WHERE \"Name\" = 'SchemaVersion'");
    return pg::rows(version.get()) ? pg::text(version.get(), 0, 0) : QStringLiteral("?");
}

Error otherVersion(const QString &found)
{
    return Error(tr("病区服务器上的病历资料结构是第 %1 版，本程序使用第 %2 版，不能使用它")
                     .arg(found)
                     .arg(serverschema::version));
}

} // namespace

void initialise(PGconn *connection, const StoreColumns &columns)
{
    try {
        const pg::Result encoding = pg::exec(connection, "SHOW server_encoding");
        if (pg::text(encoding.get(), 0, 0) != QStringLiteral("UTF8"))
            throw Error(
                tr("数据库的编码是 %1，病区数据库须以 UTF8 编码创建").arg(pg::text(encoding.get(), 0, 0)));
        inTransaction(connection, [&] {
            // Two set-ups of the same database wait for each other.
            pg::exec(connection, "SELECT pg_advisory_xact_lock(7714001)");
            const QString found = storedVersion(connection);
            if (found.isEmpty()) {
                const pg::Result tables =
                    pg::exec(connection, "SELECT count(*) FROM pg_tables WHERE schemaname = 'public'");
                if (pg::int64(tables.get(), 0, 0) != 0)
                    throw Error(tr("数据库中已有其他的表，病区数据库须建在一个空的数据库中"));
            } else if (found != QString::number(serverschema::version)) {
                throw otherVersion(found);
            }
            pg::exec(connection, serverschema::rolesSql());
            pg::exec(connection, serverschema::schemaSql(columns));
            pg::exec(connection, serverschema::ownershipSql());
            pg::exec(connection,
                     "INSERT INTO \"QuillcaseSettings\" (\"Name\", \"Value\") VALUES ('SchemaVersion', $1) "
                     "ON CONFLICT (\"Name\") DO NOTHING",
                     {QByteArray::number(serverschema::version)});
        });
    } catch (const Error &error) {
        throw Error(tr("无法建立病区数据库：%1").arg(error.message()));
    }
}

void checkSchema(PGconn *connection)
{
    QString found;
    try {
        found = storedVersion(connection);
    } catch (const pg::ServerError &error) {
        if (error.sqlState() == "42501")
            throw Error(tr("病区服务器拒绝了本角色读取病历资料（没有权限），请让管理员把本角色加为医生"));
        throw;
    }
    if (found.isEmpty())
        throw Error(tr("病区服务器上没有病历资料，请先用 quillcase-ward init 建立病区数据库"));
    if (found != QString::number(serverschema::version))
        throw otherVersion(found);
}

void addDoctor(PGconn *connection, const QString &role, const QString &displayName, bool administrator)
{
    try {
        if (role.trimmed().isEmpty() || displayName.trimmed().isEmpty())
            throw Error(tr("角色名和医生姓名都不能为空"));
        checkSchema(connection);
        const QByteArray name = pg::roleIdentifier(connection, role);
        inTransaction(connection, [&] {
            const pg::Result exists =
                pg::exec(connection, "SELECT 1 FROM pg_roles WHERE rolname = $1", {role.toUtf8()});
            if (pg::rows(exists.get()) == 0)
                pg::exec(connection, "CREATE ROLE " + name + " LOGIN");
            pg::exec(connection,
                     "GRANT " +
                         QByteArray(administrator ? serverschema::adminRole : serverschema::doctorRole) +
                         " TO " + name);
            pg::exec(connection,
                     "INSERT INTO \"QuillcaseDoctors\" (\"Role\", \"DisplayName\") VALUES ($1, $2) "
                     "ON CONFLICT (\"Role\") DO UPDATE SET \"DisplayName\" = EXCLUDED.\"DisplayName\"",
                     {role.toUtf8(), displayName.toUtf8()});
        });
    } catch (const Error &error) {
        throw Error(tr("无法添加医生“%1”：%2").arg(role, error.message()));
    }
}

} // namespace serversetup
