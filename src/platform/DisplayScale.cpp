#include "DisplayScale.h"
#include "XResources.h"

#include <QList>
#include <cmath>

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
    const double resourceDpi = positive(userFontDpi) > 0 ? 0.0 : xftDpi(XResources::read());
    const int dpi = fontDpi(scale, userFontDpi, resourceDpi);
    if (dpi > 0) {
        qputenv("QT_FONT_DPI", QByteArray::number(dpi));
    }
}
