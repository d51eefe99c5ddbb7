#include "app/ApplicationWindows.h"
#include "app/DataLocation.h"
#include "app/FirstStart.h"
#include "app/InstanceGuard.h"
#include "app/TForm1.h"
#include "app/Translations.h"
#include "records/Dialogs.h"
#include "records/ErrorBox.h"
#include "records/InterfaceFont.h"
#include "text/Error.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillcase"));
    // One instance at a time: a second start asks the running one to come forward and ends
    // without ever showing a window; one that gets no answer says so and ends.
    InstanceGuard guard;
    if (!guard.settleStart())
        return 0;
    // The menu entry and the icon the installed program brings, for the task bar.
    QApplication::setDesktopFileName(QStringLiteral("org.quillcase.Quillcase"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.quillcase.Quillcase")));
    QApplication::setFont(interfaceFont());
    loadQtTranslations();
    // The folder of the program file, whatever the current directory is; the data folder
    // beside it (portable) or in the user's data home (installed).
    const DataLocation location = locateData(QDir(QCoreApplication::applicationDirPath()).absolutePath());
    if (location.installed && !QFileInfo::exists(location.dataFolder) &&
        !offerDataFolder(location, Dialogs::current()))
        return 1;

    std::unique_ptr<ApplicationWindows> windows;
    try {
        windows = std::make_unique<ApplicationWindows>(location);
    } catch (const Error &e) {
        Dialogs::current().error(errorBoxText(e.message()));
        return 1;
    }
    TForm1 *form1 = windows->form1();
    QObject::connect(&guard, &InstanceGuard::comeForwardRequested, form1,
                     [form1] { InstanceGuard::bringForward(form1); });
    form1->show();
    return app.exec();
}
