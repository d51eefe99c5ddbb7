#include "bench/ServerBench.h"

#include "bench/SyntheticRecords.h"
#include "records/BackupCheck.h"
#include "records/ColumnTable.h"
#include "records/PatientStore.h"
#include "records/PatientStoreDb.h"
#include "records/StoreColumnList.h"
#include "store/server/PgConnection.h"
#include "store/server/ServerSetup.h"
#include "store/server/ServerStore.h"
#include "ward/WardImport.h"
#include "ward/WardStore.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

QString secondsText(double seconds)
{
    if (seconds < 0.001)
        return QString::number(seconds * 1e6, 'f', 0) + QStringLiteral(" µs");
    return seconds < 1.0 ? QString::number(seconds * 1000.0, 'f', 1) + QStringLiteral(" ms")
                         : QString::number(seconds, 'f', 2) + QStringLiteral(" s");
}

void row(const QString &step, const QString &figure, const QString &target = {})
{
    std::printf("| %s | %s | %s |\n", qPrintable(step), qPrintable(figure), qPrintable(target));
}

// psql's own scan of the list columns, as the yardstick for the list.
std::optional<double> psqlScan(const QString &connection)
{
    if (QStandardPaths::findExecutable(QStringLiteral("psql")).isEmpty())
        return std::nullopt;
    QByteArrayList names;
    for (const QString &name : columns::listColumns())
        names << pg::identifier(name);
    const QString sql = QStringLiteral("SELECT \"RecordId\", %1 FROM \"PatientsData\"")
                            .arg(QString::fromUtf8(names.join(", ")));
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        QProcess process;
        const Clock::time_point start = Clock::now();
        process.start(QStringLiteral("psql"), {connection, QStringLiteral("-qAtc"), sql, QStringLiteral("-o"),
                                               QStringLiteral("/dev/null")});
        process.waitForFinished(-1);
        if (process.exitCode() != 0)
            return std::nullopt;
        best = std::min(best, secondsSince(start));
    }
    return best;
}

// Twenty connections posting to a few hundred shared records; every accepted post appends
// its own token, so a lost update would show as a missing token.
void concurrentPosts(const QString &connection, const std::vector<qint64> &ids, int seconds)
{
    constexpr int doctors = 20;
    const int column = columns::indexOf(QStringLiteral("tmp20"));
    std::atomic<long> accepted{0}, refused{0}, failed{0};
    std::vector<std::vector<std::pair<qint64, QString>>> tokens(doctors);
    std::vector<std::thread> threads;
    const Clock::time_point end = Clock::now() + std::chrono::seconds(seconds);
    for (int d = 0; d < doctors; ++d) {
        threads.emplace_back([&, d] {
            std::mt19937 random(unsigned(d + 1));
            std::uniform_int_distribution<size_t> any(0, ids.size() - 1);
            std::unique_ptr<ServerStore> store;
            try {
                store = ServerStore::open(connection, storeColumnList());
            } catch (const Error &) {
                ++failed;
                return;
            }
            for (long n = 0; Clock::now() < end; ++n) {
                const qint64 id = ids[any(random)];
                const QString token = QStringLiteral(";%1-%2").arg(d).arg(n);
                try {
                    const QStringList values = store->loadRecord(id);
                    store->updateRecord(id, {{column, values.at(column) + token}});
                    tokens[size_t(d)].emplace_back(id, token);
                    ++accepted;
                } catch (const Error &error) {
                    if (error.message().startsWith(QStringLiteral("该病历已被")))
                        ++refused;
                    else
                        ++failed;
                }
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();

    auto check = ServerStore::open(connection, storeColumnList());
    long lost = 0;
    QHash<qint64, QString> finals;
    for (const auto &list : tokens)
        for (const auto &[id, token] : list) {
            if (!finals.contains(id))
                finals.insert(id, check->loadRecord(id).at(column));
            if (finals.value(id).count(token + QLatin1Char(';')) +
                    (finals.value(id).endsWith(token) ? 1 : 0) !=
                1)
                ++lost;
        }
    row(QStringLiteral("%1 doctors posting for %2 s: accepted posts per second").arg(doctors).arg(seconds),
        QString::number(double(accepted) / seconds, 'f', 0),
        QStringLiteral("refused as stale %1, failed %2").arg(long(refused)).arg(long(failed)));
    row(QStringLiteral("lost updates"), QString::number(lost), QStringLiteral("0"));
}

} // namespace

int runServerBench(const QString &connection, qint64 count, int concurrentSeconds)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Quillcase.dat"));
    const QString database = QStringLiteral("quillcase_bench_%1").arg(::getpid());
    std::unique_ptr<pg::Connection> admin;
    try {
        admin = std::make_unique<pg::Connection>(pg::connect(connection));
        row(QStringLiteral("step"), QStringLiteral("figure"), QStringLiteral("target"));
        row(QStringLiteral("----"), QStringLiteral("------"), QStringLiteral("------"));
        Clock::time_point start = Clock::now();
        PatientStore::create(file);
        SyntheticRecords().fill(file, count);
        {
            // The server keeps one open record per bed: give every synthetic record its own.
            sqlite3 *db = storedb::openKeyed(file);
            storedb::exec(
                db, "UPDATE PatientsData SET Bed = CASE WHEN Bed GLOB '[0-9]*' THEN CAST(rowid AS TEXT) "
                    "ELSE Bed || '-' || rowid END");
            storedb::closeQuietly(db);
        }
        row(QStringLiteral("generate %1 records").arg(count), secondsText(secondsSince(start)));

        pg::exec(admin->get(),
                 "CREATE DATABASE " + pg::identifier(database) + " ENCODING 'UTF8' TEMPLATE template0");
        const QString ward = connection + QStringLiteral(" dbname=") + database;
        {
            pg::Connection setup = pg::connect(ward);
            serversetup::initialise(setup.get(), storeColumnList());
            start = Clock::now();
            wardimport::importFile(setup.get(), file);
            row(QStringLiteral("quillcase-ward import"), secondsText(secondsSince(start)));
            pg::exec(setup.get(), "VACUUM (ANALYZE) \"PatientsData\"");
        }

        std::unique_ptr<ServerStore> store;
        std::vector<ListRow> list;
        double firstList = 0, bestList = 1e9;
        for (int run = 0; run < 5; ++run) {
            list = {};
            store.reset();
            start = Clock::now();
            store = ServerStore::open(ward, storeColumnList());
            list = store->loadList();
            const double elapsed = secondsSince(start);
            if (run == 0)
                firstList = elapsed;
            bestList = std::min(bestList, elapsed);
        }
        const std::optional<double> psql = psqlScan(ward);
        row(QStringLiteral("connect and load the list (%1 rows), first / best of 5").arg(list.size()),
            secondsText(firstList) + QStringLiteral(" / ") + secondsText(bestList),
            psql ? QStringLiteral("< 1 s, <= 1.5 x psql: %1 x").arg(bestList / *psql, 0, 'f', 2)
                 : QStringLiteral("< 1 s"));
        if (psql)
            row(QStringLiteral("psql's scan of the list columns, best of 5"), secondsText(*psql));

        std::mt19937 random(7);
        std::uniform_int_distribution<size_t> anyRow(0, list.size() - 1);
        std::vector<double> loads, posts;
        const int name = columns::indexOf(QStringLiteral("Name"));
        for (int i = 0; i < 1000; ++i) {
            const qint64 id = list[anyRow(random)].rowId;
            Clock::time_point one = Clock::now();
            const QStringList values = store->loadRecord(id);
            loads.push_back(secondsSince(one));
            if (i % 5 == 0) {
                one = Clock::now();
                store->updateRecord(id, {{name, values.at(name) + QStringLiteral("甲")}});
                posts.push_back(secondsSince(one));
            }
        }
        std::sort(loads.begin(), loads.end());
        std::sort(posts.begin(), posts.end());
        row(QStringLiteral("make a record current (loadRecord), median of 1000"), secondsText(loads[500]),
            QStringLiteral("< 5 ms"));
        row(QStringLiteral("post one changed record, median of 200"), secondsText(posts[100]),
            QStringLiteral("< 10 ms"));
        store.reset();

        std::vector<qint64> shared;
        for (size_t i = 0; i < list.size() && shared.size() < 300;
             i += std::max<size_t>(1, list.size() / 300))
            shared.push_back(list[i].rowId);
        {
            auto wardStore = WardStore::open(ward, storeColumnList());
            const QString copy = dir.filePath(QStringLiteral("ward.dat"));
            start = Clock::now();
            wardStore->backup(copy);
            row(QStringLiteral("Ctrl+B on the server: encrypted copy of %1 records").arg(list.size()),
                secondsText(secondsSince(start)));
            start = Clock::now();
            wardStore->backup(dir.filePath(QStringLiteral("ward.xml")));
            row(QStringLiteral("Ctrl+B on the server: the three XML files"), secondsText(secondsSince(start)));
            concurrentPosts(ward, shared, concurrentSeconds);
            start = Clock::now();
            wardStore->restore(backupcheck::check(copy, {storedb::defaultKey()}), dir.path(),
                               QDateTime::currentDateTime());
            row(QStringLiteral("restore the encrypted copy into the server after the posts (safety copy "
                               "included)"),
                secondsText(secondsSince(start)));
            start = Clock::now();
            wardStore->vacuum();
            row(QStringLiteral("VACUUM (ANALYZE) of the ward"), secondsText(secondsSince(start)));
        }
        pg::exec(admin->get(), "DROP DATABASE " + pg::identifier(database) + " WITH (FORCE)");
    } catch (const Error &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        if (admin) {
            try {
                pg::exec(admin->get(),
                         "DROP DATABASE IF EXISTS " + pg::identifier(database) + " WITH (FORCE)");
            } catch (const Error &) {
            }
        }
        return 1;
    }
    return 0;
}
