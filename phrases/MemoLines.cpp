#include "phrases/MemoLines.h"

namespace phrases {

namespace {
bool isBreak(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar::ParagraphSeparator ||
           c == QChar::LineSeparator;
}

bool isCrLfAt(const QString &text, qsizetype i)
{
    return i >= 0 && i + 1 < text.size() && text.at(i) == QLatin1Char('\r') &&
           text.at(i + 1) == QLatin1Char('\n');
}
} // namespace

LineSpan lineAt(const QString &text, qsizetype position)
{
    const qsizetype n = text.size();
    qsizetype pos = qBound<qsizetype>(0, position, n);
    if (isCrLfAt(text, pos - 1))
        --pos; // between CR and LF: still the line the pair ends

    LineSpan span;
    span.begin = pos;
    while (span.begin > 0 && !isBreak(text.at(span.begin - 1)))
        --span.begin;
    span.end = pos;
    while (span.end < n && !isBreak(text.at(span.end)))
        ++span.end;
    span.next = span.end;
    if (span.next < n)
        span.next += isCrLfAt(text, span.next) ? 2 : 1;
    return span;
}

QString caretLine(const QString &text, qsizetype caret)
{
    const LineSpan span = lineAt(text, caret);
    return text.mid(span.begin, span.end - span.begin);
}

QString deleteCaretLine(const QString &text, qsizetype caret)
{
    const LineSpan span = lineAt(text, caret);
    if (span.next == span.begin)
        return text; // empty memo, or the empty line after a final break
    QString result = text;
    result.remove(span.begin, span.next - span.begin);
    return result;
}

qsizetype textIndexOfPosition(const QString &text, qsizetype position)
{
    qsizetype index = 0;
    for (qsizetype counted = 0; counted < position && index < text.size(); ++counted)
        index += isCrLfAt(text, index) ? 2 : 1;
    return index;
}

} // namespace phrases
