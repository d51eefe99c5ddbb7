#pragma once
#include "store/PatientStoreInterface.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// The encrypted patient database (SQLCipher) with its one table PatientsData.
// Column values are addressed by their index in columns::all(). Every method
// throws Error with a clear Chinese message naming the file and the reason.
class PatientStore : public PatientStoreInterface
{
public:
    static constexpr const char *password = "TeapotRiverGlow";

    // Opens an existing database; never creates one. Missing file, not a database,
    // wrong password and unreadable file are errors.
    static std::unique_ptr<PatientStore> open(const QString &path);
    // Creates a new empty database (owner-only); refuses when the file exists.
    static void create(const QString &path);

    ~PatientStore() override;
    PatientStore(const PatientStore &) = delete;
    PatientStore &operator=(const PatientStore &) = delete;

    QString path() const override { return m_path; }

    // Every record's list columns, ordered by bed: numeric beds by value (2 before 10),
    // then any other bed text, ties by row id.
    std::vector<ListRow> loadList() override;
    // All 79 values of one record in column-table order (NULL reads as empty text).
    QStringList loadRecord(qint64 rowId) override;
    // Stores the given columns of one record in one transaction.
    void updateRecord(qint64 rowId, const QHash<int, QString> &values) override;
    // Stores a new record in one transaction; returns its row id.
    qint64 insertRecord(const QHash<int, QString> &values) override;
    // Row id of the first record (in list order) whose Bed equals the text exactly.
    std::optional<qint64> findBed(const QString &bed) override;
    int recordCount() override;

    // Backups, written whole or not at all (an existing file is replaced only when
    // the new one is complete), owner-only.
    void backupXml(const QString &path) override;       // ADO XML persisted-recordset layout
    void backupEncrypted(const QString &path) override; // standalone SQLCipher copy, same password
    // Chooses by name: ".xml" in any letter case gets XML, any other name the encrypted copy.
    void backup(const QString &path) override;

    void close() override;

private:
    explicit PatientStore(const QString &path);
    // The open connection; throws Error once the store is closed.
    sqlite3 *connection() const;

    QString m_path;
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_selectRecord = nullptr; // kept prepared: making a record current is frequent
};
