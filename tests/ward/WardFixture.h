#pragma once
// The program's windows over a fresh ward database of the private test cluster: the data
// folder's quillcase.conf names the server, signed in as one doctor.
#include "AppFixture.h"
#include "TestServer.h"

#include <QFile>

class WardFixture : public AppFixture
{
protected:
    std::unique_ptr<servertest::WardDatabase> ward;
    QString doctor;

    void SetUp() override
    {
        QC_REQUIRE_SERVER();
        AppFixture::SetUp();
        ward = std::make_unique<servertest::WardDatabase>();
        doctor = ward->addDoctor(QStringLiteral("王医生"));
        writeConf(ward->connectionString(doctor));
    }
    void TearDown() override
    {
        AppFixture::TearDown();
        ward.reset();
    }

    void writeConf(const QString &connection) const
    {
        QFile conf(dataFolder() + QStringLiteral("quillcase.conf"));
        ASSERT_TRUE(conf.open(QIODevice::WriteOnly | QIODevice::Truncate));
        conf.write("[server]\nconnection=" + connection.toUtf8() + "\n");
    }

    // Stores records on the server before the windows open, as another doctor.
    void addServerRecords(const std::vector<QHash<QString, QString>> &records) const
    {
        auto store = ward->openAs(doctor);
        for (const auto &record : records) {
            QHash<int, QString> values;
            for (auto it = record.begin(); it != record.end(); ++it)
                values.insert(columns::indexOf(it.key()), it.value());
            store->insertRecord(values);
        }
    }
};
