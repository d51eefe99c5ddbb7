// quillcase-bench [N]: builds a synthetic database of N records (100 000 by default) in a
// temporary folder and times what the program does with it: opening and loading the
// patient list, making a record current, posting a record, both backups and compaction,
// with the sqlcipher client's own export of the same file for comparison. The database
// carries a modification trail of a million rows (1000 of them for one record) throughout.
// quillcase-bench --server <connection> [N] [seconds]: the same against a PostgreSQL server
// (a scratch database is created there and dropped again), with twenty doctors posting at
// once for the given seconds (60 by default).
#include "bench/RestoreBench.h"
#include "bench/ServerBench.h"
#include "bench/SyntheticRecords.h"
#include "records/ColumnTable.h"
#include "records/Compaction.h"
#include "records/HistoryView.h"
#include "records/PatientStore.h"
#include "text/Error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

long peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024; // kilobytes on Linux
}

QString megabytes(qint64 bytes)
{
    return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 1) + QStringLiteral(" MB");
}

QString secondsText(double seconds)
{
    if (seconds < 0.001)
        return QString::number(seconds * 1e6, 'f', 0) + QStringLiteral(" µs");
    return seconds < 1.0 ? QString::number(seconds * 1000.0, 'f', 1) + QStringLiteral(" ms")
                         : QString::number(seconds, 'f', 2) + QStringLiteral(" s");
}

struct Row
{
    QString step;
    QString figure;
    QString target;
};

void printTable(const std::vector<Row> &rows)
{
    int stepWidth = 4, figureWidth = 6;
    for (const Row &row : rows) {
        stepWidth = std::max(stepWidth, int(row.step.size()));
        figureWidth = std::max(figureWidth, int(row.figure.size()));
    }
    const auto line = [&](const QString &a, const QString &b, const QString &c) {
        std::printf("| %s | %s | %s |\n", qPrintable(a.leftJustified(stepWidth)),
                    qPrintable(b.leftJustified(figureWidth)), qPrintable(c));
    };
    line(QStringLiteral("step"), QStringLiteral("figure"), QStringLiteral("target"));
    line(QString(stepWidth, u'-'), QString(figureWidth, u'-'), QStringLiteral("------"));
    for (const Row &row : rows)
        line(row.step, row.figure, row.target);
}

// The client's export of the same file into a scratch copy, as a yardstick for compaction.
std::optional<double> clientExport(const QString &database, const QString &scratch)
{
    if (QStandardPaths::findExecutable(QStringLiteral("sqlcipher")).isEmpty())
        return std::nullopt;
    const QString key = QString::fromLatin1(PatientStore::password);
    const QString script = QStringLiteral("PRAGMA key = '%1';\n"
                                          "ATTACH DATABASE '%2' AS compact KEY '%1';\n"
                                          "SELECT sqlcipher_export('compact');\n"
                                          "DETACH DATABASE compact;\n")
                               .arg(key, scratch);
    QProcess process;
    const Clock::time_point start = Clock::now();
    process.start(QStringLiteral("sqlcipher"), {QStringLiteral("-batch"), database});
    process.waitForStarted();
    process.write(script.toUtf8());
    process.closeWriteChannel();
    process.waitForFinished(-1);
    const double elapsed = secondsSince(start);
    if (process.exitCode() != 0 || !process.readAllStandardError().isEmpty())
        return std::nullopt;
    QFile::remove(scratch);
    return elapsed;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    if (argc > 1 && QByteArray(argv[1]) == "--server") {
        const qint64 records = argc > 3 ? QByteArray(argv[3]).toLongLong() : 100000;
        const int seconds = argc > 4 ? QByteArray(argv[4]).toInt() : 60;
        if (argc < 3 || records < 1 || seconds < 1) {
            std::fprintf(stderr,
                         "usage: quillcase-bench --server <connection> [number of records] [seconds]\n");
            return 2;
        }
        return runServerBench(QString::fromLocal8Bit(argv[2]), records, seconds);
    }
    qint64 count = 100000;
    if (argc > 1) {
        bool ok = false;
        count = QString::fromLocal8Bit(argv[1]).toLongLong(&ok);
        if (!ok || count < 1) {
            std::fprintf(stderr, "usage: quillcase-bench [number of records]\n");
            return 2;
        }
    }
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder\n");
        return 1;
    }
    const QString folder = dir.filePath(QStringLiteral("data/"));
    QDir().mkpath(folder);
    const QString database = folder + QStringLiteral("Quillcase.dat");
    std::vector<Row> rows;

    try {
        Clock::time_point start = Clock::now();
        PatientStore::create(database);
        SyntheticRecords().fill(database, count);
        rows.push_back({QStringLiteral("generate %1 records").arg(count), secondsText(secondsSince(start)),
                        QStringLiteral("database %1").arg(megabytes(QFileInfo(database).size()))});
        // The list once before the trail exists, to compare with the figures below (which
        // carry the trail): the trail must not slow the list down.
        {
            double bestBefore = 1e9;
            for (int run = 0; run < 3; ++run) {
                start = Clock::now();
                auto plain = PatientStore::open(database);
                const std::vector<ListRow> plainList = plain->loadList();
                bestBefore = std::min(bestBefore, secondsSince(start));
            }
            rows.push_back({QStringLiteral("open and load the list with an empty trail, best of 3"),
                            secondsText(bestBefore),
                            {}});
        }
        const qint64 trailRows = 1000000;
        const int focusChanges = 1000;
        const qint64 focusId = (count + 1) / 2;
        start = Clock::now();
        SyntheticRecords().fillTrail(database, trailRows - focusChanges, count, focusId, focusChanges);
        rows.push_back({QStringLiteral("generate %1 trail rows").arg(trailRows),
                        secondsText(secondsSince(start)),
                        QStringLiteral("database %1").arg(megabytes(QFileInfo(database).size()))});

        // Opening and loading the list five times: the first run and the best one, since on a
        // shared machine single figures wander.
        std::unique_ptr<PatientStore> store;
        std::vector<ListRow> list;
        double firstOpen = 0, bestOpen = 1e9, firstList = 0, bestList = 1e9;
        for (int run = 0; run < 5; ++run) {
            list = {};
            store.reset();
            start = Clock::now();
            store = PatientStore::open(database);
            const double openTime = secondsSince(start);
            list = store->loadList();
            const double openAndList = secondsSince(start);
            if (run == 0) {
                firstOpen = openTime;
                firstList = openAndList;
            }
            bestOpen = std::min(bestOpen, openTime);
            bestList = std::min(bestList, openAndList);
        }
        rows.push_back({QStringLiteral("open (key derivation included), first / best of 5"),
                        secondsText(firstOpen) + QStringLiteral(" / ") + secondsText(bestOpen),
                        {}});
        rows.push_back(
            {QStringLiteral("open and load the list (%1 rows), first / best of 5").arg(list.size()),
             secondsText(firstList) + QStringLiteral(" / ") + secondsText(bestList),
             QStringLiteral("< 0.5 s")});
        const long peakAfterList = peakMegabytes();

        std::mt19937 random(7);
        std::uniform_int_distribution<size_t> anyRow(0, list.size() - 1);
        std::vector<double> times;
        for (int i = 0; i < 1000; ++i) {
            const qint64 id = list[anyRow(random)].rowId;
            const Clock::time_point one = Clock::now();
            const QStringList values = store->loadRecord(id);
            times.push_back(secondsSince(one));
        }
        std::sort(times.begin(), times.end());
        rows.push_back({QStringLiteral("loadRecord median (1000 random rows)"), secondsText(times[500]),
                        QStringLiteral("< 1 ms")});
        rows.push_back({QStringLiteral("loadRecord p99"), secondsText(times[990]), {}});

        // Posts with the trail: the old texts read, the record and one trail row per column
        // written, in one transaction each.
        {
            times.clear();
            const int age = columns::indexOf(QStringLiteral("age"));
            const int complaint = columns::indexOf(QStringLiteral("complaint"));
            for (int i = 0; i < 50; ++i) {
                const qint64 id = list[anyRow(random)].rowId;
                const Clock::time_point one = Clock::now();
                store->updateRecord(id, {{age, QString::number(20 + i)},
                                         {complaint, QStringLiteral("咳嗽、咳痰%1天").arg(i + 2)}});
                times.push_back(secondsSince(one));
            }
            std::sort(times.begin(), times.end());
            rows.push_back({QStringLiteral("post with the trail, median / max of 50 (2 columns)"),
                            secondsText(times[25]) + QStringLiteral(" / ") + secondsText(times.back()),
                            QStringLiteral("< 5 ms")});
            start = Clock::now();
            const std::vector<TrailEntry> entries = store->history(focusId);
            const double query = secondsSince(start);
            const QString html = historyview::historyHtml(entries, QStringLiteral("床号 12"));
            const double composed = secondsSince(start);
            rows.push_back(
                {QStringLiteral("trail window: query / query and list text (%1 changes)").arg(entries.size()),
                 secondsText(query) + QStringLiteral(" / ") + secondsText(composed),
                 QStringLiteral("< 100 ms")});
            start = Clock::now();
            const QString latest = store->latestChangeTime();
            Q_UNUSED(latest);
            rows.push_back({QStringLiteral("newest trail time (the clock check at start)"),
                            secondsText(secondsSince(start)),
                            {}});
        }

        const qint64 changedId = list[anyRow(random)].rowId;
        const QStringList before = store->loadRecord(changedId);
        const int illness = columns::indexOf(QStringLiteral("PresentIllness"));
        const int name = columns::indexOf(QStringLiteral("Name"));
        start = Clock::now();
        store->updateRecord(changedId,
                            {{illness, before.at(illness) + QStringLiteral("\r\n补充：入院后复查体温正常。")},
                             {name, before.at(name) + QStringLiteral("甲")}});
        rows.push_back({QStringLiteral("post one changed record"), secondsText(secondsSince(start)), {}});

        const QString xml = dir.filePath(QStringLiteral("backup.xml"));
        start = Clock::now();
        store->backup(xml);
        rows.push_back({QStringLiteral("backup to XML (records, trail and archive files)"),
                        secondsText(secondsSince(start)),
                        QStringLiteral("file %1, trail %2")
                            .arg(megabytes(QFileInfo(xml).size()),
                                 megabytes(QFileInfo(PatientStore::historyBackupPath(xml)).size()))});
        QFile::remove(xml);
        QFile::remove(PatientStore::historyBackupPath(xml));
        QFile::remove(PatientStore::archiveBackupPath(xml));

        const QString copy = dir.filePath(QStringLiteral("backup.dat"));
        start = Clock::now();
        store->backup(copy);
        const double backupSeconds = secondsSince(start);
        rows.push_back({QStringLiteral("backup to encrypted copy"), secondsText(backupSeconds),
                        QStringLiteral("file %1").arg(megabytes(QFileInfo(copy).size()))});
        for (const BenchFigure &figure : benchRestoreRekeyAndSafetyCopy(*store, folder, copy, backupSeconds))
            rows.push_back({figure.step, figure.figure, figure.target});
        QFile::remove(copy);

        // The program closes the store before compaction.
        list = {};
        store.reset();
        const std::optional<double> client =
            clientExport(database, dir.filePath(QStringLiteral("client.dat")));

        start = Clock::now();
        compactDatabase(folder, QDateTime::currentDateTime());
        const double compaction = secondsSince(start);
        rows.push_back({QStringLiteral("compaction"), secondsText(compaction),
                        client ? QStringLiteral("<= 1.5 x client: %1 x").arg(compaction / *client, 0, 'f', 2)
                               : QStringLiteral("(no sqlcipher client to compare)")});
        if (client)
            rows.push_back({QStringLiteral("sqlcipher client's sqlcipher_export"), secondsText(*client), {}});
        rows.push_back({QStringLiteral("peak memory after loading the list"),
                        QStringLiteral("%1 MB").arg(peakAfterList), QStringLiteral("< 150 MB")});
        rows.push_back({QStringLiteral("peak memory, whole run (ru_maxrss)"),
                        QStringLiteral("%1 MB").arg(peakMegabytes()), QStringLiteral("< 150 MB")});
    } catch (const Error &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    printTable(rows);
    return 0;
}
