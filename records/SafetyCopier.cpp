#define SQLITE_HAS_CODEC 1
#include "records/SafetyCopier.h"

#include "records/PatientStore.h"
#include "records/PatientStoreDb.h"
#include "records/SafetyCopies.h"
#include "text/Clock.h"
#include "text/Error.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <sqlcipher/sqlite3.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString chinese(const char *text)
{
    return QString::fromUtf8(text);
}

constexpr int idleInterval = 500;  // ms between looks at the store while nothing is copied
constexpr int closingChunk = 1024; // pages per step while finishing at close

} // namespace

SafetyCopier::SafetyCopier(PatientStore *store, const QString &backupsFolder, QObject *parent)
    : QObject(parent), m_store(store), m_folder(backupsFolder)
{
    if (!m_folder.endsWith(QLatin1Char('/')))
        m_folder += QLatin1Char('/');
    m_copiedChanges = m_store->changeCount();
    // A copy an earlier run could not finish (the program was killed) is never kept.
    for (const QString &left :
         QDir(m_folder).entryList({QStringLiteral(".safety-*")}, QDir::Files | QDir::Hidden))
        QFile::remove(m_folder + left);
    m_timer.setInterval(idleInterval);
    connect(&m_timer, &QTimer::timeout, this, &SafetyCopier::step);
    m_timer.start();
}

SafetyCopier::~SafetyCopier()
{
    discard();
}

void SafetyCopier::step()
{
    if (!m_error.isEmpty())
        return;
    if (m_backup) {
        copyPages(m_pagesPerStep);
        return;
    }
    const qint64 changes = m_store->changeCount();
    if (changes == m_copiedChanges)
        return;
    if (m_done) {
        // Posted after the copy was complete: it is out of date, a new one is made.
        discard();
    }
    begin();
}

void SafetyCopier::begin()
{
    m_copiedChanges = m_store->changeCount();
    QDir().mkpath(m_folder);
    ::chmod(QFile::encodeName(m_folder).constData(), 0700);
    QByteArray pattern = QFile::encodeName(m_folder + QStringLiteral(".safety-XXXXXX"));
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        fail(storedb::systemReason(errno));
        return;
    }
    ::close(fd);
    m_temporary = QFile::decodeName(pattern);
    const QByteArray key = m_store->key();
    if (sqlite3_open_v2(pattern.constData(), &m_destination, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
        sqlite3_key(m_destination, key.constData(), int(key.size())) != SQLITE_OK) {
        fail(storedb::engineReason(m_destination));
        return;
    }
    m_backup = sqlite3_backup_init(m_destination, "main", m_store->connectionForCopy(), "main");
    if (!m_backup) {
        fail(storedb::engineReason(m_destination));
        return;
    }
    m_timer.setInterval(0);
}

bool SafetyCopier::copyPages(int pages)
{
    const int rc = sqlite3_backup_step(m_backup, pages);
    if (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
        return false;
    if (rc != SQLITE_DONE) {
        // The step's own result says what went wrong; the connections may hold no error.
        if (rc == SQLITE_FULL)
            fail(storedb::systemReason(ENOSPC));
        else if (rc == SQLITE_READONLY || rc == SQLITE_CANTOPEN)
            fail(chinese("文件夹不可写（") + QString::fromUtf8(sqlite3_errstr(rc)) + chinese("）"));
        else if ((rc & 0xff) == SQLITE_IOERR)
            fail(chinese("读写出错（") + QString::fromUtf8(sqlite3_errstr(rc)) + chinese("）"));
        else
            fail(QString::fromUtf8(sqlite3_errstr(rc)));
        return false;
    }
    sqlite3_backup_finish(m_backup);
    m_backup = nullptr;
    if (sqlite3_close(m_destination) != SQLITE_OK) {
        fail(storedb::engineReason(m_destination));
        return false;
    }
    m_destination = nullptr;
    // Posts made while the pages were copied went into the copy as well.
    m_copiedChanges = m_store->changeCount();
    m_done = true;
    m_timer.setInterval(idleInterval);
    return true;
}

void SafetyCopier::finish(int budgetMs)
{
    m_timer.stop();
    if (!m_error.isEmpty()) {
        discard();
        throw Error(chinese("安全副本未能保存到“%1”：%2").arg(m_folder, m_error));
    }
    if (m_done && m_store->changeCount() != m_copiedChanges)
        discard();
    if (!m_done && !m_backup) {
        if (m_store->changeCount() == m_copiedChanges)
            return;
        begin();
    }
    QElapsedTimer clock;
    clock.start();
    while (m_backup && m_error.isEmpty()) {
        if (clock.elapsed() >= budgetMs) {
            // Not finished in time: the part made so far is thrown away.
            discard();
            return;
        }
        copyPages(closingChunk);
    }
    if (!m_error.isEmpty()) {
        discard();
        throw Error(chinese("安全副本未能保存到“%1”：%2").arg(m_folder, m_error));
    }
    if (m_done)
        keep();
}

void SafetyCopier::keep()
{
    try {
        const int fd = ::open(QFile::encodeName(m_temporary).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::fsync(fd) != 0) {
            const int error = errno;
            if (fd >= 0)
                ::close(fd);
            throw Error(storedb::systemReason(error));
        }
        ::close(fd);
        const QString name = m_folder + safetycopies::copyName(text::currentDateTime());
        if (::rename(QFile::encodeName(m_temporary).constData(), QFile::encodeName(name).constData()) != 0)
            throw Error(storedb::systemReason(errno));
        m_temporary.clear();
        m_done = false;
        storedb::syncFolder(m_folder);
    } catch (const Error &error) {
        discard();
        throw Error(chinese("安全副本未能保存到“%1”：%2").arg(m_folder, error.message()));
    }
    const QStringList names = QDir(m_folder).entryList(QDir::Files);
    for (const QString &old : safetycopies::toRemove(names, text::currentDateTime().date()))
        QFile::remove(m_folder + old);
}

void SafetyCopier::fail(const QString &reason)
{
    m_error = reason;
    discard();
}

void SafetyCopier::discard()
{
    if (m_backup) {
        sqlite3_backup_finish(m_backup);
        m_backup = nullptr;
    }
    if (m_destination) {
        sqlite3_close(m_destination);
        m_destination = nullptr;
    }
    if (!m_temporary.isEmpty()) {
        QFile::remove(m_temporary);
        QFile::remove(m_temporary + QStringLiteral("-journal"));
        m_temporary.clear();
    }
    m_done = false;
    m_timer.setInterval(idleInterval);
}
