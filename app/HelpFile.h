#pragma once
#include <QString>

class HelpWindow;
class QWidget;

namespace help {

// The desktop file of the program the desktop opens .chm files with; empty when there
// is none (or the desktop cannot say).
QString associatedViewer();

// Shows the help file: with the associated viewer when there is one and it starts,
// otherwise in the program's own help window, which is returned. A missing or unreadable
// file shows nothing and returns nullptr, as does the viewer.
HelpWindow *showHelpFile(const QString &path, const QString &viewer, QWidget *owner);

// What Ctrl+H does: showHelpFile with the desktop's associated viewer.
void openHelpFile(const QString &path, QWidget *owner);

} // namespace help
