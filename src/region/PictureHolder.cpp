#include "PictureHolder.h"

#include "window/Units.h"

int PictureHolder::Width() const
{
    return PixelToTwipX(Picture.width());
}

int PictureHolder::Height() const
{
    return PixelToTwipY(Picture.height());
}
