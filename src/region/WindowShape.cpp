#include "WindowShape.h"

#include "Canvas.h"
#include "RegionNumbers.h"
#include "forms/App.h"
#include "forms/Window.h"
#include "forms/WindowRgn.h"
#include "frm_RGN_Picture.h"
#include "graphics/Gdi.h"

#include <QCoreApplication>

namespace {

// Size of the badge's window, in twips.
constexpr int BadgeWindowSize = 480;
constexpr int32_t FirstPictureNumber = 10;

} // namespace

void RGNShapeWindow(int32_t number, Window* window, bool draw)
{
    const int flags = RGNShapeSize | RGNShapeOutline | (draw ? RGNShapePaint : 0);
    RGNShape(number, window, flags, 0, 0, false);
}

void RGNShape(int32_t number, Window* window, int flags, int32_t x, int32_t y, bool keep)
{
    if (window == nullptr) {
        return;
    }
    ensureRGNDataInit();
    if (!window->AutoRedraw()) {
        window->setAutoRedraw(true);
    }
    if ((flags & RGNShapeSize) != 0) {
        RGNSizeToPicture(number, window);
    }
    if ((flags & RGNShapeOutline) != 0) {
        RGNSetWindowShape(number, window, x, y, keep);
    }
    window->Cls();
    if ((flags & RGNShapePaint) != 0) {
        RGNPaintClipped(number, window, x, y);
    }
}

void RGNSizeToPicture(int32_t number, Window* window)
{
    if (number == 0) {
        window->setHeight(BadgeWindowSize);
        window->setWidth(BadgeWindowSize);
    } else if (number >= FirstPictureNumber) {
        if (const PictureHolder* holder = frm_RGN_Picture::instance().pPicture(number)) {
            window->setHeight(holder->Height());
            window->setWidth(holder->Width());
        }
    }
}

void RGNSetWindowShape(int32_t number, Window* window, int32_t x, int32_t y, bool keep)
{
    const gdi::HRGN region = RGNFromData(number, x, y);
    if (keep && region != 0) {
        const gdi::HRGN current = gdi::CreateRectRgn(0, 0, 0, 0);
        gdi::GetWindowRgn(window, current);
        gdi::CombineRgn(region, current, region, gdi::RGN_OR);
        gdi::DeleteObject(current);
    }
    if (gdi::SetWindowRgn(window, region, true) == 0) {
        gdi::DeleteObject(region);
        App::MsgBox(QCoreApplication::translate("mod_RGN_Proc",
                                                "It failed in plastic surgery of a window."));
        App::EndNow(1);
    }
}
