#include "app/HelpFile.h"
#include "app/HelpWindow.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QUrl>

namespace help {

QString associatedViewer()
{
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                             QStringLiteral("application/vnd.ms-htmlhelp")});
    if (!query.waitForFinished(5000) || query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
}

HelpWindow *showHelpFile(const QString &path, const QString &viewer, QWidget *owner)
{
    if (!QFileInfo(path).isFile())
        return nullptr;
    if (!viewer.isEmpty() &&
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath())))
        return nullptr;
    // One help window for the run, raised again by the next Ctrl+H.
    static QPointer<HelpWindow> window;
    if (!window) {
        auto *made = new HelpWindow(path, owner);
        if (!made->isOpen()) {
            delete made;
            return nullptr;
        }
        made->setAttribute(Qt::WA_DeleteOnClose);
        window = made;
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void openHelpFile(const QString &path, QWidget *owner)
{
    if (QFileInfo(path).isFile())
        showHelpFile(path, associatedViewer(), owner);
}

} // namespace help
