#include "records/VerbatimCopy.h"

#include "records/ColumnTable.h"
#include "records/PatientStore.h"
#include "records/PatientStoreDb.h"
#include "records/PatientStoreTrail.h"

#include <sqlcipher/sqlite3.h>

namespace {

QString tr(const char *text)
{
    return QString::fromUtf8(text);
}

QByteArray insertRecordSql()
{
    QByteArrayList names{"rowid"}, places{"?1"};
    for (const Column &column : columns::all()) {
        names << QByteArray("\"") + column.name + "\"";
        places << "?" + QByteArray::number(places.size() + 1);
    }
    return "INSERT INTO PatientsData (" + names.join(", ") + ") VALUES (" + places.join(", ") + ")";
}

} // namespace

struct VerbatimCopy::Statements
{
    explicit Statements(sqlite3 *db)
        : record(db, insertRecordSql()), archive(db, storetrail::insertArchiveSql),
          trail(db, storetrail::insertTrailSql)
    {}
    storedb::Statement record;
    storedb::Statement archive;
    storedb::Statement trail;
};

VerbatimCopy::VerbatimCopy(PatientStore &store) : m_store(store)
{
    sqlite3 *db = store.connectionForCopy();
    storedb::exec(db, "BEGIN IMMEDIATE");
    m_open = true;
    try {
        m_statements = std::make_unique<Statements>(db);
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        m_open = false;
        throw;
    }
}

VerbatimCopy::~VerbatimCopy()
{
    m_statements.reset();
    if (m_open)
        sqlite3_exec(m_store.connectionForCopy(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void VerbatimCopy::record(qint64 rowId, const QStringList &values)
{
    const int count = int(columns::all().size());
    if (values.size() != count)
        throw Error(tr("记录 %1 有 %2 个字段，应为 %3 个").arg(rowId).arg(values.size()).arg(count));
    storedb::Statement &insert = m_statements->record;
    insert.reset();
    insert.bindInt64(1, rowId);
    for (int i = 0; i < count; ++i)
        if (!values[i].isNull()) // unbound parameters are NULL
            insert.bindText(i + 2, values[i]);
    insert.next();
}

void VerbatimCopy::archiveMark(qint64 rowId, const QString &archivedAt, const QString &operatorName)
{
    storedb::Statement &insert = m_statements->archive;
    insert.reset();
    storetrail::bindArchiveMark(insert, rowId, archivedAt, operatorName);
    insert.next();
}

void VerbatimCopy::trailRow(const TrailEntry &entry)
{
    storedb::Statement &insert = m_statements->trail;
    insert.reset();
    storetrail::bindTrailRow(insert, entry);
    insert.next();
}

void VerbatimCopy::commit()
{
    m_statements.reset();
    storedb::exec(m_store.connectionForCopy(), "COMMIT");
    m_open = false;
}
