#include "records/XmlRowsetReader.h"

#include "records/PatientStoreDb.h"
#include "text/Error.h"

#include <QFile>
#include <QHash>
#include <QXmlStreamReader>

namespace xmlrowset {

namespace {

QString tr(const char *text)
{
    return QString::fromUtf8(text);
}

const QString schemaNs = QStringLiteral("uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882");
const QString rowsetNs = QStringLiteral("urn:schemas-microsoft-com:rowset");
const QString rowNs = QStringLiteral("#RowsetSchema");

} // namespace

void read(const QString &path, const std::function<void(const QStringList &columns)> &onSchema,
          const std::function<void(const Row &row)> &onRow)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(tr("无法读取文件：%1").arg(file.errorString()));
    QXmlStreamReader xml(&file);
    QStringList columns;
    QHash<QString, int> byAttribute; // the name used on the rows → schema position
    bool schemaSeen = false;
    bool dataSeen = false;
    bool endSeen = false;
    const auto fail = [&xml](const QString &reason) {
        return Error(tr("XML 文件第 %1 行：%2").arg(xml.lineNumber()).arg(reason));
    };
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.namespaceUri() == rowsetNs && xml.name() == u"data")
            endSeen = true;
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (xml.namespaceUri() == schemaNs && xml.name() == u"AttributeType") {
            if (dataSeen)
                throw fail(tr("字段说明出现在数据之后"));
            const QString attribute = xml.attributes().value(QStringLiteral("name")).toString();
            QString name = xml.attributes().value(rowsetNs, QStringLiteral("name")).toString();
            if (name.isEmpty())
                name = attribute;
            if (attribute.isEmpty() || byAttribute.contains(attribute))
                throw fail(tr("字段说明没有名称或名称重复"));
            byAttribute.insert(attribute, int(columns.size()));
            columns << name;
        } else if (xml.namespaceUri() == rowsetNs && xml.name() == u"data") {
            if (columns.isEmpty())
                throw fail(tr("没有字段说明（不是本程序的 XML 备份）"));
            schemaSeen = true;
            dataSeen = true;
            onSchema(columns);
        } else if (xml.namespaceUri() == rowNs && xml.name() == u"row") {
            if (!schemaSeen)
                throw fail(tr("记录出现在字段说明之前"));
            Row row(size_t(columns.size()));
            for (const QXmlStreamAttribute &attribute : xml.attributes()) {
                const auto found = byAttribute.constFind(attribute.qualifiedName().toString());
                if (found == byAttribute.cend())
                    throw fail(tr("记录中有字段说明里没有的字段“%1”").arg(attribute.qualifiedName()));
                row[size_t(*found)] = attribute.value().toString();
            }
            onRow(row);
        }
    }
    if (xml.hasError()) {
        if (xml.error() == QXmlStreamReader::PrematureEndOfDocumentError)
            throw fail(tr("文件不完整（在中途截断）"));
        throw fail(tr("不是有效的 XML：%1").arg(xml.errorString()));
    }
    if (!dataSeen)
        throw Error(tr("文件中没有 rs:data 数据部分（不是本程序的 XML 备份）"));
    if (!endSeen)
        throw Error(tr("文件不完整（在中途截断）"));
}

} // namespace xmlrowset
