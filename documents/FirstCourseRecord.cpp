#include "documents/FirstCourseRecord.h"
#include "text/TextRules.h"

namespace documents {

QStringList consultedHistoryFlags()
{
    return {QStringLiteral("Boolen01"), QStringLiteral("Boolen02"), QStringLiteral("Boolen16"),
            QStringLiteral("Boolen17"), QStringLiteral("Boolen04"), QStringLiteral("Boolen06"),
            QStringLiteral("Boolen08")};
}

Qt::CheckState flagStateFromText(const QString &columnText)
{
    if (columnText.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return Qt::Checked;
    if (columnText.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return Qt::Unchecked;
    return Qt::PartiallyChecked;
}

std::optional<int> wholeNumber(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
        // Beyond the range of a whole number the text is not one.
        if (value > qint64(2147483647) + (negative ? 1 : 0))
            return std::nullopt;
    }
    return int(negative ? -value : value);
}

QString ageGroupWord(int age)
{
    if (age >= 0 && age <= 29)
        return QStringLiteral("青年");
    if (age >= 30 && age <= 49)
        return QStringLiteral("中年");
    if (age >= 50 && age <= 120)
        return QStringLiteral("老年");
    return {};
}

QStringList firstCourseLines(const QHash<QString, QString> &fields,
                             const QHash<QString, Qt::CheckState> &flags)
{
    const auto field = [&fields](const char *column) { return fields.value(QLatin1String(column)); };
    QString complaint = field("complaint");
    complaint.remove(QStringLiteral("。"));

    QStringList lines;
    lines << QStringLiteral("    患者") + field("Name") + QStringLiteral(",") + field("sex") +
                 QStringLiteral(",") + field("age") + QStringLiteral("岁,因") + text::trim(complaint) +
                 QStringLiteral("于") + field("DoA") + QStringLiteral("收入院。");
    lines << QStringLiteral("一、病例特点：");

    const std::optional<int> age = wholeNumber(field("age"));
    if (!age)
        return lines;

    QString first = QStringLiteral("1、") + ageGroupWord(*age) + field("sex") + QStringLiteral("性，");
    bool anySet = false;
    for (const QString &flag : consultedHistoryFlags())
        anySet = anySet || flags.value(flag, Qt::PartiallyChecked) == Qt::Checked;
    if (!anySet)
        first += QStringLiteral("往体健，无特殊病史。");
    lines << first;
    lines << QStringLiteral("2、") + text::joinedMemoText(field("PresentIllness"));
    lines << QStringLiteral("3、") + text::joinedMemoText(field("fuzhu"));
    return lines;
}

QString firstCourseText(const QHash<QString, QString> &fields, const QHash<QString, Qt::CheckState> &flags)
{
    return firstCourseLines(fields, flags).join(QStringLiteral("\r\n"));
}

} // namespace documents
