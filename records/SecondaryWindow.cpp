#include "records/SecondaryWindow.h"
#include "records/ScreenFit.h"

#include <QCloseEvent>
#include <QPointer>

namespace {
QPointer<QWidget> &mainWindowPointer()
{
    static QPointer<QWidget> window;
    return window;
}
} // namespace

SecondaryWindow::SecondaryWindow(const QString &title) : QWidget(nullptr, Qt::Window)
{
    setWindowTitle(title);
}

void SecondaryWindow::setMainWindow(QWidget *mainWindow)
{
    mainWindowPointer() = mainWindow;
}

QWidget *SecondaryWindow::mainWindow()
{
    return mainWindowPointer();
}

void SecondaryWindow::showOverMainWindow()
{
    screenfit::fitWindow(this);
    show();
    raise();
    activateWindow();
    if (QWidget *main = mainWindow())
        main->setEnabled(false);
}

void SecondaryWindow::closeEvent(QCloseEvent *event)
{
    onClose();
    event->accept(); // a top-level window is only hidden by close()
    if (QWidget *main = mainWindow())
        main->setEnabled(true);
}
