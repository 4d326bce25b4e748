#pragma once

#include "DesktopWindow.h"

class QWidget;

// The X11 side of a desktop window (see DesktopWindow): called for override-redirect
// windows on Qt's xcb platform; does nothing where the program is built without X11.
// Takes the window's alpha channel away while no compositor runs, and gives it back
// (through REMAKE) when one starts.
namespace DesktopWindowX11 {
void attach(QWidget* window, DesktopWindow::Remake remake);
// One round trip to the X server: afterwards every event it sent before is queued.
void sync();
// Clicks and keys held back while events were handled without user input wait in
// Qt's queue until the next X event arrives; when the event loop is next about to
// wait, the program sends itself one, so that they run then.
void wakeWhenIdle();
} // namespace DesktopWindowX11
