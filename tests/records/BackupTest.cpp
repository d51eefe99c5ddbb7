#include "SmallDisk.h"
#include "StoreTestSupport.h"

#include "records/DatabaseAtStart.h"
#include "records/PatientStoreXml.h"
#include "text/Error.h"
#include "text/SafeFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>
#include <sys/wait.h>
#include <unistd.h>

using namespace storetest;

namespace {

// Reads a backup with Python's own XML parser and hands back what it saw as JSON.
const char *readerScript = R"(
import sys, json, xml.etree.ElementTree as ET
S = 'uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'
DT = 'uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'
RS = 'urn:schemas-microsoft-com:rowset'
Z = '#RowsetSchema'
root = ET.parse(sys.argv[1]).getroot()
schema = root.find('{%s}Schema' % S)
element = schema.find('{%s}ElementType' % S)
columns = []
for a in element.findall('{%s}AttributeType' % S):
    d = a.find('{%s}datatype' % S)
    columns.append({'name': a.get('name'), 'number': a.get('{%s}number' % RS), 'type': d.get('{%s}type' % DT),
                    'rsname': a.get('{%s}name' % RS)})
rows = [dict(r.attrib) for r in root.find('{%s}data' % RS).findall('{%s}row' % Z)]
print(json.dumps({'root': root.tag, 'element': [element.get('name'), element.get('content')],
                  'columns': columns, 'rows': rows}))
)";

class BackupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString file = m_dir.filePath(QStringLiteral("Quillcase.dat"));
        PatientStore::create(file);
        m_store = PatientStore::open(file);
    }
    QString path(const char *name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    // Records whose texts need every kind of escaping.
    void fillAwkwardRecords()
    {
        m_store->insertRecord(record({
            {"Bed", "1"},
            {"Name", "张<三>"},
            {"complaint", "咳嗽 & 发热 \"3天\" 'a' ]]> &amp; &#x41;"},
            {"PresentIllness", "第一行\r\n第二行\n只有LF\r只有CR\r\n"},
            {"fuzhu", "\t血常规：WBC 12.5×10^9/L\t\r\n  胸片：右下肺斑片影  "},
            {"Pripro1", QString::fromUcs4(U"GBK 以外：😀 \U00020000 한국 é ∮ \x7f")},
            {"Boolen01", "True"},
            {"Boolen02", "False"},
        }));
        m_store->insertRecord(record({{"Bed", "加1"}, {"development", ""}})); // empty values are left out
        m_store->insertRecord({});                                            // a record with nothing in it
    }

    QTemporaryDir m_dir;
    std::unique_ptr<PatientStore> m_store;
};

} // namespace

TEST_F(BackupTest, XmlIsReadByPythonValueForValue)
{
    if (!haveTool("python3"))
        GTEST_SKIP() << "python3 not installed";
    fillAwkwardRecords();
    const QString target = path("backup.xml");
    m_store->backup(target);
    EXPECT_EQ(permissions(target), 0600);
    EXPECT_TRUE(fileBytes(target).startsWith("<?xml version='1.0' encoding='UTF-8'?>\n<xml "));

    const ToolResult python =
        runTool(QStringLiteral("python3"), {QStringLiteral("-c"), readerScript, target});
    ASSERT_EQ(python.exitCode, 0) << python.err.toStdString();
    const QJsonObject parsed = QJsonDocument::fromJson(python.out.toUtf8()).object();
    EXPECT_EQ(parsed["root"].toString(), QStringLiteral("xml"));
    EXPECT_EQ(parsed["element"].toArray(), QJsonArray({"row", "eltOnly"}));

    const QJsonArray schema = parsed["columns"].toArray();
    ASSERT_EQ(schema.size(), 79);
    QSet<QString> names;
    for (int i = 0; i < schema.size(); ++i) {
        const QJsonObject attribute = schema[i].toObject();
        EXPECT_EQ(attribute["number"].toString(), QString::number(i + 1));
        EXPECT_EQ(attribute["type"].toString(), QStringLiteral("string"));
        names.insert(attribute["name"].toString());
    }
    for (const Column &c : columns::all())
        EXPECT_TRUE(names.contains(QString::fromUtf8(c.name))) << c.name;

    // Rows come in row-id order; every column compares, an absent attribute being empty.
    std::vector<qint64> ids;
    for (const ListRow &row : m_store->loadList())
        ids.push_back(row.rowId);
    std::sort(ids.begin(), ids.end());
    const QJsonArray rows = parsed["rows"].toArray();
    ASSERT_EQ(rows.size(), qsizetype(ids.size()));
    for (size_t r = 0; r < ids.size(); ++r) {
        const QStringList stored = m_store->loadRecord(ids[r]);
        const QJsonObject row = rows[qsizetype(r)].toObject();
        for (int c = 0; c < 79; ++c) {
            const QString name = QString::fromUtf8(columns::all()[size_t(c)].name);
            EXPECT_EQ(row.value(name).toString(), stored.at(c))
                << "row " << r << " column " << name.toStdString();
        }
    }
}

TEST(BackupXml, KeepsExtraColumnsOfAForeignTableUnderSafeNames)
{
    if (!haveTool("python3") || !haveTool("sqlcipher"))
        GTEST_SKIP() << "python3 or sqlcipher client not installed";
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("client.dat"));
    QStringList definitions;
    for (const Column &c : columns::all())
        definitions << QStringLiteral("\"%1\" TEXT").arg(QString::fromUtf8(c.name));
    sqlcipher(file,
              QStringLiteral("CREATE TABLE PatientsData (%1, \"备 注\" TEXT);"
                             "INSERT INTO PatientsData (Bed, \"备 注\") VALUES ('1', '转科');")
                  .arg(definitions.join(QStringLiteral(", "))),
              QString::fromLatin1(PatientStore::password));
    const QString target = dir.filePath(QStringLiteral("b.xml"));
    PatientStore::open(file)->backupXml(target);

    const ToolResult python =
        runTool(QStringLiteral("python3"), {QStringLiteral("-c"), readerScript, target});
    ASSERT_EQ(python.exitCode, 0) << python.err.toStdString();
    const QJsonObject parsed = QJsonDocument::fromJson(python.out.toUtf8()).object();
    const QJsonObject extra = parsed["columns"].toArray().last().toObject();
    EXPECT_EQ(extra["name"].toString(), QStringLiteral("c79"));
    EXPECT_EQ(extra["rsname"].toString(), QStringLiteral("备 注"));
    EXPECT_EQ(parsed["rows"].toArray().first().toObject()["c79"].toString(), QStringLiteral("转科"));
}

TEST_F(BackupTest, XmlRefusesCharactersXmlCannotCarryAndKeepsTheOldFile)
{
    m_store->insertRecord(record({{"Bed", "7"}, {"fuzhu", QStringLiteral("WBC\x01 12")}}));
    const QString target = path("backup.XML"); // the extension in any letter case
    writeBytes(target, "old backup");
    try {
        m_store->backup(target);
        ADD_FAILURE() << "written";
    } catch (const Error &error) {
        EXPECT_TRUE(error.message().contains(target)) << error.message().toStdString();
        EXPECT_TRUE(error.message().contains(QStringLiteral("fuzhu"))) << error.message().toStdString();
        EXPECT_TRUE(error.message().contains(QStringLiteral("“7”"))) << error.message().toStdString();
        EXPECT_TRUE(error.message().contains(QStringLiteral("U+0001"))) << error.message().toStdString();
    }
    EXPECT_EQ(fileBytes(target), QByteArray("old backup"));
    EXPECT_EQ(entries(m_dir.path()), QStringList({"Quillcase.dat", "backup.XML"})); // no temporary left
}

TEST(BackupXmlEscaping, EscapesMarkupAndBreaksAndRefusesOtherControls)
{
    struct Case
    {
        QByteArray in;
        QByteArray out;          // the escaped text, or empty when refused
        std::optional<uint> bad; // the code reported when XML cannot carry the text
    };
    const Case cases[] = {
        {"", "", {}},
        {"plain 中文", "plain 中文", {}},
        {"a&b<c>d'e\"f", "a&amp;b&lt;c&gt;d&apos;e&quot;f", {}},
        {"x\r\ny\tz\n", "x&#xD;&#xA;y&#x9;z&#xA;", {}},
        {"del\x7f", "del\x7f", {}},
        {"\xEF\xBF\xBD", "\xEF\xBF\xBD", {}}, // U+FFFD is an ordinary character
        {"bell\x07", "", 0x07},
        {QByteArray("nul\0x", 5), "", 0x00},
        {"\xEF\xBF\xBE", "", 0xFFFE},
        {"\xEF\xBF\xBF", "", 0xFFFF},
        {"\xC3\x28", "", 0xFFFFFFFFu}, // not UTF-8
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.in.toStdString());
        QByteArray out;
        uint bad = 0;
        const bool written = storexml::appendAttributeValue(out, c.in, &bad);
        EXPECT_EQ(written, !c.bad.has_value());
        if (written)
            EXPECT_EQ(out, c.out);
        else
            EXPECT_EQ(bad, *c.bad);
    }
}

TEST_F(BackupTest, EncryptedCopyOpensInTheClientWithTheKeyOnly)
{
    fillAwkwardRecords();
    const QString target = path("copy"); // no extension, and none is added
    writeBytes(target, "an older backup");
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    m_store->backup(target);
    EXPECT_EQ(entries(m_dir.path()), QStringList({"Quillcase.dat", "copy"}));
    EXPECT_EQ(permissions(target), 0600);

    auto copy = PatientStore::open(target);
    EXPECT_EQ(copy->recordCount(), 3);
    const qint64 first = *copy->findBed("1");
    EXPECT_EQ(copy->loadRecord(first), m_store->loadRecord(*m_store->findBed("1")));

    if (!haveTool("sqlcipher"))
        GTEST_SKIP() << "sqlcipher client not installed";
    const QString sql =
        QStringLiteral("SELECT count(*) FROM PatientsData; SELECT Name FROM PatientsData WHERE Bed = '1';");
    const ToolResult withKey = sqlcipher(target, sql, QString::fromLatin1(PatientStore::password));
    EXPECT_EQ(withKey.out, QStringLiteral("3\n张<三>\n")) << withKey.err.toStdString();
    const ToolResult withoutKey = sqlcipher(target, sql, {});
    EXPECT_FALSE(withoutKey.out.contains(QStringLiteral("张")));
    EXPECT_TRUE(withoutKey.err.contains(QStringLiteral("not a database"))) << withoutKey.err.toStdString();
}

TEST_F(BackupTest, UnwritableTargetsAreErrorsAndChangeNothing)
{
    m_store->insertRecord(record({{"Bed", "1"}}));
    QDir(m_dir.path()).mkdir(QStringLiteral("folder"));
    const QStringList before = entries(m_dir.path());
    const QByteArray database = fileBytes(path("Quillcase.dat"));

    struct Case
    {
        const char *target;
        const char *reason;
    };
    const Case cases[] = {
        {"missing/backup.xml", "不存在"},
        {"missing/backup.dat", "不存在"},
        {"folder", "文件夹"},
        {"folder/", "文件夹"},
        {"Quillcase.dat", "正在使用的病历资料库"}, // replacing the open database would lose every later save
        {"./Quillcase.dat", "正在使用的病历资料库"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.target);
        try {
            m_store->backup(path(c.target));
            ADD_FAILURE() << "written";
        } catch (const Error &error) {
            EXPECT_TRUE(error.message().contains(QString::fromUtf8(c.reason)))
                << error.message().toStdString();
        }
        EXPECT_EQ(entries(m_dir.path()), before);
        EXPECT_TRUE(entries(path("folder")).isEmpty());
    }
    EXPECT_EQ(fileBytes(path("Quillcase.dat")), database);
    EXPECT_EQ(m_store->recordCount(), 1);
}

TEST_F(BackupTest, OnAFullDiskTheOldBackupStaysAndNothingIsLeft)
{
    SmallDisk disk(512);
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason().toStdString();
    fillAwkwardRecords();
    const QString xml = disk.filePath(QStringLiteral("backup.xml"));
    const QString copy = disk.filePath(QStringLiteral("backup.dat"));
    m_store->backup(xml);
    m_store->backup(copy);
    const QByteArray oldXml = fileBytes(xml);
    const QByteArray oldCopy = fileBytes(copy);
    disk.fill();
    m_store->insertRecord(record({{"Bed", "2"}, {"PresentIllness", QString(20000, u'咳')}}));
    for (const QString &target : {xml, copy}) {
        SCOPED_TRACE(target.toStdString());
        try {
            m_store->backup(target);
            ADD_FAILURE() << "written";
        } catch (const Error &error) {
            EXPECT_TRUE(error.message().contains(target)) << error.message().toStdString();
            EXPECT_TRUE(error.message().contains(QStringLiteral("磁盘空间不足")))
                << error.message().toStdString();
        }
    }
    EXPECT_EQ(fileBytes(xml), oldXml);
    EXPECT_EQ(fileBytes(copy), oldCopy);
    // The XML backup brings its trail and archive files; nothing else is left on the disk.
    EXPECT_EQ(disk.entries(),
              QStringList({"backup.archive.xml", "backup.dat", "backup.history.xml", "backup.xml"}));
}

// A backup killed half-way leaves its plain XML under a temporary name; the next start of
// the program over that data folder removes it.
TEST_F(BackupTest, PlainXmlOfAKilledBackupIsRemovedAtTheNextStart)
{
    fillAwkwardRecords();
    QTemporaryDir elsewhere;
    m_store->close();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        text::setPendingFolder(m_dir.path());
        auto *file =
            new text::WholeFile(elsewhere.filePath(QStringLiteral("备份.xml")), text::FileMode::OwnerOnly);
        file->write("<?xml version='1.0' encoding='UTF-8'?>\n<xml>张三</xml>");
        ::_exit(0); // killed before the rename
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_EQ(entries(elsewhere.path()).size(), 1);
    EXPECT_EQ(permissions(elsewhere.filePath(entries(elsewhere.path()).at(0))), 0600);

    auto store = startup::openDatabase(m_dir.path());
    EXPECT_TRUE(entries(elsewhere.path()).isEmpty());
    EXPECT_EQ(entries(m_dir.path()), QStringList{"Quillcase.dat"});
    text::setPendingFolder(QString());
}
