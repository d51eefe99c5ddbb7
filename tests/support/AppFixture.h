#pragma once
// A fresh application folder for each widget test: a data folder with the starter
// phrase files, the picture root and an empty encrypted database, the real windows
// built over it, and scripted dialogs that answer every box.
#include "app/ApplicationWindows.h"
#include "app/TForm1.h"
#include "records/ColumnTable.h"
#include "records/PatientStore.h"
#include "records/RecordSession.h"
#include "records/ScriptedDialogs.h"
#include "text/Clock.h"
#include "text/SharedValues.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

class AppFixture : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<ApplicationWindows> windows;

    QString folder() const { return dir.path() + QStringLiteral("/"); }
    QString dataFolder() const { return folder() + QStringLiteral("data/"); }
    QString databasePath() const { return dataFolder() + QStringLiteral("Quillcase.dat"); }

    void SetUp() override
    {
        text::shared() = text::SharedValues{};
        QDir().mkpath(dataFolder() + QStringLiteral("images"));
        const QDir starter(QStringLiteral(QC_SOURCE_DIR "/data"));
        for (const QString &name : starter.entryList({QStringLiteral("*.txt")}, QDir::Files))
            QFile::copy(starter.filePath(name), dataFolder() + name);
        PatientStore::create(databasePath());
    }

    void TearDown() override
    {
        windows.reset();
        text::setClock({});
    }

    // Stores records before the windows open: each a map of column name to text.
    void addRecords(const std::vector<QHash<QString, QString>> &records)
    {
        auto store = PatientStore::open(databasePath());
        for (const auto &record : records) {
            QHash<int, QString> values;
            for (auto it = record.begin(); it != record.end(); ++it)
                values.insert(columns::indexOf(it.key()), it.value());
            store->insertRecord(values);
        }
    }

    void start()
    {
        windows = std::make_unique<ApplicationWindows>(folder());
        form1()->show();
        QApplication::processEvents();
    }

    TForm1 *form1() const { return windows->form1(); }
    RecordSession *session() const { return form1()->session(); }
    template <class T> T *find(const QString &name) const { return form1()->findChild<T *>(name); }

    // Types a text (Chinese included) into a widget as key presses.
    static void type(QWidget *widget, const QString &text)
    {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }

    // Every stored record as read by a second connection: bed → column → text.
    QHash<QString, QHash<QString, QString>> stored() const
    {
        QHash<QString, QHash<QString, QString>> result;
        auto store = PatientStore::open(databasePath());
        for (const ListRow &row : store->loadList()) {
            const QStringList values = store->loadRecord(row.rowId);
            QHash<QString, QString> record;
            for (size_t c = 0; c < columns::all().size(); ++c)
                record.insert(QString::fromLatin1(columns::all()[c].name), values.value(int(c)));
            result.insert(row.values.value(0), record);
        }
        return result;
    }
};
