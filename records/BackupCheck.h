#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// What a backup file holds, as found by checking it whole.
struct BackupSummary
{
    enum class Kind { Encrypted, Xml };
    Kind kind = Kind::Encrypted;
    QString path;
    QDateTime fileTime;          // when the file was last written
    qint64 records = 0;          // rows of PatientsData
    QString newestAdmission;     // the latest admission date (DoA) as stored; empty when none
    QStringList extraColumns;    // columns beyond the 79, kept by a restore
    qint64 trailRows = -1;       // rows of the modification trail; -1 when the backup has none
    QString trailPath;           // an XML backup's trail file, when there is one
    qint64 archivedRecords = -1; // archived records; -1 when the backup has no archive marks table
    QString archivePath;         // an XML backup's file of archive marks, when there is one
    QByteArray key;              // the key that opened an encrypted backup
};

struct sqlite3;

namespace backupcheck {

// Opens an encrypted backup for reading only (checking never changes it, and it may lie in a
// folder the program cannot write). Throws storedb::WrongKey for a key that does not open it.
sqlite3 *openReadOnly(const QString &path, const QByteArray &key);

// The table of the modification trail, and the name of an XML backup's trail file:
// X.history.xml beside X.xml.
inline constexpr const char *trailTable = "PatientsHistory";
QString trailFileOf(const QString &xmlPath);
// The table of the archive marks, and the XML backup's file of them: X.archive.xml.
inline constexpr const char *archiveTable = "PatientsArchive";
QString archiveFileOf(const QString &xmlPath);
// The column of an XML backup's trail and archive files that gives the place (1-based) of a
// row's record in the records file.
inline constexpr const char *recordRowColumn = "RecordRow";
// The place a RecordRow value names: 0 when the row has none (its record is not in the
// backup). Throws Error when it is no whole number from 1 to `records`.
qint64 recordRowOf(const std::optional<QString> &value, qint64 records);

// Whether the file is read as an XML backup: a name ending in ".xml" in any letter case,
// or content that starts as XML.
bool isXmlBackup(const QString &path);

// Checks a backup exactly as a restore does before it changes anything: the file opens
// (with one of `keys`, for an encrypted copy), passes the engine's check of every page,
// holds PatientsData with the 79 columns, and its records (and trail, where there is one)
// can all be read. Throws storedb::WrongKey when no key opens an encrypted copy, and Error
// with the reason in Chinese for any other fault.
BackupSummary check(const QString &path, const QList<QByteArray> &keys);

// The latest of the admission dates (texts as stored, "2005-3-7" or "2005-03-07 09:15:30");
// texts that are no date count only when no text is a date. Empty for none.
QString newestDate(const QStringList &dates);

// What the summary says, one fact a line (the restore question and the restore drill).
QString describe(const BackupSummary &summary);
// The restore question: "用此备份替换当前病历库？" with what the backup holds.
QString restoreQuestion(const BackupSummary &summary);

} // namespace backupcheck
