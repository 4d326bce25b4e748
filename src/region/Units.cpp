#include "Units.h"

#include "window/Rounding.h"
#include "window/Screen.h"

namespace {

int32_t twipToPixel(double twips, double twipsPerPixel)
{
    const int32_t value = roundHalfEven(twips);
    const int32_t factor = roundHalfEven(twipsPerPixel);
    if (factor == 0) {
        return 0;
    }
    return value / factor; // C++ division truncates toward zero
}

} // namespace

int32_t TwipToPixelX(double twips)
{
    return twipToPixel(twips, Screen::TwipsPerPixelX());
}

int32_t TwipToPixelY(double twips)
{
    return twipToPixel(twips, Screen::TwipsPerPixelY());
}

int32_t PixelToTwipX(double pixels)
{
    return roundHalfEven(pixels * Screen::TwipsPerPixelX());
}

int32_t PixelToTwipY(double pixels)
{
    return roundHalfEven(pixels * Screen::TwipsPerPixelY());
}
