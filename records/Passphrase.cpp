#include "records/Passphrase.h"

#include "records/Dialogs.h"
#include "records/PatientStore.h"
#include "records/PatientStoreDb.h"
#include "text/Error.h"

namespace passphrase {

namespace {

QString tr(const char *text)
{
    return QString::fromUtf8(text);
}

const QString caption = QStringLiteral("设置数据库口令");

} // namespace

std::unique_ptr<PatientStore> openAsking(const QString &path, Dialogs &dialogs)
{
    try {
        return PatientStore::open(path);
    } catch (const storedb::WrongKey &error) {
        // A file that is no database looks to the engine exactly like one under another key,
        // so both are asked about; Cancel then ends with the engine's reason.
        constexpr int tries = 3;
        for (int attempt = 0; attempt < tries; ++attempt) {
            const std::optional<QString> answer =
                dialogs.password(QStringLiteral("Quillcase"), tr("请输入病历库口令"));
            if (!answer)
                throw Error(error.message());
            try {
                return PatientStore::open(path, answer->toUtf8());
            } catch (const storedb::WrongKey &) {
            }
        }
        throw Error(tr("口令三次都不对，无法打开病历资料库“%1”。程序将退出").arg(path));
    }
}

QString warningText()
{
    return tr("设置口令后，没有口令就无法打开病历库，备份和安全副本也使用同一口令。\n"
              "口令一旦忘记，任何人都无法找回，病历也无法再读出。\n"
              "请把口令记在安全的地方。确定要设置口令吗？");
}

bool changeAsking(PatientStore &store, Dialogs &dialogs)
{
    if (store.key() != storedb::defaultKey()) {
        const std::optional<QString> current = dialogs.password(caption, tr("请输入当前口令"));
        if (!current)
            return false;
        if (current->toUtf8() != store.key())
            throw Error(tr("当前口令不对，口令未改"));
    }
    if (!dialogs.confirm(warningText()))
        return false;
    const std::optional<QString> first = dialogs.password(caption, tr("请输入新口令"));
    if (!first)
        return false;
    if (first->isEmpty())
        throw Error(tr("新口令不能为空，口令未改"));
    const std::optional<QString> second = dialogs.password(caption, tr("请再输入一次新口令"));
    if (!second)
        return false;
    if (*first != *second)
        throw Error(tr("两次输入的新口令不一致，口令未改"));
    store.rekey(first->toUtf8());
    dialogs.information(tr("病历库口令已设置。请牢记新口令。"));
    return true;
}

} // namespace passphrase
