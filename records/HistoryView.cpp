#include "records/HistoryView.h"
#include "records/ColumnTable.h"
#include "text/Clock.h"

#include <QSet>

#include <iterator>

#include <algorithm>

namespace historyview {

ChangeMark markChange(const QString &oldText, const QString &newText)
{
    const qsizetype shorter = std::min(oldText.size(), newText.size());
    qsizetype front = 0;
    while (front < shorter && oldText.at(front) == newText.at(front))
        ++front;
    // Never end the common beginning between the two halves of one character.
    if (front > 0 && oldText.at(front - 1).isHighSurrogate())
        --front;
    qsizetype back = 0;
    while (back < shorter - front &&
           oldText.at(oldText.size() - 1 - back) == newText.at(newText.size() - 1 - back))
        ++back;
    // Nor start the common end on the second half of a character.
    if (back > 0 && oldText.at(oldText.size() - back).isLowSurrogate())
        --back;
    return {oldText.left(front), oldText.mid(front, oldText.size() - front - back),
            newText.mid(front, newText.size() - front - back), oldText.right(back)};
}

QString fieldLabel(const QString &columnName)
{
    if (columnName == trail::archivedColumn())
        return QStringLiteral("归档：");
    const int index = columns::indexOf(columnName);
    if (index < 0)
        return columnName;
    const QString label = QString::fromUtf8(columns::all()[size_t(index)].label);
    return label.isEmpty() ? columnName : label;
}

QStringList columnsIn(const std::vector<TrailEntry> &entries)
{
    QSet<QString> present;
    for (const TrailEntry &entry : entries)
        present.insert(entry.columnName);
    QStringList result;
    for (const Column &column : columns::all()) {
        const QString name = QString::fromLatin1(column.name);
        if (present.remove(name))
            result << name;
    }
    QStringList others(present.begin(), present.end()); // the archive mark, or a column from elsewhere
    others.sort();
    return result + others;
}

std::vector<TrailEntry> filtered(const std::vector<TrailEntry> &entries, const QString &columnName)
{
    if (columnName.isEmpty())
        return entries;
    std::vector<TrailEntry> result;
    std::copy_if(entries.begin(), entries.end(), std::back_inserter(result),
                 [&](const TrailEntry &entry) { return entry.columnName == columnName; });
    return result;
}

namespace {

QString html(const QString &text)
{
    QString escaped = text.toHtmlEscaped();
    escaped.replace(QLatin1String("\r\n"), QLatin1String("<br>"));
    escaped.replace(QLatin1Char('\n'), QLatin1String("<br>"));
    escaped.replace(QLatin1Char('\r'), QLatin1String("<br>"));
    return escaped;
}

// One side of a change with its changed part marked; an empty side says so.
QString side(const QString &prefix, const QString &part, const QString &suffix, const char *partStyle)
{
    if (prefix.isEmpty() && part.isEmpty() && suffix.isEmpty())
        return QStringLiteral("<span style='color:#808080'>（空）</span>");
    return html(prefix) + QStringLiteral("<span style='%1'>").arg(QLatin1String(partStyle)) + html(part) +
           QStringLiteral("</span>") + html(suffix);
}

// The time as the program writes times elsewhere; a text it cannot read stays as it is.
QString timeText(const QString &iso)
{
    const QDateTime moment = text::fromIsoDateTimeText(iso);
    return moment.isValid() ? text::dateTimeText(moment) : iso;
}

} // namespace

QString historyHtml(const std::vector<TrailEntry> &entries, const QString &heading)
{
    QString out = QStringLiteral("<html><body><h3>%1</h3>").arg(html(heading));
    if (entries.empty())
        out += QStringLiteral("<p>没有修改痕迹。</p>");
    for (const TrailEntry &entry : entries) {
        // A flag or the archive mark changes as a whole ("False" to "True"), a text in part.
        const int index = columns::indexOf(entry.columnName);
        const bool whole = entry.columnName == trail::archivedColumn() ||
                           (index >= 0 && columns::all()[size_t(index)].kind == ColumnKind::Flag);
        const ChangeMark mark = whole ? ChangeMark{QString(), entry.oldText, entry.newText, QString()}
                                      : markChange(entry.oldText, entry.newText);
        out += QStringLiteral("<p style='margin-top:8px'><b>%1</b>　%2　<b>%3</b></p>")
                   .arg(html(timeText(entry.changedAt)), html(entry.operatorName),
                        html(fieldLabel(entry.columnName)));
        out += QStringLiteral("<p style='margin-left:16px'>原：%1</p>")
                   .arg(side(mark.prefix, mark.removed, mark.suffix,
                             "background-color:#f4b6b6;text-decoration:line-through"));
        out += QStringLiteral("<p style='margin-left:16px'>新：%1</p>")
                   .arg(side(mark.prefix, mark.added, mark.suffix, "background-color:#b6e6b6"));
    }
    return out + QStringLiteral("</body></html>");
}

} // namespace historyview
