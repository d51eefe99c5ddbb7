#include "StoreTestSupport.h"

#include "records/Compaction.h"
#include "records/RecordSession.h"
#include "text/Clock.h"
#include "text/Error.h"

#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>

using namespace storetest;

namespace {

const QString key = QString::fromLatin1(PatientStore::password);
const QDateTime morning(QDate(2026, 12, 11), QTime(9, 15, 30), QTimeZone(8 * 3600));
const TrailStamp wang{QStringLiteral("王建国 主治医师（wjg）"), morning};

class TrailTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PatientStore::create(file());
        m_store = PatientStore::open(file());
    }
    QString path(const char *name) const { return m_dir.filePath(QString::fromUtf8(name)); }
    QString file() const { return path("Quillcase.dat"); }

    // (column, old, new) of a record's trail, newest first.
    QList<QStringList> changes(qint64 id)
    {
        QList<QStringList> result;
        for (const TrailEntry &e : m_store->history(id))
            result << QStringList{e.columnName, e.oldText, e.newText};
        return result;
    }
    qint64 trailRows()
    {
        const ToolResult r = sqlcipher(file(), QStringLiteral("SELECT count(*) FROM PatientsHistory;"), key);
        return r.out.trimmed().toLongLong();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<PatientStore> m_store;
};

} // namespace

TEST_F(TrailTest, PostsWriteOneRowPerReallyChangedColumn)
{
    // The first post of a new record: its filled columns, with an empty old text.
    const qint64 id = m_store->insertRecord(record({{"Bed", "7"}, {"Name", "张三"}, {"age", ""}}), wang);
    EXPECT_EQ(changes(id), (QList<QStringList>{{"Name", "", "张三"}, {"Bed", "", "7"}}));
    const TrailEntry first = m_store->history(id).front();
    EXPECT_EQ(first.recordId, id);
    EXPECT_EQ(first.bed, "7");
    EXPECT_EQ(first.operatorName, wang.operatorName);
    EXPECT_EQ(first.changedAt, "2026-12-11T09:15:30+08:00");

    // Only what differs from the stored text: a column given its own text again is no change.
    m_store->updateRecord(id, record({{"Name", "张三"}, {"age", "45"}, {"PresentIllness", "咳嗽\r\n发热"}}),
                          wang);
    EXPECT_EQ(changes(id).mid(0, 2),
              (QList<QStringList>{{"PresentIllness", "", "咳嗽\r\n发热"}, {"age", "", "45"}}));
    // Nothing changed: nothing written.
    const auto before = changes(id);
    m_store->updateRecord(id, record({{"Name", "张三"}, {"age", "45"}}), wang);
    EXPECT_EQ(changes(id), before);
    // A changed bed: the row carries the new bed.
    m_store->updateRecord(id, record({{"Bed", "8"}, {"age", "46"}}), wang);
    const auto latest = m_store->history(id);
    EXPECT_EQ(latest[0].bed, "8");
    EXPECT_EQ(latest[0].oldText, "45");
    EXPECT_EQ(changes(id).size(), 6);
    // Another record's trail stays its own.
    const qint64 other = m_store->insertRecord(record({{"Bed", "9"}}), wang);
    EXPECT_EQ(changes(other).size(), 1);
    EXPECT_EQ(changes(id).size(), 6);
}

TEST_F(TrailTest, StampDefaultsToTheStoreOperatorAndTheClock)
{
    text::setClock([] { return morning; });
    m_store->setDisplayName(QStringLiteral("  王建国 主治医师 "));
    const qint64 id = m_store->insertRecord(record({{"Bed", "1"}}));
    text::setClock({});
    const TrailEntry entry = m_store->history(id).front();
    EXPECT_EQ(entry.operatorName,
              trail::operatorText(QStringLiteral("王建国 主治医师"), trail::accountName()));
    EXPECT_EQ(text::fromIsoDateTimeText(entry.changedAt), morning);
    EXPECT_EQ(m_store->latestChangeTime(), entry.changedAt);
    // The display name is kept in the database.
    m_store.reset();
    EXPECT_EQ(PatientStore::open(file())->displayName(), QStringLiteral("王建国 主治医师"));
}

TEST_F(TrailTest, AFailingPostLeavesNeitherRecordNorTrailChanged)
{
    if (!haveTool("sqlcipher"))
        GTEST_SKIP() << "sqlcipher client not installed";
    const qint64 id = m_store->insertRecord(record({{"Bed", "3"}, {"Name", "李四"}}), wang);
    m_store.reset();
    // The trail row of the second column fails, after the record and the first trail row were written.
    sqlcipher(
        file(),
        QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON PatientsHistory WHEN NEW.ColumnName = 'age' "
                       "BEGIN SELECT RAISE(ABORT, 'refused'); END;"),
        key);
    m_store = PatientStore::open(file());
    const qint64 rows = trailRows();
    EXPECT_THROW(m_store->updateRecord(id, record({{"Name", "王五"}, {"age", "30"}}), wang), Error);
    EXPECT_EQ(m_store->loadRecord(id).at(column("Name")), "李四");
    EXPECT_EQ(trailRows(), rows);
    EXPECT_THROW(m_store->insertRecord(record({{"Bed", "4"}, {"age", "30"}}), wang), Error);
    EXPECT_EQ(m_store->recordCount(), 1);
    EXPECT_EQ(trailRows(), rows);
}

TEST_F(TrailTest, ArchivingLocksTheRecordFreesItsBedAndIsTrailed)
{
    const qint64 id = m_store->insertRecord(record({{"Bed", "5"}, {"Name", "赵六"}}), wang);
    m_store->setArchived(id, true, wang);
    m_store->setArchived(id, true, wang); // already archived: nothing more written
    EXPECT_TRUE(m_store->isArchived(id));
    EXPECT_EQ(changes(id).front(), (QStringList{"Archived", "False", "True"}));
    EXPECT_EQ(changes(id).size(), 3);
    EXPECT_EQ(m_store->findBed("5"), std::nullopt);
    EXPECT_TRUE(m_store->loadList().front().archived);
    try {
        m_store->updateRecord(id, record({{"Name", "改名"}}), wang);
        ADD_FAILURE() << "an archived record was changed";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().contains("病历已归档，不能修改。")) << e.message().toStdString();
    }
    EXPECT_EQ(m_store->loadRecord(id).at(column("Name")), "赵六");

    // The next admission to bed 5 is found, the archived one is not.
    const qint64 next = m_store->insertRecord(record({{"Bed", "5"}}), wang);
    EXPECT_EQ(m_store->findBed("5"), next);
    m_store->setArchived(id, false, wang);
    EXPECT_EQ(changes(id).front(), (QStringList{"Archived", "True", "False"}));
    EXPECT_FALSE(m_store->isArchived(id));
    EXPECT_EQ(m_store->findBed("5"), id);
    EXPECT_THROW(m_store->setArchived(id + 100, true, wang), Error);
}

TEST(DisplayName, RefusesControlCharactersAndLongNames)
{
    struct Case
    {
        QString name;
        bool kept;
    };
    const Case cases[] = {
        {QStringLiteral("王建国 主治医师"), true},
        {QString(100, u'王'), true},
        {QStringLiteral("  ") + QString(100, u'王') + QStringLiteral(" "), true},
        {QString(101, u'王'), false},
        {QString::fromUcs4(U"\U00020000").repeated(100), true}, // one character, two UTF-16 units
        {QStringLiteral("王建国\n主治医师"), false},
        {QStringLiteral("王建国\t"), false},
        {QStringLiteral("王") + QChar(0x7f), false},
        {QString(), true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        EXPECT_EQ(trail::displayNameProblem(c.name).isEmpty(), c.kept);
    }
    EXPECT_EQ(trail::operatorText(QStringLiteral(" 王建国 "), QStringLiteral("wjg")),
              QStringLiteral("王建国（wjg）"));
    EXPECT_EQ(trail::operatorText(QString(), QStringLiteral("wjg")), QStringLiteral("wjg"));
}

TEST_F(TrailTest, RefusedDisplayNameKeepsTheOldOne)
{
    m_store->setDisplayName(QStringLiteral("王建国"));
    EXPECT_THROW(m_store->setDisplayName(QStringLiteral("李\r\n")), Error);
    EXPECT_EQ(m_store->displayName(), QStringLiteral("王建国"));
    m_store->setDisplayName(QString());
    EXPECT_EQ(m_store->operatorName(), trail::accountName());
}

TEST(TrailMigration, ADatabaseFromBeforeGetsTheTablesOnceAndKeepsItsRecords)
{
    if (!haveTool("sqlcipher"))
        GTEST_SKIP() << "sqlcipher client not installed";
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("old.dat"));
    // A database as the program made it before: PatientsData and its list index only.
    PatientStore::create(file);
    sqlcipher(file,
              QStringLiteral(
                  "DROP TABLE PatientsHistory; DROP TABLE PatientsArchive; DROP TABLE QuillcaseSettings;"),
              key);
    ASSERT_EQ(sqlcipher(file,
                        QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name LIKE 'Patients%H%';"),
                        key)
                  .out.trimmed(),
              "0");
    sqlcipher(file, QStringLiteral("INSERT INTO PatientsData (Bed, Name) VALUES ('2', '钱七');"), key);

    {
        auto store = PatientStore::open(file);
        ASSERT_EQ(store->loadList().size(), 1u);
        EXPECT_EQ(store->loadRecord(store->loadList().front().rowId).at(column("Name")), "钱七");
        EXPECT_EQ(store->latestChangeTime(), QString());
    }
    const ToolResult tables = sqlcipher(
        file,
        QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('table','index') ORDER BY name;"
                       "SELECT Value FROM QuillcaseSettings WHERE Name = 'SchemaVersion';"),
        key);
    EXPECT_EQ(
        tables.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts),
        (QStringList{"PatientsArchive", "PatientsData", "PatientsHistory", "PatientsHistoryRecord",
                     "PatientsList", "QuillcaseSettings", "sqlite_autoindex_QuillcaseSettings_1", "1"}));
    // A second start finds everything in place and writes nothing.
    const QByteArray bytes = fileBytes(file);
    PatientStore::open(file).reset();
    EXPECT_EQ(fileBytes(file), bytes);
}

TEST(TrailMigration, ATrailTableLackingColumnsIsRefusedAndLeftAlone)
{
    if (!haveTool("sqlcipher"))
        GTEST_SKIP() << "sqlcipher client not installed";
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("damaged.dat"));
    PatientStore::create(file);
    sqlcipher(file,
              QStringLiteral(
                  "DROP TABLE PatientsHistory; CREATE TABLE PatientsHistory (RecordId INTEGER, Bed TEXT, "
                  "OldText TEXT, NewText TEXT); INSERT INTO PatientsHistory VALUES (1, '1', 'a', 'b');"),
              key);
    const QByteArray bytes = fileBytes(file);
    try {
        PatientStore::open(file);
        ADD_FAILURE() << "a damaged trail table was accepted";
    } catch (const Error &e) {
        EXPECT_TRUE(
            e.message().contains("修改痕迹表 PatientsHistory 缺少字段 ColumnName、Operator、ChangedAt"))
            << e.message().toStdString();
    }
    EXPECT_EQ(fileBytes(file), bytes);
}

TEST_F(TrailTest, BackupsAndCompactionKeepTheTrail)
{
    const qint64 id = m_store->insertRecord(record({{"Bed", "1"}, {"Name", "孙八"}}), wang);
    m_store->updateRecord(id, record({{"complaint", "咳嗽 <3天> & \"发热\""}}), wang);
    m_store->setArchived(id, true, wang);
    const std::vector<TrailEntry> trail = m_store->history(id);
    ASSERT_EQ(trail.size(), 4u);

    m_store->backup(path("copy.dat"));
    EXPECT_EQ(PatientStore::open(path("copy.dat"))->history(id), trail);
    EXPECT_TRUE(PatientStore::open(path("copy.dat"))->isArchived(id));

    // XML: the trail in a second file of the same layout, owner-only, beside the records.
    EXPECT_EQ(PatientStore::historyBackupPath(path("backup.XML")), path("backup.history.xml"));
    m_store->backup(path("backup.XML"));
    const QByteArray history = fileBytes(path("backup.history.xml"));
    EXPECT_EQ(permissions(path("backup.history.xml")), 0600);
    EXPECT_TRUE(history.contains("<s:AttributeType name='ColumnName'"));
    EXPECT_TRUE(history.contains("ColumnName='complaint'"));
    EXPECT_TRUE(history.contains("NewText='咳嗽 &lt;3天&gt; &amp; &quot;发热&quot;'"));
    EXPECT_TRUE(history.contains("ChangedAt='2026-12-11T09:15:30+08:00'"));
    EXPECT_EQ(history.count("<z:row"), 4);
    EXPECT_FALSE(fileBytes(path("backup.XML")).contains("ColumnName"));
    // Each trail row names its record by its place in the records' file as well.
    EXPECT_TRUE(history.contains("<s:AttributeType name='RecordRow' rs:number='8'"));
    EXPECT_EQ(history.count(" RecordRow='1'"), 4);
    // The archive marks in a third file of the same layout.
    EXPECT_EQ(PatientStore::archiveBackupPath(path("backup.XML")), path("backup.archive.xml"));
    const QByteArray marks = fileBytes(path("backup.archive.xml"));
    EXPECT_EQ(permissions(path("backup.archive.xml")), 0600);
    EXPECT_TRUE(marks.contains("<s:AttributeType name='RecordRow' rs:number='1'"));
    EXPECT_TRUE(marks.contains("<s:AttributeType name='ArchivedAt' rs:number='2'"));
    EXPECT_FALSE(marks.contains("RecordId"));
    EXPECT_EQ(marks.count("<z:row RecordRow='1' ArchivedAt='"), 1);
    if (haveTool("python3")) {
        // Python's own parser reads the trail back text for text, in the order written.
        const ToolResult python = runTool(
            QStringLiteral("python3"),
            {QStringLiteral("-c"),
             QStringLiteral(
                 "import sys, json, xml.etree.ElementTree as ET\n"
                 "root = ET.parse(sys.argv[1]).getroot()\n"
                 "print(json.dumps([r.get('NewText', '') for r in root.iter('{#RowsetSchema}row')]))"),
             path("backup.history.xml")});
        ASSERT_EQ(python.exitCode, 0) << python.err.toStdString();
        QStringList written;
        for (auto it = trail.rbegin(); it != trail.rend(); ++it)
            written << it->newText;
        EXPECT_EQ(QJsonDocument::fromJson(python.out.toUtf8()).toVariant().toStringList(), written);
    }

    // Compaction copies the whole database.
    m_store.reset();
    QDir(m_dir.path()).mkdir(QStringLiteral("data"));
    QFile::rename(file(), path("data/Quillcase.dat"));
    compactDatabase(path("data/"), morning);
    auto compacted = PatientStore::open(path("data/Quillcase.dat"));
    EXPECT_EQ(compacted->history(id), trail);
    EXPECT_TRUE(compacted->isArchived(id));
}

TEST_F(TrailTest, XmlRecordsFileIsTheSameWithOrWithoutATrail)
{
    if (!haveTool("sqlcipher"))
        GTEST_SKIP() << "sqlcipher client not installed";
    const qint64 id = m_store->insertRecord(record({{"Bed", "1"}, {"Name", "周九"}}), wang);
    m_store->updateRecord(id, record({{"Name", "吴十"}}), wang);
    m_store->backup(path("with.xml"));
    m_store.reset();
    sqlcipher(file(), QStringLiteral("DROP TABLE PatientsHistory; DROP TABLE PatientsArchive;"), key);
    m_store = PatientStore::open(file()); // gets an empty trail again
    m_store->backup(path("without.xml"));
    EXPECT_EQ(fileBytes(path("with.xml")), fileBytes(path("without.xml")));
    EXPECT_NE(fileBytes(path("with.history.xml")), fileBytes(path("without.history.xml")));
}

TEST_F(TrailTest, SessionPostsUnderItsOperatorAndArchivesOnlyAStoredRecord)
{
    m_store->setDisplayName(QStringLiteral("王建国"));
    text::setClock([] { return morning; });
    RecordSession session(m_store.get());
    session.open();
    session.append();
    // An unchanged new record would be thrown away by posting: nothing to archive.
    EXPECT_THROW(session.setArchived(true), Error);
    EXPECT_EQ(session.state(), RecordSession::State::Insert);
    session.fill(QStringLiteral("Bed"), QStringLiteral("4"));
    session.setArchived(true); // posts first, then archives
    text::setClock({});
    ASSERT_TRUE(session.isArchived());
    EXPECT_EQ(session.state(), RecordSession::State::Browse);
    const std::vector<TrailEntry> entries = m_store->history(session.currentRecordId());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].columnName, "Archived");
    EXPECT_EQ(entries[1].operatorName, trail::operatorText(QStringLiteral("王建国"), trail::accountName()));
    EXPECT_EQ(entries[1].changedAt, text::isoDateTimeText(morning));
    EXPECT_FALSE(session.locateBed(QStringLiteral("4")));
    EXPECT_THROW(session.fill(QStringLiteral("Name"), QStringLiteral("x")), Error);
    EXPECT_THROW(session.edit(), Error);
    EXPECT_EQ(session.state(), RecordSession::State::Browse);
}
