#pragma once
#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>
typedef struct pg_conn PGconn;

// The pictures of the ward's patients on the server, shared by every desktop. A "folder" is a
// row named like a patient's folder on a desktop; each picture is kept under its own file name
// as numbered blocks of bytes (rows of bytea), so that no file of any size passes whole
// through memory on its way in or out, and ordinary privileges decide who may add and who may
// delete. Rows are never changed: a picture is added whole in one transaction or not at all.
namespace serverpictures {

// The bytes of one stored block; the last block of a picture may be shorter.
inline constexpr qint64 blockSize = 256 * 1024;

// Creates the picture tables and their privileges unless they exist; safe to run again.
// Doctors may read and add folders and pictures; only administrators may delete them;
// nobody but the owner may change a row.
QByteArray schemaSql();

// Steps for a transaction the caller runs (the ward tool's import): they throw pg::ServerError.
// Makes the folder unless it exists.
void makeFolderIn(PGconn *connection, const QString &folder);
// Stores the bytes read from source as fileName in the folder, which must exist, in blocks
// of the given size. Returns false, storing nothing, when the folder holds that name already.
// Throws Error (naming sourceName) when a read fails.
bool storeFileIn(PGconn *connection, const QString &folder, const QString &fileName, QIODevice &source,
                 const QString &sourceName, qint64 blocks = blockSize);

} // namespace serverpictures

// One stored picture, read block by block: the device asks the server for the block holding
// the place read and keeps that one block only. A failed read returns -1 and keeps the reason.
class ServerPictureReader : public QIODevice
{
public:
    // ends: where each block ends, counted from the start of the picture.
    ServerPictureReader(std::function<PGconn *()> connection, qint64 pictureId, std::vector<qint64> ends,
                        QString description);
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_ends.empty() ? 0 : m_ends.back(); }
    // Why the last read failed ("从病区服务器……读取图片时出错：……"); empty when none did.
    const QString &failure() const { return m_failure; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    bool fetch(size_t place);

    std::function<PGconn *()> m_connection;
    qint64 m_pictureId;
    std::vector<qint64> m_ends;
    QString m_description;
    QByteArray m_block;
    qint64 m_place = -1; // the block held in m_block
    QString m_failure;
};

// The picture commands over one connection to the ward's server. Every failure throws Error
// with a Chinese message naming the server: the server lost, no rights, a ward set up before
// pictures were kept on it.
class ServerPictures
{
public:
    // connection gives the open connection, made again after a lost one; description names
    // the server in messages.
    ServerPictures(std::function<PGconn *()> connection, QString description,
                   qint64 blocks = serverpictures::blockSize);

    bool folderExists(const QString &folder);
    // Makes the folder unless it exists.
    void makeFolder(const QString &folder);
    // Every file name in the folder, in code-point order; empty when there is no such folder.
    QStringList fileNames(const QString &folder);
    // Adds the source's bytes as fileName in the folder (made when missing) in one transaction.
    // Returns false and stores nothing when the folder holds that name already.
    bool addFile(const QString &folder, const QString &fileName, QIODevice &source,
                 const QString &sourceName);
    // Opens a stored picture for reading; its blocks are fetched from the server as they are
    // read, one at a time. The device needs this object and its connection while it is read.
    std::unique_ptr<ServerPictureReader> open(const QString &folder, const QString &fileName);

private:
    template <typename Work> auto guarded(const QString &what, Work work);

    std::function<PGconn *()> m_connection;
    QString m_description;
    qint64 m_blockSize;
};
