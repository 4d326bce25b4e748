#pragma once

#include <cstdint>

// Twip/pixel conversions with the screen's current twips per pixel (15 at 96 DPI).
// To pixels: the value is rounded to whole twips (halves to even), then divided by
// the exact factor (1440 / DPI, 7.5 at 192 DPI) with the quotient truncated toward
// zero (22 -> 1, -20 -> -1, 7.5 -> 0 at 15), counting the half twip that rounding to
// whole twips may have lost, so that pixels -> twips -> pixels is exact at every
// DPI. To twips: value times factor, rounded (halves to even).
int32_t TwipToPixelX(double twips);
int32_t TwipToPixelY(double twips);
int32_t PixelToTwipX(double pixels);
int32_t PixelToTwipY(double pixels);
