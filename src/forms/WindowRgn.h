#pragma once

#include "graphics/Gdi.h"

class Window;

// The window-region calls of the platform's graphics interface: a window's shape as a
// region handle.
namespace gdi {

// Gives the window the region as its shape: it shows, and takes clicks, only inside
// it. The window owns the region from then on and deletes the one it had; 0 removes
// the shape; a shape may have any number of rectangles. Returns 0 (and takes nothing
// over) when the window or handle is invalid.
int SetWindowRgn(Window* window, HRGN region, bool redraw);
// Copies the window's region into an existing region; ERROR_REGION when it has none.
int GetWindowRgn(Window* window, HRGN destination);

} // namespace gdi
