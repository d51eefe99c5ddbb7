#pragma once
#include "text/SharedValues.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

// A fresh application folder with an empty data folder for each widget test; the
// phrase target starts empty.
class PhraseTestFolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        text::shared().applicationFolder = m_dir.path() + QLatin1Char('/');
        ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("data")));
        text::shared().phraseTarget.clear();
    }
    void TearDown() override
    {
        text::shared().phraseTarget.clear();
        text::shared().applicationFolder.clear();
    }

    static QString dataPath(const QString &name) { return text::shared().dataFolder() + name; }

    static QByteArray gbk(const QString &text)
    {
        QStringEncoder encoder("GB18030");
        return encoder.encode(text);
    }

    static void writeBytes(const QString &name, const QByteArray &bytes)
    {
        QFile file(dataPath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static QByteArray readBytes(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QByteArray("<missing>");
        return file.readAll();
    }

    // A real double-click as the window system delivers it: press, release, double-click, release.
    static void doubleClick(QWidget *target, const QPoint &pos)
    {
        const QPointF global = target->mapToGlobal(QPointF(pos));
        const QEvent::Type types[] = {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                      QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease};
        for (QEvent::Type type : types) {
            const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
            QMouseEvent event(type, QPointF(pos), global, Qt::LeftButton, held, Qt::NoModifier);
            QCoreApplication::sendEvent(target, &event);
        }
    }

    static void click(QWidget *target, const QPoint &pos)
    {
        const QPointF global = target->mapToGlobal(QPointF(pos));
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(pos), global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(target, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(pos), global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(target, &release);
    }

    QTemporaryDir m_dir;
};
