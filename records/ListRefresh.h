#pragma once
#include <QObject>

class QSocketNotifier;
class QTimer;
class RecordSession;

// Keeps the patient list up to date with the records other desktops store: watches the
// store's announcement socket, and looks once a second for announcements that arrived while
// another statement ran; any announcement reloads the session's list. A store nobody else
// writes has no socket, and nothing is watched.
class ListRefresh : public QObject
{
    Q_OBJECT
public:
    explicit ListRefresh(RecordSession *session, QObject *parent = nullptr);

    // Takes the announcements that arrived and reloads the list when there were any.
    void check();

private:
    void watchSocket();

    RecordSession *m_session;
    QSocketNotifier *m_notifier = nullptr;
    QTimer *m_timer = nullptr;
};
