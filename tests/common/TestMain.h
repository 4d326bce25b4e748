#pragma once

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// Test main for widget and unit tests: Qt's offscreen platform with one screen of
// 1280 x 1024 pixels at 96 DPI (15 twips per pixel), a private 0700 runtime folder,
// a private XDG config folder and no session bus, so no test touches the user's files
// or desktop. A test run with DESKWORD_TEST_DPI set (144, 192) gets a screen of that
// logical DPI instead.
namespace testsupport {

inline std::unique_ptr<QTemporaryDir> prepareEnvironment()
{
    auto dir = std::make_unique<QTemporaryDir>();
    const QString root = dir->path();
    QDir().mkpath(root + QStringLiteral("/runtime"));
    QFile::setPermissions(root + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir().mkpath(root + QStringLiteral("/config"));
    const QByteArray requestedDpi = qgetenv("DESKWORD_TEST_DPI");
    const QByteArray dpi = requestedDpi.toInt() > 0 ? requestedDpi : QByteArray("96");
    QFile config(root + QStringLiteral("/screen.json"));
    if (config.open(QIODevice::WriteOnly)) {
        config.write(R"({"screens":[{"name":"test","x":0,"y":0,"width":1280,"height":1024,)"
                     R"("logicalDpi":)" +
                     dpi + R"(,"logicalBaseDpi":96,"dpr":1}]})");
        config.close();
    }
    qputenv("QT_QPA_PLATFORM",
            QByteArray("offscreen:configfile=") + config.fileName().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", (root + QStringLiteral("/runtime")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (root + QStringLiteral("/config")).toLocal8Bit());
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qputenv("QT_FONT_DPI", dpi);
    // No session bus: the tray never becomes a D-Bus item of the machine's desktop.
    qputenv(
        "DBUS_SESSION_BUS_ADDRESS",
        (QStringLiteral("unix:path=") + root + QStringLiteral("/no-session-bus")).toLocal8Bit());
    return dir;
}

} // namespace testsupport

#define DESKWORD_TEST_MAIN(TestClass)                                                              \
    int main(int argc, char* argv[])                                                               \
    {                                                                                              \
        auto environment = testsupport::prepareEnvironment();                                      \
        QApplication app(argc, argv);                                                              \
        app.setQuitOnLastWindowClosed(false);                                                      \
        TestClass test;                                                                            \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
