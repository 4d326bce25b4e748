#include "WindowRgn.h"

#include "Window.h"

namespace gdi {

int SetWindowRgn(Window* window, HRGN region, bool redraw)
{
    if (window == nullptr || (region != 0 && !isRegion(region))) {
        return 0;
    }
    window->takeWindowRegion(region, redraw);
    return 1;
}

int GetWindowRgn(Window* window, HRGN destination)
{
    if (window == nullptr || !isRegion(destination) || window->windowRegion() == 0) {
        return ERROR_REGION;
    }
    const RegionData* own = regionData(window->windowRegion());
    if (own == nullptr) {
        return ERROR_REGION;
    }
    return SetRegion(destination, *own);
}

} // namespace gdi
