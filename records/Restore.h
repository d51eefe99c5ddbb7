#pragma once
#include "records/BackupCheck.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

class Dialogs;

namespace restore {

// The folder the restore chooser opens in and the safety copies are kept in: data/backups/.
QString backupsFolder(const QString &dataFolder);

// Checks a backup as the restore does. An encrypted copy is tried with the database's key
// and the database password first; when neither opens it the user is asked for the backup's
// passphrase, three times at most. nullopt when the user cancels that question. Throws
// Error with the reason when the file is unusable or three passphrases were wrong.
std::optional<BackupSummary> checkAsking(const QString &path, const QByteArray &databaseKey,
                                         Dialogs &dialogs);

// The restored database, built beside the database in the data folder under a temporary
// name and keyed with the database's key: an encrypted copy is exported whole (the trail and
// any extra columns with it), an XML backup is loaded row by row (with its trail file and its
// file of archive marks when there are, each row given to the record it names by its place). The building never touches the database; the temporary file is removed
// unless commit() puts it in place.
class PreparedRestore
{
public:
    PreparedRestore(const QString &dataFolder, const BackupSummary &backup, const QByteArray &key);
    ~PreparedRestore();
    PreparedRestore(const PreparedRestore &) = delete;
    PreparedRestore &operator=(const PreparedRestore &) = delete;

    QString temporaryPath() const { return m_temporary; }

    // With the database closed: keeps the current database as data/ + 14 digits + .bak (named
    // as compaction names it, from `now`) and puts the restored one in its place in one rename,
    // so that data/Quillcase.dat is at every moment the old or the new database. Throws Error
    // naming where the files are when a step fails.
    void commit(const QDateTime &now);

private:
    QString m_folder;
    QString m_temporary;
    bool m_committed = false;
};

} // namespace restore
