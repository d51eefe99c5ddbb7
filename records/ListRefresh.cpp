#include "records/ListRefresh.h"
#include "records/RecordSession.h"
#include "text/Error.h"

#include <QSocketNotifier>
#include <QTimer>

ListRefresh::ListRefresh(RecordSession *session, QObject *parent) : QObject(parent), m_session(session)
{
    if (!session->store() || session->store()->changeSocket() < 0)
        return;
    watchSocket();
    m_timer = new QTimer(this);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &ListRefresh::check);
    m_timer->start();
}

void ListRefresh::watchSocket()
{
    const int socket = m_session->store() ? m_session->store()->changeSocket() : -1;
    if (m_notifier && m_notifier->socket() == socket)
        return;
    delete m_notifier;
    m_notifier = nullptr;
    // A lost connection has no socket until the store connects again.
    if (socket < 0)
        return;
    m_notifier = new QSocketNotifier(socket, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ListRefresh::check);
}

void ListRefresh::check()
{
    PatientStoreInterface *store = m_session->store();
    if (!store)
        return;
    try {
        if (!store->takeChangedRecords().empty())
            m_session->refreshList();
    } catch (const Error &) {
        // The server away: the list is read again once it announces the next change.
    }
    watchSocket();
}
