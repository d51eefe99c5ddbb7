#pragma once
#include <QHash>
#include <QString>
#include <random>

// Made-up but realistic patient records for the benchmark: every one of the 79 columns
// filled with ward Chinese, the memos several hundred characters long, beds 1 to 99 with
// the odd extra bed ("加3"). The same seed gives the same records.
class SyntheticRecords
{
public:
    explicit SyntheticRecords(unsigned seed = 20050307u) : m_random(seed) {}

    // All 79 values of one record, by column index.
    QHash<int, QString> next();

    // Fills `path` (an empty database made by PatientStore::create) with `count` records
    // in large transactions. Returns the number written.
    qint64 fill(const QString &path, qint64 count);
    // Adds `count` modification-trail rows spread over the records 1 to `records`, then
    // `focusCount` more for the record `focusId`, whose old and new texts are memo-long.
    void fillTrail(const QString &path, qint64 count, qint64 records, qint64 focusId, int focusCount);

private:
    int number(int from, int to);
    const char *pick(std::initializer_list<const char *> choices);
    // Sentences drawn from `pool` until the text holds at least `length` characters.
    QString paragraph(const std::vector<const char *> &pool, int length);

    std::mt19937 m_random;
};
