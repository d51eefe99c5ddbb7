#pragma once
// The private PostgreSQL cluster the test run started (see tools/pg-test-cluster.sh): one
// fresh ward database per test, doctor roles unique to this process.
#include "records/StoreColumnList.h"
#include "store/server/PgConnection.h"
#include "store/server/ServerSetup.h"
#include "store/server/ServerStore.h"

#include <QFile>
#include <QString>
#include <gtest/gtest.h>

#include <unistd.h>

namespace servertest {

// The connection string of the cluster's superuser, or empty when no cluster was started.
inline QString clusterConnection()
{
    const QString file = qEnvironmentVariable("QUILLCASE_TEST_SERVER_FILE");
    QFile in(file);
    if (file.isEmpty() || !in.open(QIODevice::ReadOnly))
        return qEnvironmentVariable("QUILLCASE_TEST_SERVER");
    return QString::fromUtf8(in.readAll()).trimmed();
}

#define QC_REQUIRE_SERVER()                                                                                  \
    do {                                                                                                     \
        if (servertest::clusterConnection().isEmpty())                                                       \
            GTEST_SKIP()                                                                                     \
                << "no test PostgreSQL cluster (ctest starts one; QUILLCASE_TEST_SERVER_FILE unset)";        \
    } while (false)

// A name unique to this process and call, usable as a database or role name.
inline QString uniqueName(const char *prefix)
{
    static int counter = 0;
    return QStringLiteral("%1_%2_%3").arg(QString::fromLatin1(prefix)).arg(::getpid()).arg(++counter);
}

// One empty database set up as a ward, dropped at the end.
class WardDatabase
{
public:
    WardDatabase() : m_name(uniqueName("qcward"))
    {
        pg::Connection admin = pg::connect(clusterConnection());
        pg::exec(admin.get(),
                 "CREATE DATABASE " + pg::identifier(m_name) + " TEMPLATE template0 ENCODING 'UTF8'");
        pg::Connection ward = superuser();
        serversetup::initialise(ward.get(), storeColumnList());
    }
    ~WardDatabase()
    {
        try {
            pg::Connection admin = pg::connect(clusterConnection());
            pg::exec(admin.get(), "DROP DATABASE IF EXISTS " + pg::identifier(m_name) + " WITH (FORCE)");
        } catch (const Error &) {
            // The cluster is removed at the end of the run anyway.
        }
    }
    WardDatabase(const WardDatabase &) = delete;
    WardDatabase &operator=(const WardDatabase &) = delete;

    QString name() const { return m_name; }
    // The connection string for a role (the superuser when empty).
    QString connectionString(const QString &role = QString()) const
    {
        QString result = clusterConnection() + QStringLiteral(" dbname=") + m_name;
        if (!role.isEmpty())
            result += QStringLiteral(" user=") + role;
        return result;
    }
    pg::Connection superuser() const { return pg::connect(connectionString()); }
    pg::Connection as(const QString &role) const { return pg::connect(connectionString(role)); }

    // Adds a doctor role unique to this process; returns its name.
    QString addDoctor(const QString &displayName, bool administrator = false) const
    {
        const QString role = uniqueName("qcdoc");
        pg::Connection ward = superuser();
        serversetup::addDoctor(ward.get(), role, displayName, administrator);
        return role;
    }
    std::unique_ptr<ServerStore> openAs(const QString &role) const
    {
        return ServerStore::open(connectionString(role), storeColumnList());
    }

private:
    QString m_name;
};

} // namespace servertest
