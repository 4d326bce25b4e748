#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <optional>

// Where the figure on the desktop (the bounds of the text window's shape, in desktop
// pixels) goes when the monitors change.
class FigurePlacement
{
public:
    // The figure's new top-left corner when no part of it lies on any of the monitors:
    // the figure is moved, by the shortest way, wholly onto the nearest monitor (its
    // top-left part when it is larger than that monitor). Empty when some part of it
    // is on a monitor, or there are no monitors.
    static std::optional<QPoint> recovered(const QRect& figure, const QList<QRect>& monitors);
};
