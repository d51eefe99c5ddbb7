#pragma once
#include <QString>
#include <vector>

class PatientStore;

struct BenchFigure
{
    QString step;
    QString figure;
    QString target;
};

// Times the restore of the encrypted backup `backup` into `dataFolder`, the re-keying of the
// open store and its safety copy (in idle steps and at close), against the time the
// encrypted backup took. The store ends with the database password again.
std::vector<BenchFigure> benchRestoreRekeyAndSafetyCopy(PatientStore &store, const QString &dataFolder,
                                                        const QString &backup, double backupSeconds);
