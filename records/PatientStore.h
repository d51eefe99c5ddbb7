#pragma once
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// One row of the patient list: the record's row id and the values of
// columns::listColumns() (Bed, ID, Name, sex, age, marriage, PriDiagnosis).
struct ListRow
{
    qint64 rowId = 0;
    QStringList values;
};

// The encrypted patient database (SQLCipher) with its one table PatientsData.
// Column values are addressed by their index in columns::all(). Every method
// throws Error with a clear Chinese message naming the file and the reason.
class PatientStore
{
public:
    static constexpr const char *password = "TeapotRiverGlow";

    // Opens an existing database with its key (the database password unless the database has
    // its own passphrase); never creates one. Missing file, not a database, wrong key and
    // unreadable file are errors; a wrong key throws storedb::WrongKey.
    static std::unique_ptr<PatientStore> open(const QString &path, const QByteArray &key = password);
    // Creates a new empty database (owner-only) keyed with `key`; refuses when the file exists.
    static void create(const QString &path, const QByteArray &key = password);

    ~PatientStore();
    PatientStore(const PatientStore &) = delete;
    PatientStore &operator=(const PatientStore &) = delete;

    QString path() const { return m_path; }
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
    // then any other bed text, ties by row id.
    std::vector<ListRow> loadList();
    // All 79 values of one record in column-table order (NULL reads as empty text).
    QStringList loadRecord(qint64 rowId);
    // Stores the given columns of one record in one transaction.
    void updateRecord(qint64 rowId, const QHash<int, QString> &values);
    // Stores a new record in one transaction; returns its row id.
    qint64 insertRecord(const QHash<int, QString> &values);
    // Row id of the first record (in list order) whose Bed equals the text exactly.
    std::optional<qint64> findBed(const QString &bed);
    int recordCount();

    // Backups, written whole or not at all (an existing file is replaced only when
    // the new one is complete), owner-only.
    void backupXml(const QString &path);       // ADO XML persisted-recordset layout
    void backupEncrypted(const QString &path); // standalone SQLCipher copy, same password
    // Chooses by name: ".xml" in any letter case gets XML, any other name the encrypted copy.
    void backup(const QString &path);

    void close();

private:
    explicit PatientStore(const QString &path);
    // Opens the connection with `key`, checks the table and prepares the record query.
    void attach(const QByteArray &key);
    // The open connection; throws Error once the store is closed.
    sqlite3 *connection() const;

    QString m_path;
    QByteArray m_key;
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_selectRecord = nullptr; // kept prepared: making a record current is frequent
};
