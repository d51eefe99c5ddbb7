#pragma once
#include "records/ChangeTrail.h"
#include "store/PatientStoreInterface.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// The encrypted patient database (SQLCipher) with its table PatientsData, and beside it
// the modification trail PatientsHistory, the archive marks PatientsArchive and the
// settings QuillcaseSettings. Column values are addressed by their index in
// columns::all(). Every method throws Error with a clear Chinese message naming the
// file and the reason.
class PatientStore : public PatientStoreInterface
{
public:
    static constexpr const char *password = "TeapotRiverGlow";

    // Opens an existing database with its key (the database password unless the database has
    // its own passphrase); never creates one. Missing file, not a database, wrong key and
    // unreadable file are errors; a wrong key throws storedb::WrongKey. A database made before
    // the trail existed gets the trail, archive and settings tables here, in one transaction; a
    // trail table that lacks columns is an error and is left as it is.
    static std::unique_ptr<PatientStore> open(const QString &path, const QByteArray &key = password);
    // Creates a new empty database (owner-only) keyed with `key`; refuses when the file exists.
    static void create(const QString &path, const QByteArray &key = password);

    ~PatientStore() override;
    PatientStore(const PatientStore &) = delete;
    PatientStore &operator=(const PatientStore &) = delete;

    QString path() const override { return m_path; }
    // The key the database opened with; encrypted backups and compaction keep it.
    QByteArray key() const { return m_key; }
    // Changes the database's key, whole or not at all (see rekeyFile), and opens it again with
    // the key it then has. Throws Error when the key could not be changed.
    void rekey(const QByteArray &newKey);
    // The open connection, for the engine's online backup of the safety copies.
    sqlite3 *connectionForCopy() const { return connection(); }
    // Changes this connection made since it opened (grows with every post).
    qint64 changeCount() const;

    // Every record's list columns, ordered by bed: numeric beds by value (2 before 10),
    // then any other bed text, ties by row id; each row says whether it is archived.
    std::vector<ListRow> loadList() override;
    // All 79 values of one record in column-table order (NULL reads as empty text).
    QStringList loadRecord(qint64 rowId) override;
    // Stores the given columns of one record in one transaction, together with one trail
    // row for each column whose text really changed. An archived record is refused.
    void updateRecord(qint64 rowId, const QHash<int, QString> &values, const TrailStamp &stamp = {}) override;
    // Stores a new record in one transaction, with one trail row (empty old text) for each
    // filled column; returns its row id.
    qint64 insertRecord(const QHash<int, QString> &values, const TrailStamp &stamp = {}) override;
    // Row id of the first record (in list order) whose Bed equals the text exactly, among
    // the records not archived.
    std::optional<qint64> findBed(const QString &bed) override;
    int recordCount() override;

    // Backups, written whole or not at all (an existing file is replaced only when
    // the new one is complete), owner-only.
    // ADO XML persisted-recordset layout; the trail goes beside it, see historyBackupPath.
    void backupXml(const QString &path) override;
    void backupEncrypted(const QString &path) override; // standalone SQLCipher copy, same password
    // Chooses by name: ".xml" in any letter case gets XML, any other name the encrypted copy.
    void backup(const QString &path) override;
    // The file the XML backup `X.xml` writes the trail into: `X.history.xml` beside it.
    static QString historyBackupPath(const QString &xmlPath);
    // The file it writes the archive marks into: `X.archive.xml` beside it.
    static QString archiveBackupPath(const QString &xmlPath);

    // The modification trail of one record, newest first.
    std::vector<TrailEntry> history(qint64 rowId) override;
    // The time of the trail row written last, or an empty text for an empty trail.
    QString latestChangeTime() override;

    bool isArchived(qint64 rowId) override;
    // Archives or unarchives a record and writes the change into the trail, in one
    // transaction. Setting the state a record already has does nothing.
    void setArchived(qint64 rowId, bool archived, const TrailStamp &stamp = {}) override;

    // The doctor's display name kept in the settings (empty while none is set).
    QString displayName() const override { return m_displayName; }
    // Keeps a display name (blanks at both ends removed; empty clears it). Refuses control
    // characters and more than 100 characters.
    void setDisplayName(const QString &name) override;
    // The operator every change is written under: display name and system account.
    QString operatorName() const override;

    void close() override;

private:
    // The trail, archive and settings tables: created where missing, checked, read.
    void prepareTrailTables();
    // One trail row per changed column; runs inside the caller's transaction.
    void writeTrail(qint64 rowId, const QString &bed, const std::vector<int> &indexes,
                    const QStringList &oldValues, const QHash<int, QString> &values, const TrailStamp &stamp);
    void insertTrailRow(const TrailEntry &entry);
    TrailStamp completed(const TrailStamp &stamp) const;

    explicit PatientStore(const QString &path);
    // Opens the connection with `key`, checks the table and prepares the record query.
    void attach(const QByteArray &key);
    // The open connection; throws Error once the store is closed.
    sqlite3 *connection() const;

    QString m_path;
    QByteArray m_key;
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_selectRecord = nullptr; // kept prepared: making a record current is frequent
    QString m_displayName;
    QString m_account;
};
