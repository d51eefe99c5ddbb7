#include "records/BedNumber.h"
#include "StoreTestSupport.h"
#include "records/RecordCommands.h"
#include "records/RecordSession.h"
#include "records/ScriptedDialogs.h"
#include "text/Error.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <limits>

using storetest::record;

TEST(BedNumber, EverySpellingOfANumberAndNothingElse)
{
    const std::pair<const char *, std::optional<int>> cases[] = {
        {"7", 7},
        {"07", 7},
        {"0007", 7},
        {"+7", 7},
        {" 7 ", 7},
        {"\t7\r\n", 7},
        {"７", 7},
        {"１２", 12},
        {"＋１２", 12},
        {"　１２　", 12}, // full-width blanks around, as a full-width input method types them
        {"-3", -3},
        {"－３", -3},
        {"-0", 0},
        {"2147483647", 2147483647},
        {"-2147483648", std::numeric_limits<int>::min()},
        {"000000000000000000000012", 12},
        {"2147483648", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"abc", std::nullopt},
        {"7.0", std::nullopt},
        {"7 8", std::nullopt},
        {"7a", std::nullopt},
        {"+", std::nullopt},
        {"+-7", std::nullopt},
        {"--7", std::nullopt},
        {"", std::nullopt},
        {"　", std::nullopt},
        {"0x10", std::nullopt},
        {"١٢", std::nullopt}, // other scripts' digits are no bed numbers
    };
    for (const auto &[bed, expected] : cases)
        EXPECT_EQ(bednumber::parse(QString::fromUtf8(bed)), expected) << bed;
    EXPECT_EQ(bednumber::plainText(QStringLiteral("０７")), QStringLiteral("7"));
    EXPECT_EQ(bednumber::plainText(QStringLiteral("加1")), QStringLiteral("加1"));
}

// The new-record command over a real database: one bed, one record, whatever the spelling.
TEST(BedNumber, NewRecordMakesOneRecordPerBedInTheDatabase)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quillcase.dat"));
    PatientStore::create(path);
    auto store = PatientStore::open(path);
    store->insertRecord(record({{"Bed", "7"}, {"Name", "王五"}}));
    store->insertRecord(record({{"Bed", "08"}, {"Name", "旧写法"}})); // stored by an older version
    RecordSession session(store.get());
    session.open();
    ScriptedDialogs dialogs;

    struct Case
    {
        const char *answer;
        const char *information;
        const char *error;
        const char *currentName;
    };
    const Case cases[] = {
        {"07", "床号7已经存在，继续编辑或删除重建！", "", "王五"},
        {"+7", "床号7已经存在，继续编辑或删除重建！", "", "王五"},
        {" 7 ", "床号7已经存在，继续编辑或删除重建！", "", "王五"},
        {"７", "床号7已经存在，继续编辑或删除重建！", "", "王五"},
        {"　０７　", "床号7已经存在，继续编辑或删除重建！", "", "王五"},
        {"8", "床号8已经存在，继续编辑或删除重建！", "", "旧写法"},
        {"abc", "", "'abc' is not a valid integer value", ""},
        {"7.0", "", "'7.0' is not a valid integer value", ""},
        {"99999999999", "", "'99999999999' is not a valid integer value", ""},
        {"-07", "床号不能为零或负值！", "", ""},
        {"０", "床号不能为零或负值！", "", ""},
        {"１００", "晕，你家哪有这么多床！", "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.answer);
        dialogs.informations.clear();
        dialogs.inputAnswers.push_back(QString::fromUtf8(c.answer));
        QString error;
        try {
            recordcommands::newRecord(session, dialogs);
        } catch (const Error &e) {
            error = e.message();
        }
        EXPECT_EQ(dialogs.informations.join(QString()), QString::fromUtf8(c.information));
        EXPECT_EQ(error, QString::fromUtf8(c.error));
        EXPECT_EQ(session.state(), RecordSession::State::Browse);
        if (*c.currentName) {
            EXPECT_EQ(session.value(QStringLiteral("Name")), QString::fromUtf8(c.currentName));
        }
        EXPECT_EQ(store->recordCount(), 2);
    }

    // A new bed typed in full width is stored as plain digits; its other spellings find it.
    dialogs.inputAnswers.push_back(QStringLiteral("＋１２"));
    recordcommands::newRecord(session, dialogs);
    EXPECT_EQ(session.value(QStringLiteral("Bed")), QStringLiteral("12"));
    session.post();
    for (const char *again : {"12", "012", "+12", "１２"}) {
        dialogs.inputAnswers.push_back(QString::fromUtf8(again));
        recordcommands::newRecord(session, dialogs);
        EXPECT_EQ(session.state(), RecordSession::State::Browse) << again;
    }
    EXPECT_EQ(store->recordCount(), 3);
    auto check = PatientStore::open(path);
    ASSERT_TRUE(check->findBed(QStringLiteral("12")));
    EXPECT_FALSE(check->findBed(QStringLiteral("＋１２")));
}
