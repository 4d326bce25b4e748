#include "PictureHolder.h"

#include "graphics/Units.h"

int PictureHolder::Width() const
{
    return PixelToTwipX(Picture.width());
}

int PictureHolder::Height() const
{
    return PixelToTwipY(Picture.height());
}
