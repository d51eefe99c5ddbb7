// Where the program finds its data: the portable form (data/ beside the program) and the
// installed form (the user's data home), as one rule of plain values.
#include "app/DataLocation.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(DataLocation, PortableFormKeepsEveryPathBesideTheProgram)
{
    for (const QString &folder :
         {QStringLiteral("/opt/qc"), QStringLiteral("/opt/qc/"), QStringLiteral("/")}) {
        const QString app = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
        const DataLocation location =
            resolveDataLocation(folder, true, QStringLiteral("/x"), QStringLiteral("/home/d"));
        EXPECT_FALSE(location.installed);
        EXPECT_EQ(location.applicationFolder, app);
        EXPECT_EQ(location.dataFolder, app + QStringLiteral("data/"));
        EXPECT_EQ(location.helpFile, app + QStringLiteral("/Quillcase.chm"));
        EXPECT_EQ(location.starterFolder, location.dataFolder);
    }
}

TEST(DataLocation, InstalledFormUsesTheDataHomeAndThePrefix)
{
    struct Case
    {
        QString xdg, home, data;
    };
    const Case cases[] = {
        {QStringLiteral("/srv/xdg"), QStringLiteral("/home/d"), QStringLiteral("/srv/xdg/Quillcase/data/")},
        {QStringLiteral("/srv/xdg/"), QStringLiteral("/home/d"), QStringLiteral("/srv/xdg/Quillcase/data/")},
        {QString(), QStringLiteral("/home/d"), QStringLiteral("/home/d/.local/share/Quillcase/data/")},
        // A relative XDG_DATA_HOME is invalid and ignored.
        {QStringLiteral("rel/xdg"), QStringLiteral("/home/d/"),
         QStringLiteral("/home/d/.local/share/Quillcase/data/")},
        // No home at all: no data folder can be named.
        {QString(), QString(), QString()},
        {QString(), QStringLiteral("relative"), QString()},
    };
    for (const Case &c : cases) {
        const DataLocation location =
            resolveDataLocation(QStringLiteral("/home/d/.local/bin"), false, c.xdg, c.home);
        EXPECT_TRUE(location.installed);
        EXPECT_EQ(location.applicationFolder, QStringLiteral("/home/d/.local/bin/"));
        EXPECT_EQ(location.dataFolder, c.data) << c.xdg.toStdString() << " | " << c.home.toStdString();
        EXPECT_EQ(location.helpFile, QStringLiteral("/home/d/.local/share/quillcase/Quillcase.chm"));
        EXPECT_EQ(location.starterFolder, QStringLiteral("/home/d/.local/share/quillcase/phrases/"));
    }
}

TEST(DataLocation, TheRunningProgramChoosesByTheDataFolderBesideIt)
{
    QTemporaryDir dir;
    const QString bin = dir.path() + QStringLiteral("/bin");
    QDir().mkpath(bin);
    qputenv("XDG_DATA_HOME", (dir.path() + QStringLiteral("/xdg")).toUtf8());
    EXPECT_TRUE(locateData(bin).installed);
    EXPECT_EQ(locateData(bin).dataFolder, dir.path() + QStringLiteral("/xdg/Quillcase/data/"));
    // A file named data is no data folder.
    QFile(bin + QStringLiteral("/data")).open(QIODevice::WriteOnly);
    EXPECT_TRUE(locateData(bin).installed);
    QFile::remove(bin + QStringLiteral("/data"));
    // Without a help file in the prefix, one beside the program (its build folder) is used.
    EXPECT_EQ(locateData(bin).helpFile, dir.path() + QStringLiteral("/share/quillcase/Quillcase.chm"));
    QFile(bin + QStringLiteral("/Quillcase.chm")).open(QIODevice::WriteOnly);
    EXPECT_EQ(locateData(bin).helpFile, bin + QStringLiteral("/Quillcase.chm"));
    QDir().mkdir(bin + QStringLiteral("/data"));
    EXPECT_FALSE(locateData(bin).installed);
    EXPECT_EQ(locateData(bin).dataFolder, bin + QStringLiteral("/data/"));
    qunsetenv("XDG_DATA_HOME");
}
