#pragma once

#include <cstdint>

class Window;

// Giving one window the size, outline and picture of one region number.

// Flag bits of RGNShape.
constexpr int RGNShapeSize = 1;    // size the window to the number's picture
constexpr int RGNShapeOutline = 2; // give the window the number's outline
constexpr int RGNShapePaint = 4;   // paint the number's picture, clipped to its outline

// Sizes the window to the number's picture, gives it the number's outline and, when
// draw is true, paints the picture into it; without draw its back-buffer is left
// cleared.
void RGNShapeWindow(int32_t number, Window* window, bool draw);

// The steps of the flag bits, in the order size, outline, clear, paint; the outline
// and the picture are placed at (x, y) twips. keep adds the outline to the window's
// current one instead of replacing it. The window's back-buffer is always cleared,
// and turned on if it was off.
void RGNShape(int32_t number, Window* window, int flags, int32_t x, int32_t y, bool keep);

// Number 0 (the badge): 480 x 480 twips; 10 and up: the size of the number's
// picture; other numbers leave the size as it is.
void RGNSizeToPicture(int32_t number, Window* window);

// Gives the window the number's outline at (x, y) twips, united with its current one
// when keep is true. A window that refuses the outline ends the program with "It
// failed in plastic surgery of a window.".
void RGNSetWindowShape(int32_t number, Window* window, int32_t x, int32_t y, bool keep);
