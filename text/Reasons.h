#pragma once
#include <QString>

// Reasons the system and the database engine give in English, said in Chinese.
namespace text {

// The Chinese for a known English reason (a system error text such as "No space left on
// device", a database engine message such as "database or disk is full"); letter case and
// blanks around it do not matter. Any other text comes back as it is.
QString chineseReason(const QString &reason);

// The Chinese reason for a system error number; the system's own text for a rare one.
QString systemReason(int errorNumber);

// A message that ends with a known English reason (after "：", ": " or as the whole
// message) gets that reason in Chinese; the rest of the message, which names the file and
// the step, stays. Any other message comes back as it is.
QString withChineseReason(const QString &message);

} // namespace text
