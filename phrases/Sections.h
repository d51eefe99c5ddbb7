#pragma once
#include <QString>
#include <QStringList>

// Sectioned phrase files (differentials.txt): a section starts on the line after the
// first line containing "<section." + name + ">" and runs up to, not including, the
// next later line containing "</section>", or to the end of the file. Matching is an
// exact substring search: case counts, nothing is trimmed, and the ">" right after
// the name keeps a shorter name from finding a longer one.
namespace phrases {

// Index of the section's header line, or lines.size() when there is none.
qsizetype sectionHeaderIndex(const QStringList &lines, const QString &name);

// The body lines of the named section, copied exactly; empty when the section is
// missing or empty.
QStringList sectionBody(const QStringList &lines, const QString &name);

// The body as memo text: every line followed by CR LF; empty when there is no body.
QString sectionText(const QStringList &lines, const QString &name);

} // namespace phrases
