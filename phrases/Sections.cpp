#include "phrases/Sections.h"

namespace phrases {

qsizetype sectionHeaderIndex(const QStringList &lines, const QString &name)
{
    const QString marker = QStringLiteral("<section.") + name + QLatin1Char('>');
    const qsizetype n = lines.size();
    for (qsizetype i = 0; i < n; ++i)
        if (lines.at(i).contains(marker, Qt::CaseSensitive))
            return i;
    return n;
}

QStringList sectionBody(const QStringList &lines, const QString &name)
{
    static const QString endMarker = QStringLiteral("</section>");
    const qsizetype n = lines.size();
    const qsizetype header = sectionHeaderIndex(lines, name);
    if (header >= n)
        return {};
    // The search starts after the header, so a header that also holds the end
    // marker does not close its own section.
    qsizetype end = header + 1;
    while (end < n && !lines.at(end).contains(endMarker, Qt::CaseSensitive))
        ++end;
    return lines.mid(header + 1, end - header - 1);
}

QString sectionText(const QStringList &lines, const QString &name)
{
    QString text;
    const QStringList body = sectionBody(lines, name);
    for (const QString &line : body) {
        text += line;
        text += QLatin1String("\r\n");
    }
    return text;
}

} // namespace phrases
