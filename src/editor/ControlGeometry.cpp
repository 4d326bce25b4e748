#include "ControlGeometry.h"

#include "graphics/Units.h"

#include <QWidget>
#include <algorithm>

int twipLeft(const QWidget* control)
{
    return PixelToTwipX(control->x());
}

int twipTop(const QWidget* control)
{
    return PixelToTwipY(control->y());
}

int twipWidth(const QWidget* control)
{
    return PixelToTwipX(control->width());
}

int twipHeight(const QWidget* control)
{
    return PixelToTwipY(control->height());
}

void setTwipGeometry(QWidget* control, int left, int top, int width, int height)
{
    control->setGeometry(TwipToNearestPixelX(left), TwipToNearestPixelY(top),
                         std::max(0, TwipToNearestPixelX(width)),
                         std::max(0, TwipToNearestPixelY(height)));
}

void setTwipTop(QWidget* control, int top)
{
    control->move(control->x(), TwipToNearestPixelY(top));
}

int keepRowApart(const QList<QWidget*>& row, int leastGapPixels)
{
    int right = 0;
    bool first = true;
    for (QWidget* control : row) {
        const int width = std::max(control->width(), control->sizeHint().width());
        const int left = first ? control->x() : std::max(control->x(), right + leastGapPixels);
        control->setGeometry(left, control->y(), width, control->height());
        right = left + width;
        first = false;
    }
    return right;
}
