#include "builders/MemoLineComposition.h"

namespace builders {

namespace {
const QString kLineBreak = QStringLiteral("\r\n");
}

QString memoWithOnlyLine(const QString &line)
{
    return line + kLineBreak;
}

QString memoWithAddedLine(const QString &memo, const QString &line)
{
    // A lone CR or LF at the end is a line break to the editor too; adding another
    // break in front of the line would leave an empty line between them.
    if (memo.isEmpty() || memo.endsWith(QLatin1Char('\n')) || memo.endsWith(QLatin1Char('\r')))
        return memo + line + kLineBreak;
    return memo + kLineBreak + line;
}

} // namespace builders
