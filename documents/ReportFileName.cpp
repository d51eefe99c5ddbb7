#include "documents/ReportFileName.h"
#include "text/TextRules.h"

#include <QStringList>

namespace documents {

namespace {

QString safePart(const QString &text)
{
    QString part = text::trim(text);
    for (QChar &c : part)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 32)
            c = QLatin1Char('_');
    return part;
}

} // namespace

QString reportPdfName(const QString &admissionNumber, const QString &name)
{
    QStringList parts;
    for (const QString &text : {admissionNumber, name})
        if (const QString part = safePart(text); !part.isEmpty())
            parts << part;
    const QString base = parts.isEmpty() ? QStringLiteral("入院记录") : parts.join(QLatin1Char('-'));
    return base + QStringLiteral(".pdf");
}

} // namespace documents
