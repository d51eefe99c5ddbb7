#pragma once
#include <QString>

// Where the program's files are. Two forms:
// - portable: a data/ folder lies beside the program file (a copied folder, the tests);
//   the data folder is that data/ and the help file lies beside the program;
// - installed: no data/ beside the program (it runs from a prefix such as ~/.local or
//   /usr); the data folder is $XDG_DATA_HOME/Quillcase/data and the read-only files
//   (help file, starter phrase files) come from the prefix's share/quillcase/.
struct DataLocation
{
    QString applicationFolder; // folder of the program file, ends with one '/'
    QString dataFolder;        // ends with one '/'; empty when no home is known
    QString helpFile;
    QString starterFolder; // the starter phrase files a new data folder gets
    bool installed = false;
};

// The one rule, of plain values: the program's folder, whether data/ lies beside it,
// and the environment's XDG_DATA_HOME and HOME.
DataLocation resolveDataLocation(const QString &programFolder, bool dataBesideProgram,
                                 const QString &xdgDataHome, const QString &home);

// The portable form for a given application folder (what the tests use).
DataLocation portableLocation(const QString &programFolder);

// The rule applied to the running program: its folder, the file system and the environment.
// An installed-form program without a help file in its prefix (one started in its build
// folder) takes the help file beside it.
DataLocation locateData(const QString &programFolder);
