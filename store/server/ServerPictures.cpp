#include "store/server/ServerPictures.h"

#include "store/server/PgConnection.h"
#include "store/server/ServerSchema.h"
#include "text/Error.h"
#include "text/Reasons.h"

#include <QIODevice>

#include <libpq-fe.h>

#include <algorithm>

namespace {

QString tr(const char *text)
{
    return QString::fromUtf8(text);
}

// Fills the block from the source until it is full or the source has no more bytes.
qint64 readBlock(QIODevice &source, QByteArray &block, qint64 size, const QString &sourceName)
{
    block.resize(size);
    qint64 filled = 0;
    while (filled < size) {
        const qint64 read = source.read(block.data() + filled, size - filled);
        if (read < 0)
            throw Error(
                tr("读取文件“%1”时出错：%2").arg(sourceName, text::chineseReason(source.errorString())));
        if (read == 0)
            break;
        filled += read;
    }
    block.resize(filled);
    return filled;
}

} // namespace

namespace serverpictures {

QByteArray schemaSql()
{
    const QByteArray doctor(serverschema::doctorRole);
    const QByteArray admin(serverschema::adminRole);
    QByteArray sql;
    sql += "CREATE TABLE IF NOT EXISTS \"PictureFolders\" (\n"
           "  \"FolderId\" bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,\n"
           "  \"FolderName\" text NOT NULL UNIQUE,\n"
           "  \"CreatedBy\" text NOT NULL DEFAULT session_user,\n"
           "  \"CreatedAt\" timestamptz NOT NULL DEFAULT now());\n";
    sql += "CREATE TABLE IF NOT EXISTS \"Pictures\" (\n"
           "  \"PictureId\" bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,\n"
           "  \"FolderId\" bigint NOT NULL REFERENCES \"PictureFolders\" ON DELETE CASCADE,\n"
           "  \"FileName\" text NOT NULL,\n"
           "  \"AddedBy\" text NOT NULL DEFAULT session_user,\n"
           "  \"AddedAt\" timestamptz NOT NULL DEFAULT now(),\n"
           "  UNIQUE (\"FolderId\", \"FileName\"));\n";
    sql += "CREATE TABLE IF NOT EXISTS \"PictureBlocks\" (\n"
           "  \"PictureId\" bigint NOT NULL REFERENCES \"Pictures\" ON DELETE CASCADE,\n"
           "  \"Place\" integer NOT NULL CHECK (\"Place\" >= 0),\n"
           "  \"Bytes\" bytea NOT NULL,\n"
           "  PRIMARY KEY (\"PictureId\", \"Place\"));\n";
    // Pictures are compressed already: kept out of line uncompressed, so that neither storing
    // nor measuring a block spends time on compression.
    sql += "ALTER TABLE \"PictureBlocks\" ALTER COLUMN \"Bytes\" SET STORAGE EXTERNAL;\n";
    sql += "REVOKE ALL ON \"PictureFolders\", \"Pictures\", \"PictureBlocks\" FROM PUBLIC;\n"
           "GRANT SELECT, INSERT ON \"PictureFolders\", \"Pictures\", \"PictureBlocks\" TO " +
           doctor +
           ";\n"
           "GRANT DELETE ON \"PictureFolders\", \"Pictures\", \"PictureBlocks\" TO " +
           admin + ";\n";
    return sql;
}

void makeFolderIn(PGconn *connection, const QString &folder)
{
    pg::exec(connection,
             "INSERT INTO \"PictureFolders\" (\"FolderName\") VALUES ($1) ON CONFLICT (\"FolderName\") DO "
             "NOTHING",
             {pg::textValue(folder)});
}

bool storeFileIn(PGconn *connection, const QString &folder, const QString &fileName, QIODevice &source,
                 const QString &sourceName, qint64 blocks)
{
    // A picture of that name added meanwhile on another desktop makes this one wait for it,
    // then find the name taken.
    const pg::Result picture =
        pg::exec(connection,
                 "INSERT INTO \"Pictures\" (\"FolderId\", \"FileName\") "
                 "SELECT \"FolderId\", $2 FROM \"PictureFolders\" WHERE \"FolderName\" = $1 "
                 "ON CONFLICT (\"FolderId\", \"FileName\") DO NOTHING RETURNING \"PictureId\"",
                 {pg::textValue(folder), pg::textValue(fileName)});
    if (pg::rows(picture.get()) == 0)
        return false;
    const QByteArray id = QByteArray::number(pg::int64(picture.get(), 0, 0));
    QByteArray block;
    for (qint64 place = 0; readBlock(source, block, blocks, sourceName) > 0; ++place)
        pg::execBinary(
            connection,
            "INSERT INTO \"PictureBlocks\" (\"PictureId\", \"Place\", \"Bytes\") VALUES ($1, $2, $3)",
            {id, QByteArray::number(place), block}, {false, false, true}, false);
    return true;
}

} // namespace serverpictures

ServerPictureReader::ServerPictureReader(std::function<PGconn *()> connection, qint64 pictureId,
                                         std::vector<qint64> ends, QString description)
    : m_connection(std::move(connection)), m_pictureId(pictureId), m_ends(std::move(ends)),
      m_description(std::move(description))
{
    // Unbuffered: pos() is the place the next readData() reads from.
    QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 ServerPictureReader::readData(char *data, qint64 maxSize)
{
    // Fills as much of the request as the picture holds, block after block.
    qint64 position = pos();
    qint64 done = 0;
    while (done < maxSize && position < size()) {
        const auto place = size_t(std::upper_bound(m_ends.begin(), m_ends.end(), position) - m_ends.begin());
        if (m_place != qint64(place) && !fetch(place))
            return done > 0 ? done : -1;
        const qint64 start = place == 0 ? 0 : m_ends[place - 1];
        const qint64 count = std::min(maxSize - done, m_ends[place] - position);
        std::copy_n(m_block.constData() + (position - start), count, data + done);
        done += count;
        position += count;
    }
    return done;
}

bool ServerPictureReader::fetch(size_t place)
{
    m_place = -1;
    try {
        const pg::Result block = pg::execBinary(
            m_connection(),
            "SELECT \"Bytes\" FROM \"PictureBlocks\" WHERE \"PictureId\" = $1 AND \"Place\" = $2",
            {QByteArray::number(m_pictureId), QByteArray::number(qulonglong(place))}, {}, true);
        const qint64 expected = m_ends[place] - (place == 0 ? 0 : m_ends[place - 1]);
        if (pg::rows(block.get()) != 1 || PQgetlength(block.get(), 0, 0) != expected)
            throw Error(tr("图片已不完整或已被删除"));
        m_block = QByteArray(PQgetvalue(block.get(), 0, 0), qsizetype(expected));
    } catch (const Error &error) {
        m_failure = tr("从病区服务器“%1”读取图片时出错：%2").arg(m_description, error.message());
        setErrorString(m_failure);
        return false;
    }
    m_place = qint64(place);
    return true;
}

ServerPictures::ServerPictures(std::function<PGconn *()> connection, QString description, qint64 blocks)
    : m_connection(std::move(connection)), m_description(std::move(description)), m_blockSize(blocks)
{}

template <typename Work> auto ServerPictures::guarded(const QString &what, Work work)
{
    try {
        return work();
    } catch (const pg::ServerError &error) {
        QString reason = error.message();
        if (error.sqlState() == "42501")
            reason = tr("病区服务器拒绝了本角色的这项操作（没有权限）");
        else if (error.sqlState() == "42P01")
            reason = tr("病区数据库里还没有存放图片的表，请病区管理员再运行一次 quillcase-ward init");
        throw Error(tr("%1出错：%2").arg(what, reason));
    } catch (const Error &error) {
        throw Error(tr("%1出错：%2").arg(what, error.message()));
    }
}

bool ServerPictures::folderExists(const QString &folder)
{
    return guarded(tr("在病区服务器“%1”上查找图片文件夹“%2”时").arg(m_description, folder), [&] {
        const pg::Result found =
            pg::exec(m_connection(), "SELECT 1 FROM \"PictureFolders\" WHERE \"FolderName\" = $1",
                     {pg::textValue(folder)});
        return pg::rows(found.get()) == 1;
    });
}

void ServerPictures::makeFolder(const QString &folder)
{
    guarded(tr("在病区服务器“%1”上建立图片文件夹“%2”时").arg(m_description, folder),
            [&] { serverpictures::makeFolderIn(m_connection(), folder); });
}

QStringList ServerPictures::fileNames(const QString &folder)
{
    return guarded(tr("从病区服务器“%1”读取图片文件夹“%2”时").arg(m_description, folder), [&] {
        const pg::Result names =
            pg::exec(m_connection(),
                     "SELECT p.\"FileName\" FROM \"Pictures\" p JOIN \"PictureFolders\" f "
                     "USING (\"FolderId\") WHERE f.\"FolderName\" = $1 "
                     "ORDER BY p.\"FileName\" COLLATE \"C\"",
                     {pg::textValue(folder)});
        QStringList result;
        for (int r = 0; r < pg::rows(names.get()); ++r)
            result << pg::text(names.get(), r, 0);
        return result;
    });
}

bool ServerPictures::addFile(const QString &folder, const QString &fileName, QIODevice &source,
                             const QString &sourceName)
{
    return guarded(tr("把图片“%1”存入病区服务器“%2”时").arg(fileName, m_description), [&] {
        PGconn *connection = m_connection();
        pg::exec(connection, "BEGIN");
        try {
            serverpictures::makeFolderIn(connection, folder);
            const bool stored =
                serverpictures::storeFileIn(connection, folder, fileName, source, sourceName, m_blockSize);
            pg::exec(connection, stored ? "COMMIT" : "ROLLBACK");
            return stored;
        } catch (...) {
            try {
                pg::exec(connection, "ROLLBACK");
            } catch (const Error &) {
                // The connection is gone: the server has rolled the transaction back itself.
            }
            throw;
        }
    });
}

std::unique_ptr<ServerPictureReader> ServerPictures::open(const QString &folder, const QString &fileName)
{
    return guarded(tr("从病区服务器“%1”读取图片“%2”时").arg(m_description, fileName), [&] {
        const pg::Result layout =
            pg::exec(m_connection(),
                     "SELECT p.\"PictureId\", b.\"Place\", length(b.\"Bytes\") FROM \"Pictures\" p "
                     "JOIN \"PictureFolders\" f USING (\"FolderId\") "
                     "LEFT JOIN \"PictureBlocks\" b ON b.\"PictureId\" = p.\"PictureId\" "
                     "WHERE f.\"FolderName\" = $1 AND p.\"FileName\" = $2 ORDER BY b.\"Place\"",
                     {pg::textValue(folder), pg::textValue(fileName)});
        const int rows = pg::rows(layout.get());
        if (rows == 0)
            throw Error(tr("图片文件夹“%1”中没有这个图片").arg(folder));
        std::vector<qint64> ends;
        qint64 end = 0;
        for (int r = 0; r < rows && !pg::isNull(layout.get(), r, 1); ++r) {
            if (pg::int64(layout.get(), r, 1) != r)
                throw Error(tr("图片不完整"));
            end += pg::int64(layout.get(), r, 2);
            ends.push_back(end);
        }
        return std::make_unique<ServerPictureReader>(m_connection, pg::int64(layout.get(), 0, 0),
                                                     std::move(ends), m_description);
    });
}
