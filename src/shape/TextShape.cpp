#include "ShapeBuilder.h"
#include "frm_RGN_Picture.h"
#include "window/App.h"

int32_t MakeRGNFromText(const QString& text)
{
    if (text.isEmpty()) {
        return 0;
    }
    PictureSurface& surface = frm_RGN_Picture::instance().pWPicture;
    surface.Cls();
    surface.CurrentX = 0;
    surface.CurrentY = 0;
    const int width = surface.TextWidth(text);
    const int height = surface.TextHeight(text);
    if (!surface.setSizePixels(width, height)) {
        App::MsgBox(tooLargeMessage());
        return 0;
    }
    surface.Cls();
    surface.Print(text);
    return MakeRGNFromPicture(QString(), TextShapeNumber);
}
