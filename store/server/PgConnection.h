#pragma once
#include "text/Error.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

typedef struct pg_conn PGconn;
typedef struct pg_result PGresult;

// Small tools over libpq's C API shared by the server store and the ward tool. Field text
// only ever travels as a statement parameter; SQL text is built from our own column names
// alone. Failures throw ServerError carrying the server's error code.
namespace pg {

struct ResultDeleter
{
    void operator()(PGresult *result) const;
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

struct ConnectionDeleter
{
    void operator()(PGconn *connection) const;
};
using Connection = std::unique_ptr<PGconn, ConnectionDeleter>;

// An error reported by the server or by libpq: the message is the bare reason in the
// server's words, sqlState the five-character code ("23505"), constraint the name of the
// constraint that refused the row (when there is one).
class ServerError : public Error
{
public:
    ServerError(const QString &message, const QByteArray &sqlState, const QByteArray &constraint,
                bool connectionLost)
        : Error(message), m_sqlState(sqlState), m_constraint(constraint), m_connectionLost(connectionLost)
    {}
    const QByteArray &sqlState() const { return m_sqlState; }
    const QByteArray &constraint() const { return m_constraint; }
    // The connection to the server broke (the statement may not have reached it).
    bool connectionLost() const { return m_connectionLost; }

private:
    QByteArray m_sqlState;
    QByteArray m_constraint;
    bool m_connectionLost;
};

// The Chinese words that begin every message about an unreachable server.
QString unreachable();

// A role and password the doctor typed, given besides the connection string (an empty user
// keeps the string's own). Kept in memory only, for connecting again after a lost connection.
struct SignIn
{
    QString user;
    QString password;
    bool given() const { return !user.isEmpty() || !password.isEmpty(); }
};

// The server wants a password that libpq's own ways (the string, PGPASSWORD, ~/.pgpass) did
// not give, or refused the one given (refused()). user() is the role libpq asked for.
class SignInNeeded : public Error
{
public:
    SignInNeeded(const QString &message, const QString &user, bool refused)
        : Error(message), m_user(user), m_refused(refused)
    {}
    const QString &user() const { return m_user; }
    bool refused() const { return m_refused; }

private:
    QString m_user;
    bool m_refused;
};

// Connects with a libpq connection string or URI (several hosts, target_session_attrs and
// every other libpq setting included); a sign-in given overrides the string's user and
// password. Throws SignInNeeded when the server asks for a password none gave or refuses the
// one given, else Error "无法连接病区服务器……" with the reason.
Connection connect(const QString &connectionString, const SignIn &signIn = {});

// Runs SQL without parameters (several statements allowed). Throws ServerError.
Result exec(PGconn *connection, const QByteArray &sql);
// Runs one statement with text parameters ($1, $2, …); a null QByteArray is SQL NULL.
Result exec(PGconn *connection, const QByteArray &sql, const std::vector<QByteArray> &parameters);
// Prepares a named statement once per connection.
void prepare(PGconn *connection, const char *name, const QByteArray &sql);
// The same, replacing a statement of that name prepared earlier on the connection (prepared
// statements outlive a rolled-back transaction, so a step that may run twice uses this).
void prepareAgain(PGconn *connection, const char *name, const QByteArray &sql);
Result execPrepared(PGconn *connection, const char *name, const std::vector<QByteArray> &parameters);
// Runs one statement whose parameters marked in binaryParameters travel as raw bytes (bytea);
// with binaryResult every result value comes back as raw bytes too.
Result execBinary(PGconn *connection, const QByteArray &sql, const std::vector<QByteArray> &parameters,
                  const std::vector<bool> &binaryParameters, bool binaryResult);

// Text as a statement parameter: never NULL, the empty text stays the empty text.
QByteArray textValue(const QString &text);
QByteArray textValue(QByteArrayView utf8);

// Rows of a result, and one value as text (NULL reads as empty text).
int rows(const PGresult *result);
QString text(const PGresult *result, int row, int column);
bool isNull(const PGresult *result, int row, int column);
qint64 int64(const PGresult *result, int row, int column);

// A name of our own (a column, a table) quoted for SQL: "Bed".
QByteArray identifier(const QString &name);
// A role name chosen by the hospital, quoted by libpq for use in CREATE ROLE / GRANT.
QByteArray roleIdentifier(PGconn *connection, const QString &role);

// The server the connection reached: "host:port/database".
QString describe(PGconn *connection);

} // namespace pg
