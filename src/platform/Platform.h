#pragma once

#include <QByteArray>

// Which of Qt's platforms Deskword runs on, and what that platform lets it do.
class Platform
{
public:
    // The platform to ask Qt for, given the environment: "xcb" in a Wayland session
    // where an X server is reachable (XWayland), so that the shaped, top-most window
    // that places itself works as on X11; empty (Qt's own choice) when the user named
    // a platform in QT_QPA_PLATFORM or there is no X server.
    static QByteArray choose(const QByteArray& qpaPlatform, const QByteArray& display,
                             const QByteArray& waylandDisplay, const QByteArray& sessionType);
    // Applies choose() to the process's environment; runs before the application object
    // and before any other thread exists.
    static void chooseBeforeStart();

    // Whether windows are placed by the program and their places can be read back.
    // On Wayland the compositor places top-level windows and never tells where.
    static bool placesWindows();
    // Whether the X11 window system is in use (Qt's xcb platform).
    static bool isX11();
    // Whether that X server is XWayland: X11 in a Wayland session.
    static bool isXWayland();
};
