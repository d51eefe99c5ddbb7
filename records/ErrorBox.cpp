#include "records/ErrorBox.h"
#include "records/Dialogs.h"
#include "text/Error.h"

QString errorBoxText(const QString &message)
{
    if (!message.isEmpty() && message.back().unicode() <= 46)
        return message;
    return message + QLatin1Char('.');
}

bool runHandler(const std::function<void()> &handler)
{
    try {
        handler();
        return true;
    } catch (const Error &e) {
        Dialogs::current().error(errorBoxText(e.message()));
    } catch (const std::exception &e) {
        Dialogs::current().error(errorBoxText(QString::fromLocal8Bit(e.what())));
    }
    return false;
}
