#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>
#include <sys/types.h>

// Files written whole or not at all. The bytes go to a temporary file in the target's
// folder (created owner-only before the first byte), every write is checked, the file is
// synced to the disk, renamed over the target in one step and the folder is synced after
// it. On any failure the temporary file is removed and an existing target stays byte for
// byte as it was.
namespace text {

// The permissions a file written whole ends with.
enum class FileMode {
    Keep,      // an existing file keeps its mode; a new one gets 0666 less the umask
    OwnerOnly, // 0600: patient data, for its owner alone
};

// Writes every byte to an open descriptor, going on after short writes and interrupted
// calls. Returns 0, or the system error number of the write that failed.
int writeAll(int fd, QByteArrayView bytes);

// Renames without ever replacing an existing file. Returns 0 or the system error number.
int renameNoReplace(const QString &from, const QString &to);

// Makes the renames and creations inside a folder durable. Returns 0 or the error number
// (a file system that cannot sync folders counts as success).
int syncFolder(const QString &folder);

// One file being written whole. Errors are thrown as Error whose message is the reason
// alone, in Chinese; callers put the file and the step in front of it.
class WholeFile
{
public:
    enum class Replace {
        Existing, // commit() replaces a file of the target's name
        Never,    // commit() fails when the target exists meanwhile, and leaves it alone
    };

    // Checks the target (a folder, a read-only file or a missing folder are refused) and
    // creates the temporary file. A target that is a symbolic link to a file writes that file.
    WholeFile(const QString &target, FileMode mode, Replace replace = Replace::Existing);
    ~WholeFile();
    WholeFile(const WholeFile &) = delete;
    WholeFile &operator=(const WholeFile &) = delete;

    QString target() const { return m_target; }
    QString temporaryPath() const { return m_temporary; }
    int descriptor() const { return m_fd; }

    // Appends bytes to the temporary file.
    void write(QByteArrayView bytes);
    // Closes the descriptor so that another writer (the database engine) can use the path.
    void closeDescriptor();
    // Syncs the temporary file, gives it its mode, renames it to the target and syncs the folder.
    void commit();

private:
    QString m_target;
    QString m_temporary;
    QString m_marker;
    int m_fd = -1;
    mode_t m_mode = 0600;
    Replace m_replace;
    bool m_committed = false;
};

// Writes bytes to a file whole or not at all. With ownerOnly the file is readable by its
// owner alone (patient data), otherwise it keeps its mode. Throws Error naming the path
// and the reason in Chinese; an existing file is left intact on failure.
void writeFileWhole(const QString &path, const QByteArray &bytes, bool ownerOnly);
// The same for output made piece by piece: `produce` writes into the file it is given.
void writeFileWhole(const QString &path, bool ownerOnly, const std::function<void(WholeFile &)> &produce);

// While a folder is set, every temporary file is noted there (in a small hidden note file
// named after this host and process) until it is renamed or removed, so that a run that
// was killed or lost its power leaves nothing behind for good: the next start calls
// removeLeftoverTemporaries() on the same folder. Empty: no notes.
void setPendingFolder(const QString &folder);
// Removes the temporary files noted in `folder` by processes of this host that no longer
// run, and their notes. Files the notes do not name are not touched. Returns how many
// temporary files were removed.
int removeLeftoverTemporaries(const QString &folder);

} // namespace text
