#include "app/StoreAtStart.h"
#include "app/StoreChoice.h"
#include "records/DatabaseAtStart.h"
#include "records/StoreColumnList.h"
#include "ward/WardStore.h"
#include "text/Error.h"

namespace startup {

namespace {
QString tr(const char *text)
{
    return QString::fromUtf8(text);
}
} // namespace

std::unique_ptr<PatientStoreInterface> openServer(const QString &connection, Dialogs &dialogs)
{
    pg::SignIn signIn;
    int failures = 0;
    for (;;) {
        try {
            return WardStore::open(connection, storeColumnList(), signIn);
        } catch (const pg::SignInNeeded &needed) {
            // Only what was typed here counts; a password of PGPASSWORD or ~/.pgpass the
            // server refused just brings the window.
            if (signIn.given() && ++failures == maxSignInAttempts)
                throw Error(tr("登录病区服务器三次未成功，程序结束。%1").arg(needed.message()));
            const std::optional<SignInAnswer> answer =
                dialogs.signIn(tr("请输入您在病区服务器上的用户名和密码。"),
                               signIn.given() ? signIn.user : needed.user(), needed.message());
            if (!answer)
                throw Error(tr("未登录病区服务器，程序结束"));
            signIn = pg::SignIn{answer->user, answer->password};
        }
    }
}

std::unique_ptr<PatientStoreInterface> openStore(const QString &dataFolder, Dialogs &dialogs)
{
    const storechoice::Choice choice = storechoice::forDataFolder(dataFolder);
    if (!choice.server)
        return openDatabase(dataFolder, dialogs);
    return openServer(choice.connection, dialogs);
}

} // namespace startup
