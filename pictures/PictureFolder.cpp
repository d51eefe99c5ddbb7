#include "pictures/PictureFolder.h"

#include "text/Error.h"
#include "text/SharedValues.h"
#include "text/TextRules.h"

#include <QDir>
#include <QFileInfo>

namespace pictures {

namespace {

bool unsafePart(const QString &part)
{
    return part == QLatin1String(".") || part == QLatin1String("..") || part.contains(QLatin1Char('/')) ||
           part.contains(QLatin1Char('\\')) || part.contains(QChar(0));
}

} // namespace

QString pictureRoot()
{
    return text::shared().dataFolder() + QStringLiteral("images/");
}

bool keyMissing(const QString &id, const QString &name)
{
    return text::trim(id).isEmpty() || text::trim(name).isEmpty();
}

QString folderName(const QString &id, const QString &name)
{
    return text::trim(id) + QLatin1Char('-') + text::trim(name);
}

std::optional<QString> unsafeReason(const QString &id, const QString &name)
{
    const QString trimmedId = text::trim(id);
    const QString trimmedName = text::trim(name);
    if (unsafePart(trimmedId) || unsafePart(trimmedName))
        return QStringLiteral("住院号“%1”或姓名“%2”不能用作图片文件夹名：不能含有“/”或“\\”，"
                              "也不能是“.”或“..”")
            .arg(trimmedId, trimmedName);
    return std::nullopt;
}

QString folderPath(const QString &root, const QString &id, const QString &name)
{
    if (const auto reason = unsafeReason(id, name))
        throw Error(*reason);
    QString base = root;
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    const QString path = base + folderName(id, name);
    // A second guard beside the character rules: the folder must sit directly in the root.
    if (QFileInfo(QDir::cleanPath(path)).path() != QDir::cleanPath(base))
        throw Error(QStringLiteral("图片文件夹“%1”不在图片根文件夹“%2”之内").arg(path, base));
    return path;
}

std::optional<QString> existingFolder(const QString &root, const QString &id, const QString &name)
{
    if (unsafeReason(id, name))
        return std::nullopt;
    const QString path = folderPath(root, id, name);
    if (!QFileInfo(path).isDir())
        return std::nullopt;
    return path;
}

QStringList listedPictures(QStringList names)
{
    names.removeIf([](const QString &name) {
        return name.startsWith(QLatin1Char('.')) ||
               !name.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive);
    });
    names.sort(Qt::CaseInsensitive);
    return names;
}

} // namespace pictures
