#pragma once

#include <cstdint>

// Twip/pixel conversions with the screen's current twips per pixel (15 at 96 DPI).
// To pixels: the value and the factor are each rounded to whole numbers (halves to
// even), then divided with the quotient truncated toward zero (22 -> 1, -20 -> -1,
// 7.5 -> 0). To twips: value times factor, rounded (halves to even).
int32_t TwipToPixelX(double twips);
int32_t TwipToPixelY(double twips);
int32_t PixelToTwipX(double pixels);
int32_t PixelToTwipY(double pixels);
