#pragma once
// A real, small file system for the tests of full disks: a tmpfs mounted on a fresh folder
// of its own for the life of the object, and unmounted again however the test ends.
// Mounting needs the super-user; where it is not allowed, mounted() is false and reason()
// says why, for the test to skip with.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

class SmallDisk
{
public:
    explicit SmallDisk(int kilobytes = 256)
    {
        m_mountPoint = m_dir.filePath(QStringLiteral("disk"));
        QDir().mkpath(m_mountPoint);
        const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k,mode=0700";
        if (::mount("tmpfs", QFile::encodeName(m_mountPoint).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                    options.constData()) == 0)
            m_mounted = true;
        else
            m_reason = QStringLiteral("cannot mount a tmpfs here (%1): full-disk test skipped")
                           .arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_mountPoint).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted() const { return m_mounted; }
    QString reason() const { return m_reason; }
    QString path() const { return m_mountPoint; }
    QString filePath(const QString &name) const { return m_mountPoint + QLatin1Char('/') + name; }

    // Writes a filler file until the disk refuses a byte more. Returns the bytes written.
    qint64 fill()
    {
        const int fd = ::open(QFile::encodeName(filePath(QStringLiteral(".filler"))).constData(),
                              O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
        if (fd < 0)
            return -1;
        const QByteArray block(4096, 'f');
        qint64 total = 0;
        for (qsizetype size = block.size(); size > 0;) {
            const ssize_t written = ::write(fd, block.constData(), size_t(size));
            if (written > 0)
                total += written;
            else
                size /= 2; // the last pages: ever smaller pieces until nothing fits
        }
        ::close(fd);
        return total;
    }
    // Makes room again.
    void empty() { QFile::remove(filePath(QStringLiteral(".filler"))); }

    // The files on the disk besides the filler, hidden ones included.
    QStringList entries() const
    {
        QStringList names =
            QDir(m_mountPoint).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
        names.removeAll(QStringLiteral(".filler"));
        return names;
    }

private:
    QTemporaryDir m_dir;
    QString m_mountPoint;
    QString m_reason;
    bool m_mounted = false;
};
