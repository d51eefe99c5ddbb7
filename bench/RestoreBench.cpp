#include "bench/RestoreBench.h"

#include "records/BackupCheck.h"
#include "records/ColumnTable.h"
#include "records/PatientStore.h"
#include "records/Restore.h"
#include "records/SafetyCopier.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

QString seconds(double value)
{
    return value < 1.0 ? QString::number(value * 1000.0, 'f', 1) + QStringLiteral(" ms")
                       : QString::number(value, 'f', 2) + QStringLiteral(" s");
}

QString ratio(double value, double base)
{
    return QStringLiteral("<= 1.5 x backup: %1 x").arg(value / base, 0, 'f', 2);
}

} // namespace

std::vector<BenchFigure> benchRestoreRekeyAndSafetyCopy(PatientStore &store, const QString &dataFolder,
                                                        const QString &backup, double backupSeconds)
{
    std::vector<BenchFigure> figures;
    const qint64 firstRow = store.loadList().front().rowId;

    Clock::time_point start = Clock::now();
    const BackupSummary summary = backupcheck::check(backup, {store.key()});
    const double checked = secondsSince(start);
    {
        restore::PreparedRestore prepared(dataFolder, summary, store.key());
        prepared.commit(QDateTime::currentDateTime());
    }
    const double restored = secondsSince(start);
    figures.push_back({QStringLiteral("restore from the encrypted backup (%1 records)").arg(summary.records),
                       seconds(restored), ratio(restored, backupSeconds)});
    figures.push_back({QStringLiteral("  of which the check of the backup"), seconds(checked), {}});
    // The kept .bak is not needed for the figures that follow.
    for (const QString &name : QDir(dataFolder).entryList({QStringLiteral("*.bak")}))
        QFile::remove(QDir(dataFolder).filePath(name));

    start = Clock::now();
    store.rekey("bench passphrase");
    const double rekeyed = secondsSince(start);
    figures.push_back({QStringLiteral("re-key in place"), seconds(rekeyed), ratio(rekeyed, backupSeconds)});
    store.rekey(PatientStore::password);

    const int name = columns::indexOf(QStringLiteral("Name"));
    const QString backups = restore::backupsFolder(dataFolder);
    {
        SafetyCopier copier(&store, backups);
        store.updateRecord(firstRow, {{name, QStringLiteral("安全副本一")}});
        start = Clock::now();
        double longestStep = 0;
        int steps = 0;
        do {
            const Clock::time_point one = Clock::now();
            copier.step();
            longestStep = std::max(longestStep, secondsSince(one));
            ++steps;
        } while (copier.isCopying());
        const double idle = secondsSince(start);
        start = Clock::now();
        copier.finish(SafetyCopier::closingBudgetMs);
        figures.push_back({QStringLiteral("safety copy in idle steps (%1 steps)").arg(steps), seconds(idle),
                           QStringLiteral("longest step %1").arg(seconds(longestStep))});
        figures.push_back({QStringLiteral("  close wait after the idle copy"), seconds(secondsSince(start)),
                           QStringLiteral("<= 2 s")});
    }
    {
        // The worst case: closing right after a post, before any idle step.
        SafetyCopier copier(&store, backups);
        store.updateRecord(firstRow, {{name, QStringLiteral("安全副本二")}});
        start = Clock::now();
        copier.finish(SafetyCopier::closingBudgetMs);
        const double wait = secondsSince(start);
        const int kept = int(QDir(backups).entryList(QDir::Files).size());
        figures.push_back({QStringLiteral("close wait right after a post"), seconds(wait),
                           QStringLiteral("<= 2 s (copies in the folder: %1)").arg(kept)});
    }
    QDir(backups).removeRecursively();
    return figures;
}
