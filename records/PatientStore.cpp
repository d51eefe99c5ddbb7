#define SQLITE_HAS_CODEC 1
#include "records/PatientStore.h"

#include "records/ColumnTable.h"
#include "records/PatientStoreDb.h"
#include "records/PatientStoreOrder.h"
#include "records/PatientStoreTrail.h"
#include "records/PatientStoreXml.h"
#include "records/Rekey.h"
#include "text/Error.h"
#include "text/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <sqlcipher/sqlite3.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>

using storedb::Statement;

namespace {

QString tr(const char *text)
{
    return QString::fromUtf8(text);
}

QByteArray quoted(const char *name)
{
    return QByteArray("\"") + name + "\"";
}

QByteArray listColumnsSql()
{
    QByteArrayList names;
    for (const QString &name : columns::listColumns())
        names << quoted(name.toUtf8().constData());
    return names.join(", ");
}

// The columns the patient list reads come first, then the others in column-table order.
// The engine tracks only the first 63 columns of a table when it decides whether an index
// covers a query; PriDiagnosis in its table place (the 66th) would make every list load
// read the whole records.
QByteArray createTableSql()
{
    const QStringList first = columns::listColumns();
    QByteArrayList definitions;
    for (const QString &name : first)
        definitions << quoted(name.toUtf8().constData()) + " TEXT";
    for (const Column &column : columns::all()) {
        if (!first.contains(QString::fromUtf8(column.name)))
            definitions << quoted(column.name) + " TEXT";
    }
    return "CREATE TABLE PatientsData (" + definitions.join(", ") + ")";
}

// The list index covers every column the patient list shows, so loading the list reads
// the index alone and never the records themselves (which hold the long memos); it also
// serves the search for a bed. The bed order itself is applied after reading.
QByteArray createIndexesSql()
{
    return "CREATE INDEX IF NOT EXISTS PatientsList ON PatientsData(" + listColumnsSql() + ")";
}

QByteArray selectRecordSql()
{
    QByteArrayList names;
    for (const Column &column : columns::all())
        names << quoted(column.name);
    return "SELECT " + names.join(", ") + " FROM PatientsData WHERE rowid = ?1";
}

// Refuses a file that is an encrypted database with our password but not ours.
void checkTable(sqlite3 *db)
{
    QSet<QString> present;
    Statement info(db, "PRAGMA table_info(PatientsData)");
    while (info.next())
        present.insert(info.text(1).toLower()); // the engine matches column names without case
    if (present.isEmpty())
        throw Error(tr("文件中没有病人资料表 PatientsData"));
    QStringList missing;
    for (const Column &column : columns::all()) {
        if (!present.contains(QString::fromUtf8(column.name).toLower()))
            missing << QString::fromUtf8(column.name);
    }
    if (!missing.isEmpty())
        throw Error(tr("病人资料表 PatientsData 缺少字段 %1").arg(missing.join(tr("、"))));
}

// Checks the column indexes and returns them in ascending order, so the SQL is the same
// for the same set of columns.
std::vector<int> sortedIndexes(const QHash<int, QString> &values)
{
    std::vector<int> indexes;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (it.key() < 0 || size_t(it.key()) >= columns::all().size())
            throw Error(tr("字段编号 %1 不存在").arg(it.key()));
        indexes.push_back(it.key());
    }
    std::sort(indexes.begin(), indexes.end());
    return indexes;
}

// Values that repeat down the patient list (beds, sex, age, marriage, common diagnoses) share
// one QString instead of being converted and allocated row after row: the list loads faster
// and takes less memory. Each column remembers a bounded number of distinct texts.
class SharedTexts
{
public:
    QString get(QByteArrayView utf8)
    {
        if (utf8.isEmpty())
            return QString();
        const std::string_view key(utf8.data(), size_t(utf8.size()));
        const auto found = m_texts.find(key);
        if (found != m_texts.end())
            return found->second;
        const QString text = QString::fromUtf8(utf8);
        if (m_texts.size() < limit)
            m_texts.emplace(std::string(key), text);
        return text;
    }

private:
    static constexpr size_t limit = 4096;
    struct Hash
    {
        using is_transparent = void;
        size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
    };
    std::unordered_map<std::string, QString, Hash, std::equal_to<>> m_texts;
};

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

} // namespace

PatientStore::PatientStore(const QString &path) : m_path(path) {}

PatientStore::~PatientStore()
{
    close();
}

void PatientStore::attach(const QByteArray &key)
{
    m_db = storedb::openKeyed(m_path, key);
    m_key = key;
    checkTable(m_db);
    storedb::exec(m_db, createIndexesSql().constData());
    prepareTrailTables();
    const QByteArray sql = selectRecordSql();
    if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &m_selectRecord, nullptr) != SQLITE_OK)
        throw Error(storedb::engineReason(m_db));
}

std::unique_ptr<PatientStore> PatientStore::open(const QString &path, const QByteArray &key)
{
    std::unique_ptr<PatientStore> store(new PatientStore(path));
    try {
        store->attach(key);
    } catch (const storedb::WrongKey &error) {
        throw storedb::WrongKey(tr("无法打开病历资料库“%1”：%2").arg(path, error.message()));
    } catch (const Error &error) {
        throw Error(tr("无法打开病历资料库“%1”：%2").arg(path, error.message()));
    }
    return store;
}

void PatientStore::rekey(const QByteArray &newKey)
{
    connection();
    const QByteArray oldKey = m_key;
    close();
    QString failure;
    try {
        rekeyFile(m_path, oldKey, newKey);
    } catch (const Error &error) {
        failure = error.message();
    }
    // Whatever happened, the file holds one whole database under one of the two keys.
    try {
        try {
            attach(failure.isEmpty() ? newKey : oldKey);
        } catch (const storedb::WrongKey &) {
            close();
            attach(failure.isEmpty() ? oldKey : newKey);
        }
    } catch (const Error &error) {
        close();
        throw Error(tr("更改口令后无法重新打开病历资料库“%1”：%2").arg(m_path, error.message()));
    }
    if (!failure.isEmpty())
        throw Error(tr("无法更改病历资料库“%1”的口令：%2。口令未改").arg(m_path, failure));
    if (m_key != newKey)
        throw Error(tr("无法更改病历资料库“%1”的口令：更改没有生效。口令未改").arg(m_path));
}

qint64 PatientStore::changeCount() const
{
    return m_db ? sqlite3_total_changes(m_db) : 0;
}

void PatientStore::create(const QString &path, const QByteArray &key)
{
    const auto fail = [&path](const QString &reason) {
        return Error(tr("无法创建病历资料库“%1”：%2").arg(path, reason));
    };
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        throw fail(tr("文件已存在，不会覆盖它"));
    try {
        storedb::createOwnerOnlyFile(path);
    } catch (const Error &error) {
        throw fail(error.message());
    }
    sqlite3 *db = nullptr;
    try {
        // The file exists now (empty, owner-only); the engine writes the keyed database into it.
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
            SQLITE_OK)
            throw Error(storedb::engineReason(db));
        if (sqlite3_key(db, key.constData(), int(key.size())) != SQLITE_OK)
            throw Error(storedb::engineReason(db));
        inTransaction(db, [&] {
            storedb::exec(db, createTableSql().constData());
            storedb::exec(db, createIndexesSql().constData());
            storetrail::createMissingTables(db);
        });
        if (sqlite3_close(db) != SQLITE_OK)
            throw Error(storedb::engineReason(db));
        db = nullptr;
    } catch (const Error &error) {
        storedb::closeQuietly(db);
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-journal"));
        throw fail(error.message());
    }
}

sqlite3 *PatientStore::connection() const
{
    if (!m_db)
        throw Error(tr("病历资料库“%1”已关闭").arg(m_path));
    return m_db;
}

std::vector<ListRow> PatientStore::loadList()
{
    sqlite3 *db = connection();
    try {
        Statement list(db, "SELECT rowid, " + listColumnsSql() + " FROM PatientsData ORDER BY Bed");
        const int count = int(columns::listColumns().size());
        std::vector<SharedTexts> shared(size_t(count + 1));
        std::vector<ListRow> rows;
        while (list.next()) {
            ListRow row;
            row.rowId = list.int64(0);
            row.values.reserve(count);
            for (int i = 1; i <= count; ++i)
                row.values << shared[size_t(i)].get(list.utf8(i));
            rows.push_back(std::move(row));
        }
        // Few records are archived: their ids are read apart instead of joining every row.
        QSet<qint64> archived;
        Statement marks(db, "SELECT RecordId FROM PatientsArchive");
        while (marks.next())
            archived.insert(marks.int64(0));
        if (!archived.isEmpty())
            for (ListRow &row : rows)
                row.archived = archived.contains(row.rowId);
        storeorder::sortByBed(rows);
        return rows;
    } catch (const Error &error) {
        throw Error(tr("读取病历资料库“%1”时出错：%2").arg(m_path, error.message()));
    }
}

QStringList PatientStore::loadRecord(qint64 rowId)
{
    sqlite3 *db = connection();
    sqlite3_stmt *stmt = m_selectRecord;
    sqlite3_reset(stmt);
    sqlite3_bind_int64(stmt, 1, rowId);
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_ROW) {
        const QString reason =
            rc == SQLITE_DONE ? tr("没有编号为 %1 的记录").arg(rowId) : storedb::engineReason(db);
        sqlite3_reset(stmt);
        throw Error(tr("读取病历资料库“%1”时出错：%2").arg(m_path, reason));
    }
    const int count = int(columns::all().size());
    QStringList values;
    values.reserve(count);
    for (int i = 0; i < count; ++i) {
        const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(stmt, i));
        values << (data ? QString::fromUtf8(data, sqlite3_column_bytes(stmt, i)) : QString());
    }
    // Resetting ends the statement's read, so other connections may write again.
    sqlite3_reset(stmt);
    return values;
}

void PatientStore::updateRecord(qint64 rowId, const QHash<int, QString> &values, const TrailStamp &stamp)
{
    sqlite3 *db = connection();
    try {
        const std::vector<int> indexes = sortedIndexes(values);
        if (indexes.empty())
            return;
        const TrailStamp by = completed(stamp);
        QByteArrayList assignments, names{quoted("Bed")};
        for (size_t i = 0; i < indexes.size(); ++i) {
            assignments << quoted(columns::all()[size_t(indexes[i])].name) + " = ?" +
                               QByteArray::number(i + 1);
            names << quoted(columns::all()[size_t(indexes[i])].name);
        }
        const QByteArray sql = "UPDATE PatientsData SET " + assignments.join(", ") + " WHERE rowid = ?" +
                               QByteArray::number(indexes.size() + 1);
        const QByteArray selectOld = "SELECT " + names.join(", ") + " FROM PatientsData WHERE rowid = ?1";
        const int bedColumn = columns::indexOf(QStringLiteral("Bed"));
        inTransaction(db, [&] {
            {
                Statement archived(db, "SELECT 1 FROM PatientsArchive WHERE RecordId = ?1");
                archived.bindInt64(1, rowId);
                if (archived.next())
                    throw Error(tr("病历已归档，不能修改。"));
            }
            // The texts as stored now, read inside the transaction: the trail's old texts.
            QString bed;
            QStringList oldValues;
            {
                Statement old(db, selectOld);
                old.bindInt64(1, rowId);
                if (!old.next())
                    throw Error(tr("没有编号为 %1 的记录").arg(rowId));
                bed = old.text(0);
                for (size_t i = 0; i < indexes.size(); ++i)
                    oldValues << old.text(int(i + 1));
            }
            Statement update(db, sql);
            for (size_t i = 0; i < indexes.size(); ++i)
                update.bindText(int(i + 1), values.value(indexes[i]));
            update.bindInt64(int(indexes.size() + 1), rowId);
            update.next();
            if (sqlite3_changes(db) != 1)
                throw Error(tr("没有编号为 %1 的记录").arg(rowId));
            writeTrail(rowId, values.value(bedColumn, bed), indexes, oldValues, values, by);
        });
    } catch (const Error &error) {
        throw Error(tr("保存病历到“%1”时出错：%2").arg(m_path, error.message()));
    }
}

qint64 PatientStore::insertRecord(const QHash<int, QString> &values, const TrailStamp &stamp)
{
    sqlite3 *db = connection();
    try {
        const std::vector<int> indexes = sortedIndexes(values);
        const TrailStamp by = completed(stamp);
        QByteArray sql;
        if (indexes.empty()) {
            sql = "INSERT INTO PatientsData DEFAULT VALUES";
        } else {
            QByteArrayList names, places;
            for (size_t i = 0; i < indexes.size(); ++i) {
                names << quoted(columns::all()[size_t(indexes[i])].name);
                places << "?" + QByteArray::number(i + 1);
            }
            sql = "INSERT INTO PatientsData (" + names.join(", ") + ") VALUES (" + places.join(", ") + ")";
        }
        qint64 rowId = 0;
        inTransaction(db, [&] {
            Statement insert(db, sql);
            for (size_t i = 0; i < indexes.size(); ++i)
                insert.bindText(int(i + 1), values.value(indexes[i]));
            insert.next();
            rowId = sqlite3_last_insert_rowid(db);
            // A new record's filled columns, each with an empty old text.
            writeTrail(rowId, values.value(columns::indexOf(QStringLiteral("Bed"))), indexes, {}, values, by);
        });
        return rowId;
    } catch (const Error &error) {
        throw Error(tr("保存病历到“%1”时出错：%2").arg(m_path, error.message()));
    }
}

std::optional<qint64> PatientStore::findBed(const QString &bed)
{
    sqlite3 *db = connection();
    try {
        // An archived record gives its bed free for the next admission.
        // Rows with the same bed text share their place in the bed order, so among them the
        // list order is the row-id order.
        Statement find(db, "SELECT rowid FROM PatientsData WHERE Bed = ?1 AND rowid NOT IN "
                           "(SELECT RecordId FROM PatientsArchive) ORDER BY rowid LIMIT 1");
        find.bindText(1, bed);
        if (find.next())
            return find.int64(0);
        return std::nullopt;
    } catch (const Error &error) {
        throw Error(tr("读取病历资料库“%1”时出错：%2").arg(m_path, error.message()));
    }
}

int PatientStore::recordCount()
{
    sqlite3 *db = connection();
    try {
        Statement count(db, "SELECT count(*) FROM PatientsData");
        count.next();
        return int(count.int64(0));
    } catch (const Error &error) {
        throw Error(tr("读取病历资料库“%1”时出错：%2").arg(m_path, error.message()));
    }
}

void PatientStore::backupXml(const QString &path)
{
    sqlite3 *db = connection();
    try {
        if (storedb::sameFile(path, m_path))
            throw Error(tr("这是正在使用的病历资料库文件本身"));
        // The XML is plain text: the temporary files holding it are owner-only, noted for removal
        // after a crash, and removed on every failure. The records' rowset stays as it always
        // was; the trail and the archive marks go into files of the same layout beside it, and
        // find their records by the place of each record in the records' file. All three are
        // read in one snapshot and complete before any replaces an older file.
        text::WholeFile file(path, text::FileMode::OwnerOnly);
        text::WholeFile trailFile(historyBackupPath(path), text::FileMode::OwnerOnly);
        text::WholeFile archiveFile(archiveBackupPath(path), text::FileMode::OwnerOnly);
        storedb::exec(db, "SAVEPOINT xml_backup");
        try {
            std::vector<qint64> rowIds;
            storexml::writeRowset(db, file.descriptor(), &rowIds);
            storexml::writeHistoryRowset(db, trailFile.descriptor(), rowIds);
            storexml::writeArchiveRowset(db, archiveFile.descriptor(), rowIds);
        } catch (...) {
            sqlite3_exec(db, "RELEASE xml_backup", nullptr, nullptr, nullptr);
            throw;
        }
        storedb::exec(db, "RELEASE xml_backup");
        file.commit();
        trailFile.commit();
        archiveFile.commit();
    } catch (const Error &error) {
        throw Error(tr("无法备份到“%1”：%2").arg(path, error.message()));
    }
}

void PatientStore::backupEncrypted(const QString &path)
{
    sqlite3 *db = connection();
    try {
        if (storedb::sameFile(path, m_path))
            throw Error(tr("这是正在使用的病历资料库文件本身"));
        text::WholeFile file(path, text::FileMode::OwnerOnly);
        file.closeDescriptor();
        storedb::exportEncrypted(db, file.temporaryPath(), m_key);
        file.commit();
    } catch (const Error &error) {
        throw Error(tr("无法备份到“%1”：%2").arg(path, error.message()));
    }
}

void PatientStore::backup(const QString &path)
{
    if (path.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive))
        backupXml(path);
    else
        backupEncrypted(path);
}

void PatientStore::close()
{
    if (m_selectRecord) {
        sqlite3_finalize(m_selectRecord);
        m_selectRecord = nullptr;
    }
    if (m_db) {
        sqlite3_close(m_db);
        m_db = nullptr;
    }
}

QString PatientStore::historyBackupPath(const QString &xmlPath)
{
    QString base = xmlPath;
    if (base.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive))
        base.chop(4);
    return base + QStringLiteral(".history.xml");
}

QString PatientStore::archiveBackupPath(const QString &xmlPath)
{
    QString base = xmlPath;
    if (base.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive))
        base.chop(4);
    return base + QStringLiteral(".archive.xml");
}
