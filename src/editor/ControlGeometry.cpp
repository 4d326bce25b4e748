#include "ControlGeometry.h"

#include "window/Window.h"

#include <QWidget>
#include <algorithm>

int twipLeft(const QWidget* control)
{
    return pixelsToTwipsX(control->x());
}

int twipTop(const QWidget* control)
{
    return pixelsToTwipsY(control->y());
}

int twipWidth(const QWidget* control)
{
    return pixelsToTwipsX(control->width());
}

int twipHeight(const QWidget* control)
{
    return pixelsToTwipsY(control->height());
}

void setTwipGeometry(QWidget* control, int left, int top, int width, int height)
{
    control->setGeometry(twipsToPixelsX(left), twipsToPixelsY(top),
                         std::max(0, twipsToPixelsX(width)), std::max(0, twipsToPixelsY(height)));
}

void setTwipTop(QWidget* control, int top)
{
    control->move(control->x(), twipsToPixelsY(top));
}
