#define SQLITE_HAS_CODEC 1
#include "records/PatientStoreTrail.h"

#include "records/ColumnTable.h"
#include "records/PatientStore.h"
#include "records/PatientStoreDb.h"
#include "text/Clock.h"
#include "text/Error.h"

#include <QSet>
#include <QStringList>

#include <optional>

#include <sqlcipher/sqlite3.h>

using storedb::Statement;

namespace {

QString tr(const char *text)
{
    return QString::fromUtf8(text);
}

struct TableLayout
{
    const char *name;
    const char *what; // how the message names the table
    const char *create;
    QStringList columns;
};

const std::vector<TableLayout> &layouts()
{
    static const std::vector<TableLayout> tables = {
        {"PatientsHistory",
         "修改痕迹表",
         "CREATE TABLE IF NOT EXISTS PatientsHistory (RecordId INTEGER, Bed TEXT, ColumnName TEXT, "
         "OldText TEXT, NewText TEXT, Operator TEXT, ChangedAt TEXT)",
         {"RecordId", "Bed", "ColumnName", "OldText", "NewText", "Operator", "ChangedAt"}},
        {"PatientsArchive",
         "归档表",
         "CREATE TABLE IF NOT EXISTS PatientsArchive (RecordId INTEGER PRIMARY KEY, ArchivedAt TEXT, "
         "Operator TEXT)",
         {"RecordId", "ArchivedAt", "Operator"}},
        {"QuillcaseSettings",
         "设置表",
         "CREATE TABLE IF NOT EXISTS QuillcaseSettings (Name TEXT PRIMARY KEY, Value TEXT)",
         {"Name", "Value"}},
    };
    return tables;
}

constexpr const char *historyIndex = "PatientsHistoryRecord";

QSet<QString> schemaNames(sqlite3 *db)
{
    QSet<QString> names;
    Statement list(db, "SELECT name FROM sqlite_master WHERE type IN ('table', 'index')");
    while (list.next())
        names.insert(list.text(0).toLower());
    return names;
}

// Runs `work` inside BEGIN IMMEDIATE … COMMIT; rolls back on any failure.
template <typename Work> void inTransaction(sqlite3 *db, Work work)
{
    storedb::exec(db, "BEGIN IMMEDIATE");
    try {
        work();
        storedb::exec(db, "COMMIT");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

bool archivedIn(sqlite3 *db, qint64 rowId)
{
    Statement find(db, "SELECT 1 FROM PatientsArchive WHERE RecordId = ?1");
    find.bindInt64(1, rowId);
    return find.next();
}

const QString displayNameSetting = QStringLiteral("DisplayName");

} // namespace

namespace storetrail {

bool tablesMissing(sqlite3 *db)
{
    const QSet<QString> names = schemaNames(db);
    for (const TableLayout &table : layouts())
        if (!names.contains(QString::fromLatin1(table.name).toLower()))
            return true;
    return !names.contains(QString::fromLatin1(historyIndex).toLower());
}

void createMissingTables(sqlite3 *db)
{
    for (const TableLayout &table : layouts())
        storedb::exec(db, table.create);
    storedb::exec(db, "CREATE INDEX IF NOT EXISTS PatientsHistoryRecord ON PatientsHistory(RecordId)");
    Statement version(db,
                      "INSERT OR IGNORE INTO QuillcaseSettings (Name, Value) VALUES ('SchemaVersion', ?1)");
    version.bindText(1, QString::number(schemaVersion));
    version.next();
}

void checkTables(sqlite3 *db, bool allowMissing)
{
    for (const TableLayout &table : layouts()) {
        QSet<QString> present;
        Statement info(db, QByteArray("PRAGMA table_info(") + table.name + ")");
        while (info.next())
            present.insert(info.text(1).toLower());
        if (present.isEmpty() && allowMissing)
            continue;
        QStringList missing;
        for (const QString &column : table.columns)
            if (!present.contains(column.toLower()))
                missing << column;
        if (!missing.isEmpty())
            throw Error(tr("%1 %2 缺少字段 %3；为免丢失已有的内容，程序不会改动它，请找信息科修复")
                            .arg(tr(table.what), QString::fromLatin1(table.name), missing.join(tr("、"))));
    }
}

void bindTrailRow(storedb::Statement &insert, const TrailEntry &entry)
{
    insert.bindInt64(1, entry.recordId);
    insert.bindText(2, entry.bed);
    insert.bindText(3, entry.columnName);
    insert.bindText(4, entry.oldText);
    insert.bindText(5, entry.newText);
    insert.bindText(6, entry.operatorName);
    insert.bindText(7, entry.changedAt);
}

void bindArchiveMark(storedb::Statement &insert, qint64 recordId, const QString &archivedAt,
                     const QString &operatorName)
{
    insert.bindInt64(1, recordId);
    insert.bindText(2, archivedAt);
    insert.bindText(3, operatorName);
}

} // namespace storetrail

void PatientStore::prepareTrailTables()
{
    sqlite3 *db = connection();
    // A table that is there but damaged is refused before anything is added beside it.
    storetrail::checkTables(db, true);
    if (storetrail::tablesMissing(db))
        inTransaction(db, [db] { storetrail::createMissingTables(db); });
    storetrail::checkTables(db, false);
    Statement name(db, "SELECT Value FROM QuillcaseSettings WHERE Name = ?1");
    name.bindText(1, displayNameSetting);
    m_displayName = name.next() ? name.text(0) : QString();
    m_account = trail::accountName();
}

TrailStamp PatientStore::completed(const TrailStamp &stamp) const
{
    TrailStamp result = stamp;
    if (result.operatorName.isEmpty())
        result.operatorName = operatorName();
    if (!result.at.isValid())
        result.at = text::currentDateTime();
    return result;
}

QString PatientStore::operatorName() const
{
    return trail::operatorText(m_displayName, m_account);
}

void PatientStore::insertTrailRow(const TrailEntry &entry)
{
    Statement insert(connection(), storetrail::insertTrailSql);
    storetrail::bindTrailRow(insert, entry);
    insert.next();
}

void PatientStore::writeTrail(qint64 rowId, const QString &bed, const std::vector<int> &indexes,
                              const QStringList &oldValues, const QHash<int, QString> &values,
                              const TrailStamp &stamp)
{
    std::optional<Statement> insert;
    const QString at = text::isoDateTimeText(stamp.at);
    for (size_t i = 0; i < indexes.size(); ++i) {
        const QString oldText = oldValues.value(int(i));
        const QString newText = values.value(indexes[i]);
        if (oldText == newText) // a fill that left the text as it was is no change
            continue;
        if (!insert)
            insert.emplace(connection(), storetrail::insertTrailSql);
        else
            insert->reset();
        const QString column = QString::fromLatin1(columns::all()[size_t(indexes[i])].name);
        storetrail::bindTrailRow(*insert, {rowId, bed, column, oldText, newText, stamp.operatorName, at});
        insert->next();
    }
}

std::vector<TrailEntry> PatientStore::history(qint64 rowId)
{
    sqlite3 *db = connection();
    try {
        Statement rows(db, "SELECT RecordId, Bed, ColumnName, OldText, NewText, Operator, ChangedAt "
                           "FROM PatientsHistory WHERE RecordId = ?1 ORDER BY rowid DESC");
        rows.bindInt64(1, rowId);
        std::vector<TrailEntry> entries;
        while (rows.next())
            entries.push_back({rows.int64(0), rows.text(1), rows.text(2), rows.text(3), rows.text(4),
                               rows.text(5), rows.text(6)});
        return entries;
    } catch (const Error &error) {
        throw Error(tr("读取“%1”的修改痕迹时出错：%2").arg(m_path, error.message()));
    }
}

QString PatientStore::latestChangeTime()
{
    sqlite3 *db = connection();
    try {
        Statement last(db, "SELECT ChangedAt FROM PatientsHistory ORDER BY rowid DESC LIMIT 1");
        return last.next() ? last.text(0) : QString();
    } catch (const Error &error) {
        throw Error(tr("读取“%1”的修改痕迹时出错：%2").arg(m_path, error.message()));
    }
}

bool PatientStore::isArchived(qint64 rowId)
{
    sqlite3 *db = connection();
    try {
        return archivedIn(db, rowId);
    } catch (const Error &error) {
        throw Error(tr("读取病历资料库“%1”时出错：%2").arg(m_path, error.message()));
    }
}

void PatientStore::setArchived(qint64 rowId, bool archived, const TrailStamp &stamp)
{
    sqlite3 *db = connection();
    try {
        const TrailStamp by = completed(stamp);
        inTransaction(db, [&] {
            if (archivedIn(db, rowId) == archived)
                return;
            QString bed;
            {
                Statement record(db, "SELECT Bed FROM PatientsData WHERE rowid = ?1");
                record.bindInt64(1, rowId);
                if (!record.next())
                    throw Error(tr("没有编号为 %1 的记录").arg(rowId));
                bed = record.text(0);
            }
            const QString at = text::isoDateTimeText(by.at);
            if (archived) {
                Statement mark(db, storetrail::insertArchiveSql);
                storetrail::bindArchiveMark(mark, rowId, at, by.operatorName);
                mark.next();
            } else {
                Statement unmark(db, "DELETE FROM PatientsArchive WHERE RecordId = ?1");
                unmark.bindInt64(1, rowId);
                unmark.next();
            }
            const QString before = archived ? QStringLiteral("False") : QStringLiteral("True");
            const QString after = archived ? QStringLiteral("True") : QStringLiteral("False");
            insertTrailRow({rowId, bed, trail::archivedColumn(), before, after, by.operatorName, at});
        });
    } catch (const Error &error) {
        throw Error(
            tr("在“%1”中%2时出错：%3").arg(m_path, archived ? tr("归档") : tr("取消归档"), error.message()));
    }
}

void PatientStore::setDisplayName(const QString &name)
{
    const QString problem = trail::displayNameProblem(name);
    if (!problem.isEmpty())
        throw Error(problem);
    sqlite3 *db = connection();
    const QString trimmed = name.trimmed();
    try {
        Statement save(db, "INSERT OR REPLACE INTO QuillcaseSettings (Name, Value) VALUES (?1, ?2)");
        save.bindText(1, displayNameSetting);
        save.bindText(2, trimmed);
        save.next();
    } catch (const Error &error) {
        throw Error(tr("保存医师签名到“%1”时出错：%2").arg(m_path, error.message()));
    }
    m_displayName = trimmed;
}
