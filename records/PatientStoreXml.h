#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

struct sqlite3;

// The XML backup: every row of PatientsData in the ADO persisted-recordset layout
// (s:Schema with one s:AttributeType per column, then rs:data with one z:row per record
// and each non-empty value as an attribute), UTF-8 with an XML declaration.
namespace storexml {

// Appends `utf8` escaped for an attribute value: &, <, >, both quotes, and CR, LF and tab
// as character references, so that a parser hands back exactly the stored text. Returns
// false if the text holds a character XML 1.0 cannot carry at all (other control
// characters, U+FFFE, U+FFFF) or is not valid UTF-8; *badCode then names it
// (0xFFFFFFFF for invalid UTF-8).
bool appendAttributeValue(QByteArray &out, QByteArrayView utf8, uint *badCode);

// Whether a column name can stand as an XML attribute name as it is.
bool isPlainXmlName(const QString &name);

// Writes the whole table to the open file descriptor. Throws Error with the reason.
// `rowIds`, when given, receives the records' row ids in the order written.
void writeRowset(sqlite3 *db, int fd, std::vector<qint64> *rowIds = nullptr);
// Writes the modification trail PatientsHistory in the same layout, in the order written,
// each row with one more column RecordRow: the 1-based place of its record in the records
// file (`recordRowIds` as writeRowset gives them), left out when the record is not there.
// A restore gives the records new row ids, and finds each row's record by this place.
void writeHistoryRowset(sqlite3 *db, int fd, const std::vector<qint64> &recordRowIds);
// Writes the archive marks PatientsArchive in the same layout, with the columns RecordRow
// (as above, in place of the row id), ArchivedAt and Operator.
void writeArchiveRowset(sqlite3 *db, int fd, const std::vector<qint64> &recordRowIds);

} // namespace storexml
