#include "phrases/PhraseInsertion.h"
#include "phrases/PhraseFields.h"
#include "text/TextRules.h"

namespace phrases {

std::optional<QString> insertPhrase(const QString &targetKey, const QString &phraseLine,
                                    const QString &oldText)
{
    const PhraseField *field = fieldByTargetKey(targetKey);
    if (!field)
        return std::nullopt;
    const QString phrase = text::trim(phraseLine);
    if (field->kind == InsertionKind::Replace)
        return phrase;

    static const QString crlf = QStringLiteral("\r\n");
    if (oldText.isEmpty())
        return phrase + crlf;
    const QChar last = oldText.back();
    if (last == QLatin1Char('\n') || last == QLatin1Char('\r'))
        return oldText + phrase + crlf;
    return oldText + crlf + phrase;
}

} // namespace phrases
