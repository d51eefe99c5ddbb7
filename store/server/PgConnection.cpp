#include "store/server/PgConnection.h"

#include <libpq-fe.h>

namespace pg {

namespace {

QString tr(const char *text)
{
    return QString::fromUtf8(text);
}

// libpq's messages end with a new line; the first line is the reason, any DETAIL follows.
QString cleaned(const char *message)
{
    return QString::fromUtf8(message).trimmed();
}

Result checked(PGconn *connection, PGresult *raw)
{
    Result result(raw);
    const ExecStatusType status = raw ? PQresultStatus(raw) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
        return result;
    const bool lost = PQstatus(connection) != CONNECTION_OK;
    if (!raw)
        throw ServerError(cleaned(PQerrorMessage(connection)), QByteArray(), QByteArray(), lost);
    const char *state = PQresultErrorField(raw, PG_DIAG_SQLSTATE);
    const char *constraint = PQresultErrorField(raw, PG_DIAG_CONSTRAINT_NAME);
    const char *primary = PQresultErrorField(raw, PG_DIAG_MESSAGE_PRIMARY);
    QString message = primary ? QString::fromUtf8(primary) : cleaned(PQresultErrorMessage(raw));
    if (message.isEmpty())
        message = cleaned(PQerrorMessage(connection));
    throw ServerError(lost ? unreachable() + message : message, QByteArray(state ? state : ""),
                      QByteArray(constraint ? constraint : ""), lost);
}

struct Parameters
{
    explicit Parameters(const std::vector<QByteArray> &values)
    {
        pointers.reserve(values.size());
        for (const QByteArray &value : values)
            pointers.push_back(value.isNull() ? nullptr : value.constData());
    }
    int count() const { return int(pointers.size()); }
    const char *const *data() const { return pointers.data(); }
    std::vector<const char *> pointers;
};

} // namespace

void ResultDeleter::operator()(PGresult *result) const
{
    PQclear(result);
}

void ConnectionDeleter::operator()(PGconn *connection) const
{
    PQfinish(connection);
}

QString unreachable()
{
    return tr("无法连接病区服务器……");
}

Connection connect(const QString &connectionString, const SignIn &signIn)
{
    const QByteArray conninfo = connectionString.toUtf8();
    char *parseError = nullptr;
    PQconninfoOption *options = PQconninfoParse(conninfo.constData(), &parseError);
    if (!options) {
        const QString reason = parseError ? cleaned(parseError) : tr("内存不足");
        PQfreemem(parseError);
        throw Error(unreachable() + tr("连接设置有误：%1").arg(reason));
    }
    PQconninfoFree(options);
    // The program's own settings come first so that the hospital's string may override them.
    // Settings after the expanded string override it: the typed role and password.
    const QByteArray user = signIn.user.toUtf8();
    const QByteArray password = signIn.password.toUtf8();
    std::vector<const char *> keywords = {"application_name", "client_encoding", "dbname"};
    std::vector<const char *> values = {"quillcase", "UTF8", conninfo.constData()};
    if (!signIn.user.isEmpty()) {
        keywords.push_back("user");
        values.push_back(user.constData());
    }
    if (!signIn.password.isEmpty()) {
        keywords.push_back("password");
        values.push_back(password.constData());
    }
    keywords.push_back(nullptr);
    values.push_back(nullptr);
    Connection connection(PQconnectdbParams(keywords.data(), values.data(), 1));
    if (!connection)
        throw Error(unreachable() + tr("内存不足"));
    if (PQstatus(connection.get()) != CONNECTION_OK) {
        const QString reason = cleaned(PQerrorMessage(connection.get()));
        const QString role = QString::fromUtf8(PQuser(connection.get()));
        if (PQconnectionNeedsPassword(connection.get()))
            throw SignInNeeded(tr("病区服务器要求登录：%1").arg(reason), role, false);
        if (PQconnectionUsedPassword(connection.get()))
            throw SignInNeeded(tr("登录未成功：%1").arg(reason), role, true);
        throw Error(unreachable() + reason);
    }
    // The server's notices ("already exists, skipping") are no business of the user's.
    PQsetNoticeProcessor(
        connection.get(), [](void *, const char *) {}, nullptr);
    if (PQsetClientEncoding(connection.get(), "UTF8") != 0)
        throw Error(unreachable() + tr("服务器不接受 UTF-8 编码"));
    return connection;
}

Result exec(PGconn *connection, const QByteArray &sql)
{
    return checked(connection, PQexec(connection, sql.constData()));
}

Result exec(PGconn *connection, const QByteArray &sql, const std::vector<QByteArray> &parameters)
{
    const Parameters p(parameters);
    return checked(connection, PQexecParams(connection, sql.constData(), p.count(), nullptr, p.data(),
                                            nullptr, nullptr, 0));
}

Result execBinary(PGconn *connection, const QByteArray &sql, const std::vector<QByteArray> &parameters,
                  const std::vector<bool> &binaryParameters, bool binaryResult)
{
    const Parameters p(parameters);
    std::vector<int> lengths;
    std::vector<int> formats;
    for (size_t i = 0; i < parameters.size(); ++i) {
        lengths.push_back(int(parameters[i].size()));
        formats.push_back(i < binaryParameters.size() && binaryParameters[i] ? 1 : 0);
    }
    return checked(connection, PQexecParams(connection, sql.constData(), p.count(), nullptr, p.data(),
                                            lengths.data(), formats.data(), binaryResult ? 1 : 0));
}

void prepare(PGconn *connection, const char *name, const QByteArray &sql)
{
    checked(connection, PQprepare(connection, name, sql.constData(), 0, nullptr));
}

void prepareAgain(PGconn *connection, const char *name, const QByteArray &sql)
{
    const Result present =
        exec(connection, "SELECT 1 FROM pg_prepared_statements WHERE name = $1", {QByteArray(name)});
    if (rows(present.get()) > 0)
        exec(connection, QByteArray("DEALLOCATE ") + name);
    prepare(connection, name, sql);
}

Result execPrepared(PGconn *connection, const char *name, const std::vector<QByteArray> &parameters)
{
    const Parameters p(parameters);
    return checked(connection, PQexecPrepared(connection, name, p.count(), p.data(), nullptr, nullptr, 0));
}

QByteArray textValue(const QString &text)
{
    return textValue(QByteArrayView(text.toUtf8()));
}

QByteArray textValue(QByteArrayView utf8)
{
    static const char empty[] = "";
    return utf8.isEmpty() ? QByteArray(empty, 0) : utf8.toByteArray();
}

int rows(const PGresult *result)
{
    return PQntuples(result);
}

QString text(const PGresult *result, int row, int column)
{
    if (PQgetisnull(result, row, column))
        return QString();
    return QString::fromUtf8(PQgetvalue(result, row, column), PQgetlength(result, row, column));
}

bool isNull(const PGresult *result, int row, int column)
{
    return PQgetisnull(result, row, column);
}

qint64 int64(const PGresult *result, int row, int column)
{
    return QByteArray(PQgetvalue(result, row, column)).toLongLong();
}

QByteArray identifier(const QString &name)
{
    QByteArray quoted = name.toUtf8();
    quoted.replace('"', "\"\"");
    return '"' + quoted + '"';
}

QByteArray roleIdentifier(PGconn *connection, const QString &role)
{
    const QByteArray name = role.toUtf8();
    char *escaped = PQescapeIdentifier(connection, name.constData(), size_t(name.size()));
    if (!escaped)
        throw Error(tr("角色名“%1”无效：%2").arg(role, cleaned(PQerrorMessage(connection))));
    const QByteArray result(escaped);
    PQfreemem(escaped);
    return result;
}

QString describe(PGconn *connection)
{
    return QStringLiteral("%1:%2/%3")
        .arg(QString::fromUtf8(PQhost(connection)), QString::fromUtf8(PQport(connection)),
             QString::fromUtf8(PQdb(connection)));
}

} // namespace pg
