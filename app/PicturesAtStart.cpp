#include "app/PicturesAtStart.h"

#include "pictures/DesktopPictures.h"
#include "pictures/ServerPicturePlace.h"
#include "store/server/ServerPictures.h"
#include "store/server/ServerStore.h"
#include "text/Error.h"

namespace startup {

std::unique_ptr<PicturePlace> openPictures(PatientStoreInterface *store,
                                           std::function<PatientStoreInterface *()> currentStore)
{
    auto *server = dynamic_cast<ServerStore *>(store);
    if (!server)
        return std::make_unique<DesktopPictures>();
    const QString description = server->path();
    // The store of the moment: it may have connected again since, or be closed.
    auto connection = [currentStore = std::move(currentStore), description]() {
        auto *open = dynamic_cast<ServerStore *>(currentStore());
        if (!open)
            throw Error(QStringLiteral("病区服务器“%1”的连接已关闭").arg(description));
        return open->connection();
    };
    return std::make_unique<ServerPicturePlace>(std::make_unique<ServerPictures>(connection, description));
}

} // namespace startup
