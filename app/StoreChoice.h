#pragma once
#include <QString>

// Which store the program opens at start: the encrypted file in the data folder, or the
// ward's database server named by a libpq connection string.
namespace storechoice {

struct Choice
{
    bool server = false;
    QString connection; // the libpq connection string when server
};

// The name of the settings file in the data folder, and the environment variable that
// overrides it.
inline constexpr const char *confFileName = "quillcase.conf";
inline constexpr const char *environmentVariable = "QUILLCASE_SERVER";

// The value of "connection" in the [server] section of an INI text, or an empty text. Read
// by hand rather than with QSettings: a connection string naming several hosts holds commas,
// which QSettings would split into a list. Section and key names in any letter case; lines
// beginning with ';' or '#' are comments; one pair of surrounding double quotes is removed.
QString connectionFromConf(const QString &confText);

// Pure: the environment's connection string wins when it holds more than blanks, then the
// settings file's; with neither, the file.
Choice decide(const QString &environment, const QString &configured);

// Reads quillcase.conf of the data folder (a missing file holds nothing) and the environment.
Choice forDataFolder(const QString &dataFolder);

} // namespace storechoice
