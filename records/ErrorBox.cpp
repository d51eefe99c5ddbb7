#include "records/ErrorBox.h"
#include "records/Dialogs.h"
#include "text/Error.h"
#include "text/Reasons.h"

QString errorBoxText(const QString &message)
{
    // A reason the system or the engine gave in English is shown in Chinese.
    const QString text = text::withChineseReason(message);
    if (!text.isEmpty() && text.back().unicode() <= 46)
        return text;
    return text + QLatin1Char('.');
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
