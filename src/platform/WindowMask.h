#pragma once

class QRegion;
class QWidget;

// A window's shape: it shows, and takes clicks, only inside it.
//
// On X11 a top-level window's shape goes to the X server directly, both as its
// bounding and as its input shape, in as many requests as it needs: one SHAPE request
// holds at most 32,765 rectangles, and a text can need many more. Qt's own mask of
// such a window stays unset, so Qt never sends a shape of its own (it would send any
// shape in one request, and a larger one is lost); the shape is sent again whenever
// the window gets a new native window. Elsewhere (child widgets, Wayland, no SHAPE
// extension) the shape is Qt's mask of the widget.
namespace WindowMask {

// Gives the window its shape; an empty region shows nothing of it.
void set(QWidget* window, const QRegion& shape);
// Takes the shape away: the whole window shows.
void clear(QWidget* window);
// Whether the window's shape is sent by this service rather than kept as Qt's mask.
bool sentDirectly(const QWidget* window);

} // namespace WindowMask
