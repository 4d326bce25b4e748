#include "ShapeBuilder.h"
#include "forms/App.h"
#include "graphics/Screen.h"
#include "graphics/Units.h"
#include "region/frm_RGN_Picture.h"

#include <algorithm>

namespace {

// Puts a background colour that differs from the text colour on the surface for
// the time of one text build, and the surface's own background back afterwards.
class BackColorForText
{
public:
    explicit BackColorForText(PictureSurface& surface)
        : m_surface(surface), m_saved(surface.BackColor())
    {
        if (surface.ForeColor() == m_saved) {
            surface.setBackColor(m_saved ^ 0xFFFFFF);
        }
    }
    ~BackColorForText() { m_surface.setBackColor(m_saved); }
    BackColorForText(const BackColorForText&) = delete;
    BackColorForText& operator=(const BackColorForText&) = delete;

private:
    PictureSurface& m_surface;
    uint32_t m_saved;
};

} // namespace

int32_t MakeRGNFromText(const QString& text)
{
    if (text.isEmpty()) {
        return 0;
    }
    PictureSurface& surface = frm_RGN_Picture::instance().pWPicture;
    // Text in the background colour would not differ from the key colour: it is
    // drawn on another background then. The surface keeps its own colours.
    const BackColorForText background(surface);
    surface.CurrentX = 0;
    surface.CurrentY = 0;
    // The text window is as large as the screen and the text starts at its origin:
    // what lies beyond the screen's width or height is never seen, so it is neither
    // measured nor drawn, and no text is too long to show.
    const int64_t visibleWidth = std::max(TwipToPixelX(Screen::Width()), 1);
    const int64_t visibleHeight = std::max(TwipToPixelY(Screen::Height()), 1);
    const PictureSurface::TextExtent extent =
        surface.measureText(text, visibleHeight, visibleWidth);
    const int width = static_cast<int>(std::min(extent.width, visibleWidth));
    const int height = static_cast<int>(std::min(extent.height, visibleHeight));
    // Cleared to its new size: nothing drawn earlier remains.
    if (extent.width > PictureSurface::MaxLineWidth || !surface.clearToSize(width, height)) {
        surface.releaseImage();
        App::MsgBox(textTooLargeMessage());
        return 0;
    }
    surface.Print(text);
    return MakeRGNFromPicture(QString(), TextShapeNumber);
}
