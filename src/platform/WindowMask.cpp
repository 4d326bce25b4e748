#include "WindowMask.h"

#include "Platform.h"
#include "WindowMaskX11.h"

#include <QRegion>
#include <QWidget>

bool WindowMask::sentDirectly(const QWidget* window)
{
    return window != nullptr && window->isWindow() && Platform::isX11() &&
           WindowMaskX11::available();
}

void WindowMask::set(QWidget* window, const QRegion& shape)
{
    if (window == nullptr) {
        return;
    }
    if (sentDirectly(window) && WindowMaskX11::set(window, shape)) {
        return;
    }
    // An empty mask would mean "no mask" to Qt and show the whole window; a one-pixel
    // mask outside the window leaves nothing of it visible.
    window->setMask(shape.isEmpty() ? QRegion(-1, -1, 1, 1) : shape);
}

void WindowMask::clear(QWidget* window)
{
    if (window == nullptr) {
        return;
    }
    if (sentDirectly(window) && WindowMaskX11::clear(window)) {
        return;
    }
    window->clearMask();
}
