#include "FigurePlacement.h"

#include <algorithm>
#include <cstdint>

namespace {

// Gap between two ranges [a0, a1] and [b0, b1], 0 when they overlap.
int64_t gap(int a0, int a1, int b0, int b1)
{
    if (a1 < b0) {
        return int64_t{b0} - a1;
    }
    if (b1 < a0) {
        return int64_t{a0} - b1;
    }
    return 0;
}

// Start of a range of the given length moved by the shortest way into [lo, hi]; the
// start stays at lo when the range is longer.
int into(int start, int length, int lo, int hi)
{
    const int64_t last = int64_t{hi} - length + 1;
    return static_cast<int>(std::max<int64_t>(lo, std::min<int64_t>(start, last)));
}

} // namespace

std::optional<QPoint> FigurePlacement::recovered(const QRect& figure, const QList<QRect>& monitors)
{
    if (figure.isEmpty()) {
        return std::nullopt;
    }
    const QRect* nearest = nullptr;
    int64_t nearestDistance = 0;
    for (const QRect& monitor : monitors) {
        if (monitor.isEmpty()) {
            continue;
        }
        if (monitor.intersects(figure)) {
            return std::nullopt;
        }
        const int64_t dx = gap(figure.left(), figure.right(), monitor.left(), monitor.right());
        const int64_t dy = gap(figure.top(), figure.bottom(), monitor.top(), monitor.bottom());
        const int64_t distance = dx * dx + dy * dy;
        if (nearest == nullptr || distance < nearestDistance) {
            nearest = &monitor;
            nearestDistance = distance;
        }
    }
    if (nearest == nullptr) {
        return std::nullopt;
    }
    return QPoint(into(figure.left(), figure.width(), nearest->left(), nearest->right()),
                  into(figure.top(), figure.height(), nearest->top(), nearest->bottom()));
}
