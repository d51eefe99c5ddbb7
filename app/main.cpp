#include "app/ApplicationWindows.h"
#include "app/InstanceGuard.h"
#include "records/InterfaceFont.h"
#include "app/TForm1.h"
#include "records/Dialogs.h"
#include "records/ErrorBox.h"
#include "text/Error.h"

#include <QApplication>
#include <QDir>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillcase"));
    // One instance at a time: a second start asks the running one to come forward and ends
    // without ever showing a window; one that gets no answer says so and ends.
    InstanceGuard guard;
    if (!guard.settleStart())
        return 0;
    QApplication::setFont(interfaceFont());
    // The folder of the program file, whatever the current directory is.
    QString folder = QDir(QCoreApplication::applicationDirPath()).absolutePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');

    std::unique_ptr<ApplicationWindows> windows;
    try {
        windows = std::make_unique<ApplicationWindows>(folder);
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
