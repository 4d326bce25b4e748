#pragma once

#include <cstdint>

// The one set of twip/pixel conversions, named by how they round, with the screen's
// current twips per pixel (15 at 96 DPI).
// To pixels: the value is rounded to whole twips (halves to even), then divided by
// the exact factor (1440 / DPI, 7.5 at 192 DPI) with the quotient truncated toward
// zero (22 -> 1, -20 -> -1, 7.5 -> 0 at 15), counting the half twip that rounding to
// whole twips may have lost, so that pixels -> twips -> pixels is exact at every
// DPI. To twips: value times factor, rounded (halves to even).
int32_t TwipToPixelX(double twips);
int32_t TwipToPixelY(double twips);
int32_t PixelToTwipX(double pixels);
int32_t PixelToTwipY(double pixels);

// Twips to the nearest pixel (halves to even), for the geometry of windows and
// controls: the value divided by the exact factor, then rounded.
int32_t TwipToNearestPixelX(double twips);
int32_t TwipToNearestPixelY(double twips);
