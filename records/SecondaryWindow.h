#pragma once
#include <QWidget>

// A window opened from the main window without waiting (builders, document window,
// About, Options): a top-level window of its own, so it stays usable while the
// main window is disabled. Closing only hides it, so its controls keep their values,
// and every kind of close enables the main window again.
class SecondaryWindow : public QWidget
{
    Q_OBJECT
public:
    explicit SecondaryWindow(const QString &title);

    // The main window that showing a secondary window disables.
    static void setMainWindow(QWidget *mainWindow);
    static QWidget *mainWindow();

    // Shows the window and disables the main window.
    void showOverMainWindow();

protected:
    void closeEvent(QCloseEvent *event) override;
    // Runs on every close, before the main window is enabled again.
    virtual void onClose() {}
};
