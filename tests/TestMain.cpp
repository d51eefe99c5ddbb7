// Test entry point: a QApplication exists for every test program, so widget
// tests and pure tests share one main.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The offscreen platform's own screen is 800 x 600, smaller than any desktop the
// program is made for; the widget tests run on a common 1920 x 1080 desktop instead.
// Tests of small screens give the screen area they mean explicitly.
void useDesktopSizedOffscreenScreen(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("offscreen.json"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(R"({"screens": [{"name": "Desktop", "x": 0, "y": 0, "width": 1920, "height": 1080,)"
               R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + QFile::encodeName(path));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir configDir;
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen" && configDir.isValid())
        useDesktopSizedOffscreenScreen(configDir);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
