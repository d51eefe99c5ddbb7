#pragma once
#include "store/PatientStoreInterface.h"
#include "store/StoreColumns.h"
#include "store/server/PgConnection.h"

#include <QHash>
#include <memory>

// The ward's records on a PostgreSQL server. Every record carries a version: a post stores
// only over the version this desktop loaded, so a change another doctor stored meanwhile is
// never overwritten; the server's triggers write the trail, the author and the time, and
// announce every stored record to the other desktops.
class ServerStore : public PatientStoreInterface
{
public:
    // Connects with a libpq connection string and checks the ward's tables. Throws Error
    // ("无法连接病区服务器……", a missing schema, another layout version, no rights).
    // A sign-in given overrides the string's role and password (see pg::connect; throws
    // pg::SignInNeeded when the server asks for a password).
    static std::unique_ptr<ServerStore> open(const QString &connectionString, const StoreColumns &columns,
                                             const pg::SignIn &signIn = {});

    ~ServerStore() override;
    ServerStore(const ServerStore &) = delete;
    ServerStore &operator=(const ServerStore &) = delete;

    QString path() const override { return m_description; }
    std::vector<ListRow> loadList() override;
    QStringList loadRecord(qint64 rowId) override;
    // Refused when another desktop stored the record after this one loaded it ("该病历已被
    // <姓名> 于 <时间> 修改并保存，本次修改未保存。"), when it is archived, and when the bed
    // would hold a second record not archived.
    // The stamp is not used: the server's trigger writes the trail with its own time and role.
    void updateRecord(qint64 rowId, const QHash<int, QString> &values, const TrailStamp &stamp = {}) override;
    qint64 insertRecord(const QHash<int, QString> &values, const TrailStamp &stamp = {}) override;
    // Among the records not archived.
    std::optional<qint64> findBed(const QString &bed) override;
    int recordCount() override;
    void backupXml(const QString &path) override;
    void backupEncrypted(const QString &path) override;
    void backup(const QString &path) override;
    void close() override;

    std::vector<TrailEntry> history(qint64 rowId) override;
    QString latestChangeTime() override;
    bool isArchived(qint64 rowId) override;
    // Archiving is stamped by the server; unarchiving is for an administrator.
    void setArchived(qint64 rowId, bool archived, const TrailStamp &stamp = {}) override;
    // The display name comes from the ward's doctors table, kept by the administrator.
    QString displayName() const override;
    void setDisplayName(const QString &name) override;
    // The server role: the trail's operator is the role the server signed in.
    QString operatorName() const override;

    // The server role this desktop signed in as.
    QString role();
    // Marks a record archived (the server stamps the time and the role).
    void archiveRecord(qint64 rowId);
    // The socket to watch for announcements, and the ids of the records other desktops
    // stored since the last call (each once, in arrival order).
    int socket() const;
    std::vector<qint64> takeChangedRecords() override;
    int changeSocket() const override { return socket(); }
    // The open connection, for tests and the ward tool.
    PGconn *connection();

    // Whether the signed-in role is one of the ward's administrators.
    bool isAdministrator();
    // VACUUM (ANALYZE) of every table of the ward, outside any transaction. Refused for a role
    // that is no administrator; a table the server skipped (only its owner may vacuum it) is
    // an error, never a success.
    void vacuum();

protected:
    ServerStore(const QString &connectionString, const StoreColumns &columns, const pg::SignIn &signIn);
    void connect();
    const QString &description() const { return m_description; }
    const StoreColumns &columns() const { return m_columns; }

private:
    // Connects again after the connection was lost; announcements may have been missed.
    void reconnect();
    std::vector<int> checkedIndexes(const QHash<int, QString> &values) const;
    [[noreturn]] void refuseUpdate(qint64 rowId, const pg::ServerError *cause,
                                   const QHash<int, QString> &values);
    Error bedExists(const QString &bed) const;

    QString m_connectionString;
    pg::SignIn m_signIn; // in memory only, to connect again after a lost connection
    StoreColumns m_columns;
    int m_bedColumn = -1;
    QString m_description;
    pg::Connection m_connection;
    bool m_closed = false;
    bool m_missedAnnouncements = false;
    // The version of each record as this desktop last loaded or stored it.
    QHash<qint64, qint64> m_versions;
};
