#include "Units.h"

#include "Rounding.h"
#include "Screen.h"

#include <cmath>

namespace {

int32_t twipToPixel(double twips, double twipsPerPixel)
{
    if (!(twipsPerPixel > 0)) {
        return 0;
    }
    // The exact ratio: 7.5 twips per pixel at 192 DPI stays 7.5, it is not rounded
    // to 8. A whole twip value stands for a position to within half a twip (3 pixels
    // are 22.5 twips, stored as 22), so the quotient is taken half a twip further
    // from zero before it is truncated: every pixel comes back from its twips. With
    // a whole number of twips per pixel (96, 120, 144 DPI) this changes no result.
    const double value = roundHalfEven(twips);
    const double quotient = (value + std::copysign(0.5, value)) / twipsPerPixel;
    // 1440 / DPI is not always exact in binary: a quotient within rounding noise of
    // a whole number is that number.
    const double whole = std::round(quotient);
    if (std::abs(quotient - whole) < 1e-9) {
        return static_cast<int32_t>(whole);
    }
    return static_cast<int32_t>(std::trunc(quotient)); // truncated toward zero
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

int32_t TwipToNearestPixelX(double twips)
{
    return roundHalfEven(twips / Screen::TwipsPerPixelX());
}

int32_t TwipToNearestPixelY(double twips)
{
    return roundHalfEven(twips / Screen::TwipsPerPixelY());
}

int32_t PixelToTwipX(double pixels)
{
    return roundHalfEven(pixels * Screen::TwipsPerPixelX());
}

int32_t PixelToTwipY(double pixels)
{
    return roundHalfEven(pixels * Screen::TwipsPerPixelY());
}
