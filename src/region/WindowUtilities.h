#pragma once

#include <QString>

class Window;

// Moves a window that has no title bar with the mouse, from the handler of a left
// button press on it, and returns once the button is released. A top-level window
// is moved by the window manager, as if its title bar had been pressed (by hand
// when there is no window manager); a child window moves inside its parent.
void WindowDrag(Window* window);
// Shows the window and keeps it above every window that is not top-most.
void WindowTopMost(Window* window);
// Unloads every loaded form whose Name differs from `name` (exact comparison), in
// load order; each runs its own query-unload and unload handlers.
void UnloadOtherWindows(const QString& name);
