#include "app/DataLocation.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString withSlash(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

} // namespace

DataLocation portableLocation(const QString &programFolder)
{
    return resolveDataLocation(programFolder, true, {}, {});
}

DataLocation resolveDataLocation(const QString &programFolder, bool dataBesideProgram,
                                 const QString &xdgDataHome, const QString &home)
{
    DataLocation location;
    location.applicationFolder = withSlash(programFolder);
    if (dataBesideProgram) {
        // Exactly the paths of a folder that carries its data: plain concatenation.
        location.dataFolder = location.applicationFolder + QStringLiteral("data/");
        location.helpFile = location.applicationFolder + QStringLiteral("/Quillcase.chm");
        location.starterFolder = location.dataFolder;
        return location;
    }
    location.installed = true;
    // The prefix is the folder above bin/.
    const QString share = QDir::cleanPath(location.applicationFolder + QStringLiteral("../share/quillcase"));
    location.helpFile = share + QStringLiteral("/Quillcase.chm");
    location.starterFolder = share + QStringLiteral("/phrases/");
    // XDG base directories: a relative XDG_DATA_HOME is invalid and ignored, an unset or
    // empty one means ~/.local/share.
    QString dataHome;
    if (QDir::isAbsolutePath(xdgDataHome))
        dataHome = xdgDataHome;
    else if (QDir::isAbsolutePath(home))
        dataHome = home + QStringLiteral("/.local/share");
    if (!dataHome.isEmpty())
        location.dataFolder = withSlash(QDir::cleanPath(dataHome + QStringLiteral("/Quillcase/data")));
    return location;
}

DataLocation locateData(const QString &programFolder)
{
    const bool beside = QFileInfo(withSlash(programFolder) + QStringLiteral("data")).isDir();
    DataLocation location = resolveDataLocation(programFolder, beside, qEnvironmentVariable("XDG_DATA_HOME"),
                                                qEnvironmentVariable("HOME"));
    // A program started in its build folder has no prefix around it, but the help file the
    // build compiled lies beside it.
    const QString builtHelp = location.applicationFolder + QStringLiteral("Quillcase.chm");
    if (location.installed && !QFileInfo::exists(location.helpFile) && QFileInfo::exists(builtHelp))
        location.helpFile = builtHelp;
    return location;
}
