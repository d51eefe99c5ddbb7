#include "records/PatientStoreXml.h"

#include "records/PatientStoreDb.h"
#include "text/Error.h"
#include "text/SafeFile.h"

#include <QStringList>

#include <algorithm>
#include <vector>

#include <sqlcipher/sqlite3.h>

namespace storexml {

namespace {

QString tr(const char *text)
{
    return QString::fromUtf8(text);
}

// Collects output and hands it to the file in large pieces.
class Output
{
public:
    explicit Output(int fd) : m_fd(fd) { m_buffer.reserve(capacity + 64 * 1024); }

    QByteArray &buffer() { return m_buffer; }
    void append(const char *text) { m_buffer.append(text); }
    void append(const QByteArray &bytes) { m_buffer.append(bytes); }
    void flushIfFull()
    {
        if (m_buffer.size() >= capacity)
            flush();
    }
    void flush()
    {
        if (const int error = text::writeAll(m_fd, m_buffer))
            throw Error(storedb::systemReason(error));
        m_buffer.clear();
    }

private:
    static constexpr qsizetype capacity = 1024 * 1024;
    int m_fd;
    QByteArray m_buffer;
};

struct XmlColumn
{
    QString name;
    QByteArray attribute; // name used on the rows: the column name, or cN where that is no XML name
};

void appendEscapedText(QByteArray &out, const QString &text)
{
    uint bad = 0;
    if (!appendAttributeValue(out, text.toUtf8(), &bad))
        throw Error(tr("字段名“%1”含有 XML 文件不能保存的字符").arg(text));
}

} // namespace

bool appendAttributeValue(QByteArray &out, QByteArrayView utf8, uint *badCode)
{
    if (!utf8.isValidUtf8()) {
        *badCode = 0xFFFFFFFFu;
        return false;
    }
    const char *data = utf8.data();
    const qsizetype size = utf8.size();
    qsizetype plainStart = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        const char *replacement = nullptr;
        switch (byte) {
        case '&':
            replacement = "&amp;";
            break;
        case '<':
            replacement = "&lt;";
            break;
        case '>':
            replacement = "&gt;";
            break;
        case '\'':
            replacement = "&apos;";
            break;
        case '"':
            replacement = "&quot;";
            break;
        // Written as references, because a parser turns literal line breaks and tabs in an
        // attribute into blanks.
        case '\r':
            replacement = "&#xD;";
            break;
        case '\n':
            replacement = "&#xA;";
            break;
        case '\t':
            replacement = "&#x9;";
            break;
        default:
            if (byte < 0x20) {
                *badCode = byte;
                return false;
            }
            // U+FFFE and U+FFFF are EF BF BE and EF BF BF.
            if (byte == 0xEF && i + 2 < size && static_cast<unsigned char>(data[i + 1]) == 0xBF &&
                (static_cast<unsigned char>(data[i + 2]) & 0xFE) == 0xBE) {
                *badCode = 0xFFFEu | (static_cast<unsigned char>(data[i + 2]) & 1u);
                return false;
            }
            continue;
        }
        out.append(data + plainStart, i - plainStart);
        out.append(replacement);
        plainStart = i + 1;
    }
    out.append(data + plainStart, size - plainStart);
    return true;
}

bool isPlainXmlName(const QString &name)
{
    if (name.isEmpty())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        const bool letter = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
        const bool other = (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
        if (!letter && (i == 0 || !other))
            return false;
    }
    return true;
}

namespace {

// One column of the written rowset: a column of the table, or the record's position in the
// records file computed from the table's RecordId.
struct OutputColumn
{
    XmlColumn xml;
    int source = -1; // index in the table's row; -1 for the record position
};

constexpr const char *recordRowName = "RecordRow";

enum class RecordPosition {
    None,            // the table's columns as they are
    Added,           // the table's columns, then RecordRow
    InPlaceOfRecord, // RecordRow where RecordId stands, RecordId itself left out
};

// Writes one table whole in the rowset layout. With a position other than None, each row
// also carries RecordRow: the 1-based place of its record among `recordRowIds` (the records'
// row ids in the order the records file holds them), left out for a row whose record is not
// there.
//
// `rowIdsOut`, when given, receives the row ids of the rows in the order written, read in the
// same pass.
void writeTable(sqlite3 *db, int fd, const QByteArray &table, const QString &missingMessage,
                RecordPosition position = RecordPosition::None,
                const std::vector<qint64> *recordRowIds = nullptr, std::vector<qint64> *rowIdsOut = nullptr)
{
    // The columns as the table holds them, so that a table carrying more than the known
    // columns is backed up whole.
    std::vector<QString> namesOfTable;
    {
        storedb::Statement info(db, "PRAGMA table_info(" + table + ")");
        while (info.next())
            namesOfTable.push_back(info.text(1));
    }
    if (namesOfTable.empty())
        throw Error(missingMessage);

    int recordIdIndex = -1;
    for (size_t i = 0; i < namesOfTable.size(); ++i) {
        if (namesOfTable[i].compare(QLatin1String("RecordId"), Qt::CaseInsensitive) == 0)
            recordIdIndex = int(i);
    }
    if (recordIdIndex < 0 || !recordRowIds)
        position = RecordPosition::None;
    // Each record's row id with its place (1-based) in the records file, sorted by row id.
    std::vector<std::pair<qint64, qint64>> places;
    if (position != RecordPosition::None) {
        places.reserve(recordRowIds->size());
        for (size_t i = 0; i < recordRowIds->size(); ++i)
            places.emplace_back((*recordRowIds)[i], qint64(i) + 1);
        std::sort(places.begin(), places.end());
    }

    std::vector<OutputColumn> columnsOfTable;
    const auto addColumn = [&](const QString &name, int source) {
        OutputColumn column;
        column.xml.name = name;
        column.xml.attribute = isPlainXmlName(name)
                                   ? name.toUtf8()
                                   : QByteArray("c") + QByteArray::number(qsizetype(columnsOfTable.size()));
        column.source = source;
        columnsOfTable.push_back(column);
    };
    for (size_t i = 0; i < namesOfTable.size(); ++i) {
        if (position == RecordPosition::InPlaceOfRecord && int(i) == recordIdIndex)
            addColumn(QString::fromLatin1(recordRowName), -1);
        else
            addColumn(namesOfTable[i], int(i));
    }
    if (position == RecordPosition::Added)
        addColumn(QString::fromLatin1(recordRowName), -1);

    Output out(fd);
    out.append("<?xml version='1.0' encoding='UTF-8'?>\n"
               "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'\n"
               "\txmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'\n"
               "\txmlns:rs='urn:schemas-microsoft-com:rowset'\n"
               "\txmlns:z='#RowsetSchema'>\n"
               "<s:Schema id='RowsetSchema'>\n"
               "\t<s:ElementType name='row' content='eltOnly' rs:updatable='true'>\n");
    int number = 0;
    int bedIndex = -1;
    for (const OutputColumn &output : columnsOfTable) {
        const XmlColumn &column = output.xml;
        if (output.source >= 0 && column.name == QLatin1String("Bed"))
            bedIndex = output.source;
        ++number;
        out.append("\t\t<s:AttributeType name='");
        out.append(column.attribute);
        out.append("'");
        if (column.attribute != column.name.toUtf8()) {
            out.append(" rs:name='");
            appendEscapedText(out.buffer(), column.name);
            out.append("'");
        }
        out.append(" rs:number='");
        out.append(QByteArray::number(number));
        out.append("' rs:nullable='true' rs:maydefer='true' rs:write='true'>\n");
        // Every column is a long string: the store limits no column's length, and a one-line
        // field may hold more than the 255 characters a short string would promise.
        out.append("\t\t\t<s:datatype dt:type='string' dt:maxLength='536870910' rs:long='true'/>\n");
        out.append("\t\t</s:AttributeType>\n");
    }
    out.append("\t\t<s:extends type='rs:rowbase'/>\n"
               "\t</s:ElementType>\n"
               "</s:Schema>\n"
               "<rs:data>\n");

    // The row id under a name no column of the table takes, if any.
    QByteArray rowIdName;
    if (rowIdsOut) {
        for (const char *name : {"rowid", "_rowid_", "oid"}) {
            const bool taken =
                std::any_of(namesOfTable.begin(), namesOfTable.end(), [&](const QString &column) {
                    return column.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
                });
            if (!taken) {
                rowIdName = name;
                break;
            }
        }
    }
    // (A table whose columns take all three names gives no row ids: its trail then names no
    // record's place.)
    const int rowIdIndex = int(namesOfTable.size());

    // Row-id order reads the table front to back; the reader sorts as it likes.
    storedb::Statement rows(db, "SELECT *" + (rowIdName.isEmpty() ? QByteArray() : ", " + rowIdName) +
                                    " FROM " + table + " ORDER BY rowid");
    while (rows.next()) {
        if (!rowIdName.isEmpty())
            rowIdsOut->push_back(rows.int64(rowIdIndex));
        out.append("\t<z:row");
        for (const OutputColumn &column : columnsOfTable) {
            if (column.source < 0) {
                // The record's place, found by halving the row ids sorted.
                if (rows.isNull(recordIdIndex))
                    continue;
                const qint64 recordId = rows.int64(recordIdIndex);
                const auto found =
                    std::lower_bound(places.begin(), places.end(), std::pair(recordId, qint64(0)));
                if (found == places.end() || found->first != recordId)
                    continue; // a row of a record the records file does not hold
                out.append(" ");
                out.append(column.xml.attribute);
                out.append("='");
                out.append(QByteArray::number(found->second));
                out.append("'");
                continue;
            }
            const QByteArrayView value = rows.utf8(column.source);
            if (value.isEmpty())
                continue; // NULL and empty values are left out, as the layout does
            out.append(" ");
            out.append(column.xml.attribute);
            out.append("='");
            uint bad = 0;
            if (!appendAttributeValue(out.buffer(), value, &bad)) {
                const QString bed = bedIndex >= 0 ? rows.text(bedIndex) : QString();
                const QString code = QString::number(bad, 16).toUpper().rightJustified(4, QLatin1Char('0'));
                const QString what = bad == 0xFFFFFFFFu
                                         ? tr("不是有效的 UTF-8 文本")
                                         : tr("含有 XML 文件不能保存的字符（代码 U+%1）").arg(code);
                throw Error(tr("床号为“%1”的记录中，字段 %2 %3；请改用不以 .xml 结尾的文件名，备份为加密副本")
                                .arg(bed, column.xml.name, what));
            }
            out.append("'");
        }
        out.append("/>\n");
        out.flushIfFull();
    }
    out.append("</rs:data>\n"
               "</xml>\n");
    out.flush();
}

} // namespace

void writeRowset(sqlite3 *db, int fd, std::vector<qint64> *rowIds)
{
    writeTable(db, fd, "PatientsData", tr("数据库中没有病人资料表 PatientsData"), RecordPosition::None,
               nullptr, rowIds);
}

void writeHistoryRowset(sqlite3 *db, int fd, const std::vector<qint64> &recordRowIds)
{
    writeTable(db, fd, "PatientsHistory", tr("数据库中没有修改痕迹表 PatientsHistory"), RecordPosition::Added,
               &recordRowIds);
}

void writeArchiveRowset(sqlite3 *db, int fd, const std::vector<qint64> &recordRowIds)
{
    writeTable(db, fd, "PatientsArchive", tr("数据库中没有归档表 PatientsArchive"),
               RecordPosition::InPlaceOfRecord, &recordRowIds);
}

} // namespace storexml
