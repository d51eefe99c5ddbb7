#pragma once
#include "records/BackupCheck.h"
#include "store/server/ServerStore.h"

#include <QDateTime>
#include <QString>
#include <memory>

// The ward's server with the desktop's own files: a backup of the ward is written in the two
// formats of the encrypted file (an encrypted copy, or the three XML files), and a backup of
// either format is restored into the server by an administrator.
class WardStore : public ServerStore
{
public:
    // As ServerStore::open.
    static std::unique_ptr<WardStore> open(const QString &connectionString, const StoreColumns &columns,
                                           const pg::SignIn &signIn = {});

    // The ward's records, archive marks and trail, read in one snapshot of the server, are
    // copied into a fresh patient database (records with their row ids, every mark and trail
    // row with its own operator and time) and the encrypted file's own writers make the
    // backup from it: keyed with the database password, which the file program opens and
    // restores. Written whole or not at all, owner-only.
    void backupXml(const QString &path) override;
    void backupEncrypted(const QString &path) override;
    void backup(const QString &path) override;

    // Makes the ward's records those of a checked backup, for an administrator: first an
    // encrypted copy of the ward goes into data/backups/ (its path is returned), then in one
    // transaction the backup's records are stored with their archive marks and every other
    // record is removed. An encrypted backup's records keep their row ids; an XML backup holds
    // none, so its records come in as new ones. The trail is never changed: the restore's
    // changes are written into it by the server under the administrator's role, and only a
    // ward holding neither records nor trail takes the backup's trail rows in as they are.
    // On any failure nothing on the server has changed.
    QString restore(const BackupSummary &backup, const QString &dataFolder, const QDateTime &now);

    // The name of the copy of the ward kept before a restore at `now`.
    static QString safetyCopyName(const QDateTime &now);

private:
    WardStore(const QString &connectionString, const StoreColumns &columns, const pg::SignIn &signIn);
    enum class Format { ByName, Xml, Encrypted };
    void writeBackup(const QString &path, Format format);
    // Copies the snapshot into a new patient database at `databasePath`.
    void copySnapshot(const QString &databasePath);
};
