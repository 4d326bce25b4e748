#include "DisplayScale.h"

#include <QList>
#include <cmath>
#include <cstdlib>

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
#include <xcb/xcb.h>
#define DESKWORD_DISPLAY_SCALE_XCB
#endif

namespace {

// A positive finite number, or 0.
double positive(const QByteArray& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) && value > 0 ? value : 0.0;
}

// The first entry of "1.5;2" or "HDMI-1=1.5;DP-1=2".
double firstScreenFactor(const QByteArray& list)
{
    const QList<QByteArray> entries = list.split(';');
    if (entries.isEmpty()) {
        return 0.0;
    }
    const QByteArray& entry = entries.first();
    const qsizetype equals = entry.indexOf('=');
    return positive(equals < 0 ? entry : entry.mid(equals + 1));
}

// Whether Qt will use its xcb platform: named so, or left to Qt with an X server.
bool runsOnX11()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty()) {
        return !qgetenv("DISPLAY").isEmpty();
    }
    return platform == "xcb" || platform.startsWith("xcb:");
}

#ifdef DESKWORD_DISPLAY_SCALE_XCB
// The root window's X resources, as xrdb leaves them.
QByteArray readXResources()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    QByteArray resources;
    if (connection != nullptr && xcb_connection_has_error(connection) == 0) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        if (screen != nullptr) {
            const xcb_get_property_cookie_t cookie =
                xcb_get_property(connection, 0, screen->root, XCB_ATOM_RESOURCE_MANAGER,
                                 XCB_ATOM_STRING, 0, 1u << 20);
            if (xcb_get_property_reply_t* reply =
                    xcb_get_property_reply(connection, cookie, nullptr)) {
                resources = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)),
                                       xcb_get_property_value_length(reply));
                std::free(reply);
            }
        }
    }
    if (connection != nullptr) {
        xcb_disconnect(connection);
    }
    return resources;
}
#else
QByteArray readXResources()
{
    return {};
}
#endif

} // namespace

double DisplayScale::factor(const QByteArray& scaleFactor, const QByteArray& screenScaleFactors)
{
    const double global = positive(scaleFactor);
    const double screen = firstScreenFactor(screenScaleFactors);
    return (global > 0 ? global : 1.0) * (screen > 0 ? screen : 1.0);
}

int DisplayScale::fontDpi(double factor, const QByteArray& fontDpi, double xftDpi)
{
    if (factor == 1.0) {
        return 0;
    }
    double base = positive(fontDpi);
    if (base == 0) {
        base = xftDpi > 0 ? xftDpi : 96.0;
    }
    return static_cast<int>(std::lround(base * factor));
}

double DisplayScale::xftDpi(const QByteArray& resources)
{
    for (const QByteArray& line : resources.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed() == "Xft.dpi") {
            return positive(line.mid(colon + 1));
        }
    }
    return 0.0;
}

void DisplayScale::applyBeforeStart()
{
    if (!runsOnX11()) {
        return;
    }
    const double scale = factor(qgetenv("QT_SCALE_FACTOR"), qgetenv("QT_SCREEN_SCALE_FACTORS"));
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qunsetenv("QT_SCALE_FACTOR");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    qunsetenv("QT_AUTO_SCREEN_SCALE_FACTOR");
    if (scale == 1.0) {
        return; // Qt takes Xft.dpi (or QT_FONT_DPI) as the logical DPI by itself
    }
    const QByteArray userFontDpi = qgetenv("QT_FONT_DPI");
    const double resourceDpi = positive(userFontDpi) > 0 ? 0.0 : xftDpi(readXResources());
    const int dpi = fontDpi(scale, userFontDpi, resourceDpi);
    if (dpi > 0) {
        qputenv("QT_FONT_DPI", QByteArray::number(dpi));
    }
}
