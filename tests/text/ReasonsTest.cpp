#include "text/Reasons.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace text;

TEST(Reasons, KnownEnglishReasonsAreSaidInChinese)
{
    const std::pair<const char *, const char *> cases[] = {
        {"No space left on device", "磁盘空间不足"},
        {"Disk quota exceeded", "超出磁盘配额"},
        {"Permission denied", "没有读写权限"},
        {"Read-only file system", "文件系统只读"},
        {"Input/output error", "磁盘读写错误"},
        {"database or disk is full", "磁盘空间不足"},
        {"file is encrypted or is not a database", "不是病历资料库文件，或者密码不对"},
        {"file is not a database", "不是病历资料库文件，或者密码不对"},
        {"disk I/O error", "磁盘读写错误"},
        {" NO SPACE LEFT ON DEVICE ", "磁盘空间不足"}, // letter case and blanks around do not matter
        // Anything else comes as it is.
        {"simulated read failure", "simulated read failure"},
        {"'abc' is not a valid integer value", "'abc' is not a valid integer value"},
        {"No space left on device, really", "No space left on device, really"},
        {"", ""},
    };
    for (const auto &[english, chinese] : cases)
        EXPECT_EQ(chineseReason(QString::fromUtf8(english)), QString::fromUtf8(chinese)) << english;

    EXPECT_EQ(systemReason(ENOSPC), QStringLiteral("磁盘空间不足"));
    EXPECT_EQ(systemReason(EDQUOT), QStringLiteral("超出磁盘配额"));
    EXPECT_EQ(systemReason(EIO), QStringLiteral("磁盘读写错误"));
    EXPECT_FALSE(systemReason(EDOM).isEmpty()); // a rare one: the system's own text
}

TEST(Reasons, MessagesKeepTheFileAndTheStepAndGetTheReasonInChinese)
{
    const std::pair<const char *, const char *> cases[] = {
        {"无法写入文件“/a/b.rtf”：No space left on device", "无法写入文件“/a/b.rtf”：磁盘空间不足"},
        {"无法备份到“x.xml”：database or disk is full", "无法备份到“x.xml”：磁盘空间不足"},
        {"读取文件“c.jpg”时出错：Permission denied.", "读取文件“c.jpg”时出错：没有读写权限."},
        {"open: disk I/O error", "open: 磁盘读写错误"},
        {"file is encrypted or is not a database", "不是病历资料库文件，或者密码不对"},
        // The reason is only the last part; an English word earlier stays.
        {"No space left on device：文件“a”", "No space left on device：文件“a”"},
        {"'abc' is not a valid integer value", "'abc' is not a valid integer value"},
        {"无法打开文件“a”：unknown trouble", "无法打开文件“a”：unknown trouble"},
    };
    for (const auto &[message, expected] : cases)
        EXPECT_EQ(withChineseReason(QString::fromUtf8(message)), QString::fromUtf8(expected)) << message;
}
