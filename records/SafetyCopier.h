#pragma once
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

class PatientStore;
struct sqlite3;
struct sqlite3_backup;

// Keeps an encrypted safety copy of the database in data/backups/ after a run in which
// something was posted. Once the store has changed, the copy is made with the engine's online
// backup a few pages at a time while the program is idle (posts made meanwhile reach the copy
// too, as they go through the same connection); finish() completes it at close within a time
// budget. A copy is written under a hidden name and gets its dated name only when it is whole;
// one that cannot finish is removed, never kept in part. After a copy is kept the older ones
// are thinned out (the newest 20, one a day for 30 days).
class SafetyCopier : public QObject
{
public:
    // The time a copy may still take at close; what is left of 2 s covers keeping or removing it.
    static constexpr int closingBudgetMs = 1500;

    SafetyCopier(PatientStore *store, const QString &backupsFolder, QObject *parent = nullptr);
    ~SafetyCopier() override;

    // Pages copied in one idle step.
    void setPagesPerStep(int pages) { m_pagesPerStep = pages; }
    // One step of the work: starts a copy once the store has changed, copies some pages.
    // Called by the idle timer; public so that tests can drive it.
    void step();
    bool isCopying() const { return m_backup != nullptr; }

    // At close: completes the copy within `budgetMs` milliseconds and keeps it, or removes
    // it. Does nothing when nothing was posted. Throws Error when a copy failed (the folder
    // is not writable, the disk is full); nothing half-written is left behind.
    void finish(int budgetMs);
    // Throws away any copy in progress (before the store closes for another reason).
    void discard();

private:
    void begin();
    // Copies `pages` pages (-1: all); true when the copy is complete.
    bool copyPages(int pages);
    void keep();
    void fail(const QString &reason);

    PatientStore *m_store;
    QString m_folder;
    QTimer m_timer;
    int m_pagesPerStep = 64;
    qint64 m_copiedChanges = 0; // the store's change count the last complete copy holds
    bool m_done = false;        // the copy is complete but not yet kept
    QString m_temporary;        // the hidden file the copy is written to
    sqlite3 *m_destination = nullptr;
    sqlite3_backup *m_backup = nullptr;
    QString m_error;
};
