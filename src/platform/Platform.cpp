#include "Platform.h"

#include "DisplayScale.h"

#include <QGuiApplication>

QByteArray Platform::choose(const QByteArray& qpaPlatform, const QByteArray& display,
                            const QByteArray& waylandDisplay, const QByteArray& sessionType)
{
    if (!qpaPlatform.isEmpty() || display.isEmpty()) {
        return {};
    }
    if (!waylandDisplay.isEmpty() || sessionType == "wayland") {
        return "xcb";
    }
    return {};
}

void Platform::chooseBeforeStart()
{
    const QByteArray chosen = choose(qgetenv("QT_QPA_PLATFORM"), qgetenv("DISPLAY"),
                                     qgetenv("WAYLAND_DISPLAY"), qgetenv("XDG_SESSION_TYPE"));
    if (!chosen.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", chosen);
    }
    // Scaled X11 screens: drawn and shaped at device pixels, not magnified.
    DisplayScale::applyBeforeStart();
}

bool Platform::placesWindows()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool Platform::isX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

bool Platform::isXWayland()
{
    return isX11() && (qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
                       qgetenv("XDG_SESSION_TYPE") == "wayland");
}
