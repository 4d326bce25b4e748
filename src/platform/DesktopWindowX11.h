#pragma once

class QWidget;

// The X11 side of a desktop window (see DesktopWindow): called for override-redirect
// windows on Qt's xcb platform; does nothing where the program is built without X11.
namespace DesktopWindowX11 {
void attach(QWidget* window);
}
