#pragma once
// The fixture of the builder-window tests: a fresh encrypted store in a temporary
// application folder with two patients, an open editing session over it, a plain
// widget standing in for the main window, and scripted message boxes.
#include "PrintQString.h"
#include "records/ColumnTable.h"
#include "records/PatientStore.h"
#include "records/RecordSession.h"
#include "records/ScriptedDialogs.h"
#include "records/SecondaryWindow.h"
#include "text/SharedValues.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

class BuilderWindowTest : public ::testing::Test
{
protected:
    // Bed 1 has a birthplace and two flags set; bed 2 has other flags and no birthplace.
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_savedShared = text::shared();
        text::shared().applicationFolder = m_dir.path() + QLatin1Char('/');
        text::shared().symptomTarget = 0;
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("data")));
        const QString file = text::shared().dataFolder() + QStringLiteral("Quillcase.dat");
        PatientStore::create(file);
        m_store = PatientStore::open(file);
        m_firstId = m_store->insertRecord(values({{"Bed", "1"},
                                                  {"Name", "甲"},
                                                  {"home", "山东省澄岚市"},
                                                  {"Boolen01", "True"},
                                                  {"Boolen02", "False"}}));
        m_secondId = m_store->insertRecord(
            values({{"Bed", "2"}, {"Name", "乙"}, {"Boolen01", "False"}, {"Boolen16", "true"}}));
        m_session = std::make_unique<RecordSession>(m_store.get());
        m_session->open();
        SecondaryWindow::setMainWindow(&m_main);
        m_main.show();
    }

    void TearDown() override
    {
        SecondaryWindow::setMainWindow(nullptr);
        text::shared() = m_savedShared;
    }

    static QHash<int, QString> values(std::initializer_list<std::pair<const char *, const char *>> pairs)
    {
        QHash<int, QString> result;
        for (const auto &[name, value] : pairs)
            result.insert(columns::indexOf(QString::fromUtf8(name)), QString::fromUtf8(value));
        return result;
    }

    // What the database holds for a column of a record.
    QString stored(qint64 rowId, const char *column) const
    {
        return m_store->loadRecord(rowId).value(columns::indexOf(QString::fromLatin1(column)));
    }

    template <class T> static T *child(QWidget *window, const char *name)
    {
        T *found = window->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            ADD_FAILURE() << "no control " << name;
        return found;
    }

    static void setText(QWidget *window, const char *edit, const QString &text)
    {
        child<QLineEdit>(window, edit)->setText(text);
    }

    static QString textOf(QWidget *window, const char *edit)
    {
        return child<QLineEdit>(window, edit)->text();
    }

    static void click(QWidget *window, const char *button)
    {
        child<QAbstractButton>(window, button)->click();
    }

    // A key coming up in a control, as the keyboard sends it.
    static void releaseKey(QWidget *control, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent release(QEvent::KeyRelease, key, modifiers);
        QApplication::sendEvent(control, &release);
    }

    QTemporaryDir m_dir;
    text::SharedValues m_savedShared;
    std::unique_ptr<PatientStore> m_store;
    std::unique_ptr<RecordSession> m_session;
    qint64 m_firstId = 0;
    qint64 m_secondId = 0;
    QWidget m_main;
    ScriptedDialogs m_dialogs;
};
