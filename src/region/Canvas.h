#pragma once

#include "graphics/Gdi.h"

#include <cstdint>
#include <optional>

class Window;

// Composing one window from several shaped pieces. A canvas window is prepared once
// (RGNCanvasInit), pieces are added one after another (RGNCanvasAdd) and the union of
// their outlines is then applied as the window's shape (RGNCanvasApply). Between the
// steps the whole state lives in the window's Tag as "pending,mode": the handle of
// the region gathered since the last apply (0 = none) and the canvas mode.
//
// Modes: 0 joins outlines only; 1 also paints each piece's picture clipped to its
// outline, the first piece after a prepare or an apply clearing the back-buffer;
// 2 as 1, then fills the piece's outline with a solid colour.

// Places the window at (0, 0), sizes it (twips; -1 = the screen's width and
// FullScreenHeight), turns on its back-buffer and clears it; Tag "0,<mode>".
void RGNCanvasInit(Window* window, int mode, int width = -1, int height = -1);
// Adds region number `number` at (x, y) twips. The offset is first snapped to whole
// pixels and written back to the caller's variables.
void RGNCanvasAdd(int32_t number, Window* window, int32_t& x, int32_t& y,
                  std::optional<uint32_t> colour = std::nullopt);
// Gives the window the gathered outline, empties the pending region and lets
// pending events run once so the window repaints in its new outline.
void RGNCanvasApply(Window* window);
// Height of a full-screen window's client area plus one caption, in twips.
int32_t FullScreenHeight();

// The region of number at (x, y) united with the pending region, which is deleted.
gdi::HRGN RGNMergePiece(gdi::HRGN pending, int32_t number, int32_t x, int32_t y);
// Paints the picture of number at (x, y) twips into the window's back-buffer,
// clipped to the number's outline.
void RGNPaintClipped(int32_t number, Window* window, int32_t x, int32_t y);
