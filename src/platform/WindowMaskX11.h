#pragma once

class QRegion;
class QWidget;

// The X11 side of WindowMask: shapes a top-level window on Qt's own X connection.
// Each call returns false, doing nothing, where the program is built without the
// SHAPE extension's library or the X server lacks the extension.
namespace WindowMaskX11 {
bool available();
bool set(QWidget* window, const QRegion& shape);
bool clear(QWidget* window);
} // namespace WindowMaskX11
