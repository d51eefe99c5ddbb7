#pragma once
#include <QString>

// How a builder's composed line ends up in a memo of the main window. Memo texts
// use CR LF as their line break.
namespace builders {

// The memo's text after its lines are cleared and the line is added as the only
// one: the line followed by CR LF. The present-illness, past-history and
// personal-history builders replace their field this way.
QString memoWithOnlyLine(const QString &line);

// The memo's text after the line is added as a new last line, the auxiliary-examination
// builder's way: the old text stays; when it is empty or already ends with a line break
// the line and CR LF follow it, otherwise CR LF and then the line (with nothing after it).
// A text ending in CR or LF counts as ending with a line break.
QString memoWithAddedLine(const QString &memo, const QString &line);

} // namespace builders
