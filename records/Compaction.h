#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>

#include "records/PatientStore.h"

// Rebuilds the database file: its whole content is exported into data/tmp.dat with the
// same key, the old file is kept as data/YYYYMMDDhhmmss.bak (the 14 characters taken
// by position from the date-time text of `now`) and tmp.dat becomes data/Quillcase.dat.
// At every moment a complete database is under one of these names and Quillcase.dat is
// never missing: the old file gets its .bak name as a second name (a hard link, or a copy
// where the file system has none), then the checked tmp.dat replaces Quillcase.dat in one
// rename. `dataFolder` is the data folder (with or without a trailing '/'). The store must
// be closed first. A failure throws Error naming the step that failed and where the
// database file now is.
// `key` is the database's key (the database password unless it has its own passphrase).
void compactDatabase(const QString &dataFolder, const QDateTime &now,
                     const QByteArray &key = PatientStore::password);

// The 14 characters of the .bak name: positions 1–4, 6–7, 9–10, 12–13, 15–16 and 18–19
// (counted from 1) of the date-time text, whatever they hold.
QString compactionStamp(const QString &dateTimeText);

// The steps of compaction, each one durable on the disk when it is reported.
enum class CompactionStep {
    Exported, // tmp.dat written, checked and synced
    KeptOld,  // the old file also under its .bak name
    Replaced, // tmp.dat renamed over Quillcase.dat
};

// For tests: called after each step. A hook that throws stops compaction right there,
// leaving the files as a power cut at that moment would. Empty: no hook.
void setCompactionStepHook(std::function<void(CompactionStep)> hook);
