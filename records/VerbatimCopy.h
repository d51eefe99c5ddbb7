#pragma once
#include "store/TrailTypes.h"

#include <QString>
#include <QStringList>
#include <memory>

class PatientStore;

// Puts the content of another store into an empty patient database as it is: records keep
// their row ids, archive marks and trail rows their own operator and time, and no trail row
// of this database's own is written. Everything goes in one transaction, which commit() ends;
// without it nothing stays. Used to make the desktop's backup files of the ward's server.
class VerbatimCopy
{
public:
    // Begins the transaction on the store's connection.
    explicit VerbatimCopy(PatientStore &store);
    ~VerbatimCopy();
    VerbatimCopy(const VerbatimCopy &) = delete;
    VerbatimCopy &operator=(const VerbatimCopy &) = delete;

    // One record: every column in column-table order; a null text is stored as NULL.
    void record(qint64 rowId, const QStringList &values);
    void archiveMark(qint64 rowId, const QString &archivedAt, const QString &operatorName);
    void trailRow(const TrailEntry &entry);
    void commit();

private:
    struct Statements;
    PatientStore &m_store;
    std::unique_ptr<Statements> m_statements;
    bool m_open = false;
};
