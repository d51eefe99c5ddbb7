#pragma once
#include "store/TrailTypes.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// One row of the patient list: the record's row id and the values of the list columns
// (Bed, ID, Name, sex, age, marriage, PriDiagnosis), the bed first.
struct ListRow
{
    qint64 rowId = 0;
    QStringList values;
    bool archived = false; // archived records are read-only and give their bed free
};

// What the record-editing session needs of a place that keeps the patient records: the
// encrypted file of one desktop or the ward's database server. Column values are addressed
// by their index in the column table. Every method throws Error with a clear Chinese message.
class PatientStoreInterface
{
public:
    virtual ~PatientStoreInterface();

    // Where the records are: the file's path, or the server's address.
    virtual QString path() const = 0;

    // Every record's list columns, ordered by bed: numeric beds by value (2 before 10),
    // then any other bed text in code-point order, ties by row id.
    virtual std::vector<ListRow> loadList() = 0;
    // All values of one record in column-table order (NULL reads as empty text).
    virtual QStringList loadRecord(qint64 rowId) = 0;
    // Stores the given columns of one record in one transaction, with one trail row for each
    // column whose text changed. An archived record is refused. (A server writes the trail
    // itself, with its own time and the signed-in role, and ignores the stamp.)
    virtual void updateRecord(qint64 rowId, const QHash<int, QString> &values, const TrailStamp &stamp = {}) = 0;
    // Stores a new record in one transaction, with its trail; returns its row id.
    virtual qint64 insertRecord(const QHash<int, QString> &values, const TrailStamp &stamp = {}) = 0;
    // Row id of the first record (in list order) whose Bed equals the text exactly, among
    // the records not archived.
    virtual std::optional<qint64> findBed(const QString &bed) = 0;
    virtual int recordCount() = 0;

    // Backups, written whole or not at all, owner-only.
    virtual void backupXml(const QString &path) = 0;       // ADO XML persisted-recordset layout
    virtual void backupEncrypted(const QString &path) = 0; // standalone SQLCipher copy
    // Chooses by name: ".xml" in any letter case gets XML, any other name the encrypted copy.
    virtual void backup(const QString &path) = 0;

    // The modification trail of one record, newest first.
    virtual std::vector<TrailEntry> history(qint64 rowId) = 0;
    // The time of the trail row written last, or an empty text for an empty trail.
    virtual QString latestChangeTime() = 0;
    virtual bool isArchived(qint64 rowId) = 0;
    // Archives or unarchives a record, written into the trail like any change.
    virtual void setArchived(qint64 rowId, bool archived, const TrailStamp &stamp = {}) = 0;

    // The display name of the doctor writing (empty while none is set), and the operator
    // every change is written under.
    virtual QString displayName() const = 0;
    virtual void setDisplayName(const QString &name) = 0;
    virtual QString operatorName() const = 0;

    // Records other desktops stored: a socket that turns readable when one is announced
    // (-1 for a store nobody else writes), and the ids announced since the last call, each
    // once; `anyRecord` among them when announcements may have been missed (the connection
    // was made again), so that the whole list is read again. The file of one desktop has
    // neither.
    static constexpr qint64 anyRecord = -1;
    virtual int changeSocket() const { return -1; }
    virtual std::vector<qint64> takeChangedRecords() { return {}; }

    virtual void close() = 0;
};
