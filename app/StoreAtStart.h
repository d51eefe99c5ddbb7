#pragma once
#include "records/Dialogs.h"
#include "store/PatientStoreInterface.h"

#include <QString>
#include <memory>

namespace startup {

// Opens the store the data folder's settings and the environment choose (see storechoice):
// the encrypted file exactly as openDatabase does, or the ward's server. Throws Error with a
// clear message when it cannot ("无法连接病区服务器……" for a server out of reach).
// Opens the ward's server. When it wants a password libpq's own ways did not give, the
// sign-in window asks; three refused sign-ins, or the window closed, end the start.
inline constexpr int maxSignInAttempts = 3;
std::unique_ptr<PatientStoreInterface> openServer(const QString &connection, Dialogs &dialogs);

std::unique_ptr<PatientStoreInterface> openStore(const QString &dataFolder,
                                                 Dialogs &dialogs = Dialogs::current());

} // namespace startup
