#include "Screen.h"

#include "Rounding.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>

namespace {

QScreen* primary()
{
    return QGuiApplication::primaryScreen();
}

double twipsPerPixel(double dpi)
{
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

} // namespace

double Screen::TwipsPerPixelX()
{
    const QScreen* s = primary();
    return twipsPerPixel(s ? s->logicalDotsPerInchX() : 96.0);
}

double Screen::TwipsPerPixelY()
{
    const QScreen* s = primary();
    return twipsPerPixel(s ? s->logicalDotsPerInchY() : 96.0);
}

int Screen::Left()
{
    const QScreen* s = primary();
    return roundHalfEven((s ? s->geometry().x() : 0) * TwipsPerPixelX());
}

int Screen::Top()
{
    const QScreen* s = primary();
    return roundHalfEven((s ? s->geometry().y() : 0) * TwipsPerPixelY());
}

int Screen::Width()
{
    const QScreen* s = primary();
    return roundHalfEven((s ? s->geometry().width() : 0) * TwipsPerPixelX());
}

int Screen::Height()
{
    const QScreen* s = primary();
    return roundHalfEven((s ? s->geometry().height() : 0) * TwipsPerPixelY());
}

int Screen::CaptionHeightPixels()
{
    const QStyle* style = QApplication::style();
    return style ? style->pixelMetric(QStyle::PM_TitleBarHeight) : 0;
}

int Screen::FullScreenClientHeightPixels()
{
    const QScreen* s = primary();
    const int available = s ? s->availableGeometry().height() : 0;
    return available - CaptionHeightPixels();
}
