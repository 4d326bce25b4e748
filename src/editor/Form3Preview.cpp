// The picture preview: placed at the picture offset, moved along with the text, and
// dragged to a new offset.
#include "Form3.h"
#include "app/Form1.h"
#include "app/Settings.h"
#include "graphics/Rounding.h"
#include "graphics/Units.h"
#include "region/WindowShape.h"
#include "region/WindowUtilities.h"
#include "region/frm_RGN_Picture.h"
#include "shape/ShapeBuilder.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>

namespace {

struct PictureOffset
{
    int32_t x = 0;
    int32_t y = 0;
};

PictureOffset pictureOffset()
{
    const Form1* host = Form1::instance();
    return host != nullptr ? PictureOffset{host->PicPosX, host->PicPosY} : PictureOffset{};
}

} // namespace

void Form3::placePicture()
{
    if (PictureRegionNumber <= 0) {
        Picture1->hide();
        return;
    }
    RGNShapeWindow(PictureRegionNumber, Picture1, true);
    const PictureOffset offset = pictureOffset();
    Picture1->setLeft(offset.x);
    Picture1->setTop(offset.y);
}

void Form3::movePic()
{
    const int h = Text1->horizontalScrollBar()->value();
    const int v = Text1->verticalScrollBar()->value();
    const PictureOffset offset = pictureOffset();
    Picture1->setLeft(saturateInt32(int64_t(offset.x) - int64_t(h) * PixelToTwipX(1)));
    const int64_t lineHeight =
        roundHalfEven(frm_RGN_Picture::instance().pWPicture.TextHeight(QStringLiteral("A")));
    Picture1->setTop(saturateInt32(int64_t(offset.y) - int64_t(v) * lineHeight * PixelToTwipY(1)));
    ScrollOffsetX = PixelToTwipX(h);
    ScrollOffsetY = PixelToTwipY(static_cast<double>(lineHeight * v));
}

void Form3::Picture1_MouseDown(int button, int, int, int)
{
    if (button != 1) {
        return;
    }
    const QPointer<Form3> self(this);
    WindowDrag(Picture1);
    Form1* host = Form1::instance();
    if (self == nullptr || host == nullptr) {
        return;
    }
    host->PicPosX = saturateInt32(int64_t(Picture1->Left()) + ScrollOffsetX);
    host->PicPosY = saturateInt32(int64_t(Picture1->Top()) + ScrollOffsetY);
    WriteIniValues(DataSection, {{QStringLiteral("XPOS2"), QString::number(host->PicPosX)},
                                 {QStringLiteral("YPOS2"), QString::number(host->PicPosY)}});
}
