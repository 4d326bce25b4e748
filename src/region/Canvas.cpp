#include "Canvas.h"

#include "RegionNumbers.h"
#include "forms/App.h"
#include "forms/Window.h"
#include "forms/WindowRgn.h"
#include "frm_RGN_Picture.h"
#include "graphics/Rounding.h"
#include "graphics/Screen.h"
#include "graphics/Units.h"

namespace {

struct CanvasTag
{
    gdi::HRGN pending = 0;
    double mode = 0;
    QString afterComma; // the text after the first comma, as it stands
};

CanvasTag readTag(const QString& tag)
{
    CanvasTag result;
    const qsizetype comma = tag.indexOf(QLatin1Char(','));
    const QStringView before = comma < 0 ? QStringView(tag) : QStringView(tag).left(comma);
    result.pending = roundHalfEven(leadingNumber(before));
    if (comma >= 0) {
        result.afterComma = tag.mid(comma + 1);
        result.mode = leadingNumber(result.afterComma);
    }
    return result;
}

QString formatNumber(double value)
{
    return QString::number(value, 'g', 15);
}

} // namespace

int32_t FullScreenHeight()
{
    const int pixels = Screen::FullScreenClientHeightPixels() + Screen::CaptionHeightPixels();
    return roundHalfEven(pixels * Screen::TwipsPerPixelY());
}

void RGNCanvasInit(Window* window, int mode, int width, int height)
{
    ensureRGNDataInit();
    window->Tag = QStringLiteral("0,") + QString::number(mode);
    window->setLeft(0);
    window->setTop(0);
    window->setAutoRedraw(true);
    window->setWidth(width == -1 ? Screen::Width() : width);
    window->setHeight(height == -1 ? FullScreenHeight() : height);
    window->Cls();
}

gdi::HRGN RGNMergePiece(gdi::HRGN pending, int32_t number, int32_t x, int32_t y)
{
    const gdi::HRGN piece = RGNFromData(number, x, y);
    if (pending != 0) {
        gdi::CombineRgn(piece, pending, piece, gdi::RGN_OR);
        gdi::DeleteObject(pending);
    }
    return piece;
}

void RGNPaintClipped(int32_t number, Window* window, int32_t x, int32_t y)
{
    const gdi::HRGN clip = RGNFromData(number, 0, 0);
    gdi::OffsetRgn(clip, TwipToPixelX(x), TwipToPixelY(y));
    window->SelectClipRgn(clip);
    if (const PictureHolder* holder = frm_RGN_Picture::instance().pPicture(number)) {
        window->PaintPicture(holder->Picture, x, y);
    }
    window->SelectClipRgn(0);
    gdi::DeleteObject(clip);
}

void RGNCanvasAdd(int32_t number, Window* window, int32_t& x, int32_t& y,
                  std::optional<uint32_t> colour)
{
    x = PixelToTwipX(TwipToPixelX(x));
    y = PixelToTwipY(TwipToPixelY(y));
    const CanvasTag tag = readTag(window->Tag);
    const gdi::HRGN merged = RGNMergePiece(tag.pending, number, x, y);
    const bool paints = tag.mode == 1 || tag.mode == 2;
    if (paints) {
        if (tag.pending == 0) {
            window->Cls();
        }
        RGNPaintClipped(number, window, x, y);
    }
    window->Tag = QString::number(merged) + QLatin1Char(',') + formatNumber(tag.mode);
    if (tag.mode == 2) {
        const gdi::HRGN fill = RGNFromData(number, x, y);
        window->FillRgn(fill, colour.value_or(window->BackColor()));
        gdi::DeleteObject(fill);
    }
}

void RGNCanvasApply(Window* window)
{
    const CanvasTag tag = readTag(window->Tag);
    if (gdi::SetWindowRgn(window, tag.pending, true) == 0) {
        gdi::DeleteObject(tag.pending);
    }
    window->Tag = QStringLiteral("0,") + tag.afterComma;
    App::DoEvents();
}
