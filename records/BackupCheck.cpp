#define SQLITE_HAS_CODEC 1
#include "records/BackupCheck.h"

#include "records/ColumnTable.h"
#include "records/PatientStoreDb.h"
#include "records/XmlRowsetReader.h"
#include "text/Clock.h"
#include "text/Error.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <sqlcipher/sqlite3.h>

#include <cstring>

namespace backupcheck {

namespace {

QString tr(const char *text)
{
    return QString::fromUtf8(text);
}

constexpr char plainHeader[] = "SQLite format 3";

QByteArray firstBytes(const QString &path, int count)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(count);
}

// The 79 columns must all be there (the engine matches names without case); any others
// are named so that the question can say they are kept.
QStringList extraColumnsOf(const QStringList &present)
{
    QSet<QString> lower;
    for (const QString &name : present)
        lower.insert(name.toLower());
    QStringList missing;
    for (const Column &column : columns::all()) {
        if (!lower.contains(QString::fromUtf8(column.name).toLower()))
            missing << QString::fromUtf8(column.name);
    }
    if (missing.size() == int(columns::all().size()))
        throw Error(tr("病人资料表 PatientsData 没有本程序的任何字段，这不是本程序的备份"));
    if (!missing.isEmpty())
        throw Error(tr("病人资料表 PatientsData 缺少字段 %1").arg(missing.join(tr("、"))));
    QSet<QString> known;
    for (const Column &column : columns::all())
        known.insert(QString::fromUtf8(column.name).toLower());
    QStringList extra;
    for (const QString &name : present) {
        if (!known.contains(name.toLower()))
            extra << name;
    }
    return extra;
}

QStringList tableColumns(sqlite3 *db, const char *table)
{
    QStringList names;
    storedb::Statement info(db, QByteArray("PRAGMA table_info(\"") + table + "\")");
    while (info.next())
        names << info.text(1);
    return names;
}

void checkEncrypted(BackupSummary &summary, const QList<QByteArray> &keys)
{
    sqlite3 *db = nullptr;
    QString wrongKeyReason;
    for (const QByteArray &key : keys) {
        try {
            db = openReadOnly(summary.path, key);
            summary.key = key;
            break;
        } catch (const storedb::WrongKey &error) {
            wrongKeyReason = error.message();
        }
    }
    if (!db)
        throw storedb::WrongKey(wrongKeyReason.isEmpty() ? tr("没有可用的口令") : wrongKeyReason);
    try {
        {
            // Every page of the file is read and checked; a cut or damaged file fails here.
            storedb::Statement check(db, "PRAGMA quick_check(5)");
            QStringList faults;
            while (check.next()) {
                if (check.text(0) != QLatin1String("ok"))
                    faults << check.text(0);
            }
            if (!faults.isEmpty())
                throw Error(tr("数据库检查未通过：%1").arg(faults.join(tr("；"))));
        }
        const QStringList present = tableColumns(db, "PatientsData");
        if (present.isEmpty())
            throw Error(tr("文件中没有病人资料表 PatientsData，这不是本程序的备份"));
        summary.extraColumns = extraColumnsOf(present);
        QStringList dates;
        storedb::Statement rows(db, "SELECT \"DoA\" FROM PatientsData");
        while (rows.next()) {
            ++summary.records;
            dates << rows.text(0);
        }
        summary.newestAdmission = newestDate(dates);
        if (!tableColumns(db, trailTable).isEmpty()) {
            storedb::Statement count(db, QByteArray("SELECT count(*) FROM \"") + trailTable + "\"");
            count.next();
            summary.trailRows = count.int64(0);
        }
        if (tableColumns(db, archiveTable).contains(QLatin1String("RecordId"), Qt::CaseInsensitive)) {
            // Only marks of records the backup holds archive anything.
            storedb::Statement count(db, QByteArray("SELECT count(*) FROM \"") + archiveTable +
                                             "\" WHERE RecordId IN (SELECT rowid FROM PatientsData)");
            count.next();
            summary.archivedRecords = count.int64(0);
        }
    } catch (...) {
        storedb::closeQuietly(db);
        throw;
    }
    storedb::closeQuietly(db);
}

void checkXml(BackupSummary &summary)
{
    int doa = -1;
    QStringList dates;
    xmlrowset::read(
        summary.path,
        [&](const QStringList &names) {
            summary.extraColumns = extraColumnsOf(names);
            for (int i = 0; i < names.size(); ++i) {
                if (names[i].compare(QLatin1String("DoA"), Qt::CaseInsensitive) == 0)
                    doa = i;
            }
        },
        [&](const xmlrowset::Row &row) {
            ++summary.records;
            if (doa >= 0 && row[size_t(doa)])
                dates << *row[size_t(doa)];
        });
    summary.newestAdmission = newestDate(dates);
    // The trail and the archive marks: where they name a record by its place, the place must
    // be in the records file, so that a restore can give every row its record.
    const auto readBeside = [&](const QString &file, qint64 &count, bool marks) {
        count = 0;
        try {
            int place = -1;
            QSet<qint64> marked;
            xmlrowset::read(
                file,
                [&](const QStringList &names) {
                    for (int i = 0; place < 0 && i < names.size(); ++i) {
                        if (names[i].compare(QLatin1String(recordRowColumn), Qt::CaseInsensitive) == 0)
                            place = i;
                    }
                    if (marks && place < 0)
                        throw Error(tr("没有 %1 字段").arg(QLatin1String(recordRowColumn)));
                },
                [&](const xmlrowset::Row &row) {
                    const qint64 record = place < 0 ? 0 : recordRowOf(row[size_t(place)], summary.records);
                    if (!marks) {
                        ++count;
                        return;
                    }
                    // A mark whose record is not in the backup is not restored, nor counted.
                    if (record == 0)
                        return;
                    if (marked.contains(record))
                        throw Error(tr("第 %1 份病历的归档标记重复").arg(record));
                    marked.insert(record);
                    ++count;
                });
        } catch (const Error &error) {
            throw Error(tr("%1“%2”：%3")
                            .arg(marks ? tr("归档标记文件") : tr("修改记录文件"), QFileInfo(file).fileName(),
                                 error.message()));
        }
    };
    const QString trail = trailFileOf(summary.path);
    if (QFileInfo::exists(trail)) {
        summary.trailPath = trail;
        readBeside(trail, summary.trailRows, false);
    }
    const QString archive = archiveFileOf(summary.path);
    if (QFileInfo::exists(archive)) {
        summary.archivePath = archive;
        readBeside(archive, summary.archivedRecords, true);
    }
}

} // namespace

sqlite3 *openReadOnly(const QString &path, const QByteArray &key)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        const QString reason = storedb::engineReason(db);
        storedb::closeQuietly(db);
        throw Error(reason);
    }
    if (sqlite3_key(db, key.constData(), int(key.size())) != SQLITE_OK ||
        sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const bool wrongKey = sqlite3_errcode(db) == SQLITE_NOTADB;
        const QString reason = storedb::engineReason(db);
        storedb::closeQuietly(db);
        if (wrongKey)
            throw storedb::WrongKey(reason);
        throw Error(reason);
    }
    return db;
}

QString archiveFileOf(const QString &xmlPath)
{
    QString base = xmlPath;
    if (base.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive))
        base.chop(4);
    return base + QStringLiteral(".archive.xml");
}

qint64 recordRowOf(const std::optional<QString> &value, qint64 records)
{
    if (!value || value->isEmpty())
        return 0;
    bool ok = false;
    const qint64 place = value->toLongLong(&ok);
    if (!ok || place < 1 || place > records)
        throw Error(tr("%1 的值“%2”不是备份中的病历（共 %3 份）")
                        .arg(QLatin1String(recordRowColumn), *value)
                        .arg(records));
    return place;
}

QString trailFileOf(const QString &xmlPath)
{
    QString base = xmlPath;
    if (base.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive))
        base.chop(4);
    return base + QStringLiteral(".history.xml");
}

bool isXmlBackup(const QString &path)
{
    if (path.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive))
        return true;
    const QByteArray start = firstBytes(path, 64).trimmed();
    return start.startsWith("<?xml") || start.startsWith("<xml");
}

BackupSummary check(const QString &path, const QList<QByteArray> &keys)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw Error(tr("文件不存在"));
    if (info.isDir())
        throw Error(tr("这是一个文件夹，不是备份文件"));
    if (!info.isReadable())
        throw Error(tr("没有权限读取这个文件"));
    if (info.size() == 0)
        throw Error(tr("文件是空的，不是备份"));
    BackupSummary summary;
    summary.path = path;
    summary.fileTime = info.lastModified();
    if (isXmlBackup(path)) {
        summary.kind = BackupSummary::Kind::Xml;
        checkXml(summary);
        return summary;
    }
    const QByteArray header = firstBytes(path, int(sizeof plainHeader));
    if (header.size() == int(sizeof plainHeader) &&
        std::memcmp(header.constData(), plainHeader, sizeof plainHeader) == 0)
        throw Error(tr("这是未加密的 SQLite 数据库，不是本程序加密保存的备份"));
    summary.kind = BackupSummary::Kind::Encrypted;
    checkEncrypted(summary, keys);
    return summary;
}

QString newestDate(const QStringList &dates)
{
    QString newest;
    QDateTime newestMoment;
    QString newestText;
    for (const QString &text : dates) {
        const QStringList parts = text.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QDate date;
        if (!parts.isEmpty()) {
            date = QDate::fromString(parts[0], QStringLiteral("yyyy-M-d"));
            if (!date.isValid())
                date = QDate::fromString(parts[0], QStringLiteral("yyyy/M/d"));
        }
        if (date.isValid()) {
            QTime time = parts.size() > 1 ? QTime::fromString(parts[1], QStringLiteral("h:mm:ss")) : QTime();
            const QDateTime moment(date, time.isValid() ? time : QTime(0, 0));
            if (!newestMoment.isValid() || moment > newestMoment) {
                newestMoment = moment;
                newest = text;
            }
        } else if (!text.isEmpty() && text > newestText) {
            newestText = text;
        }
    }
    return newestMoment.isValid() ? newest : newestText;
}

QString describe(const BackupSummary &summary)
{
    QStringList lines;
    lines << tr("文件：%1").arg(summary.path);
    lines << tr("类型：%1").arg(summary.kind == BackupSummary::Kind::Xml ? tr("XML 备份") : tr("加密副本"));
    lines << tr("文件日期：%1").arg(text::dateTimeText(summary.fileTime));
    lines << tr("病历数：%1").arg(summary.records);
    lines << tr("最近入院日期：%1")
                 .arg(summary.newestAdmission.isEmpty() ? tr("（无）") : summary.newestAdmission);
    if (summary.trailRows >= 0)
        lines << tr("修改记录：%1 条").arg(summary.trailRows);
    if (summary.archivedRecords >= 0)
        lines << tr("已归档病历：%1 份").arg(summary.archivedRecords);
    if (!summary.extraColumns.isEmpty())
        lines << tr("另有字段：%1").arg(summary.extraColumns.join(tr("、")));
    return lines.join(QLatin1Char('\n'));
}

QString restoreQuestion(const BackupSummary &summary)
{
    return tr("用此备份替换当前病历库？\n\n") + describe(summary) +
           tr("\n\n当前病历库将保留为 data 文件夹中的 .bak 文件，恢复后程序将退出。");
}

} // namespace backupcheck
