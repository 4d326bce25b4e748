#pragma once

#include "graphics/RegionData.h"

#include <pixman.h>
#include <vector>

// pixman keeps regions in the same canonical y-x banded form, so it can say which
// rectangles, in which order, a region of a given pixel set must have.
class PixmanRegion
{
public:
    PixmanRegion() { pixman_region32_init(&m_region); }
    // The union of any rectangles (empty ones are left out).
    explicit PixmanRegion(const std::vector<RgnRect>& rects)
    {
        std::vector<pixman_box32_t> boxes;
        for (const RgnRect& r : rects) {
            boxes.push_back({r.left, r.top, r.right, r.bottom});
        }
        pixman_region32_init_rects(&m_region, boxes.data(), static_cast<int>(boxes.size()));
    }
    PixmanRegion(const PixmanRegion&) = delete;
    PixmanRegion& operator=(const PixmanRegion&) = delete;
    ~PixmanRegion() { pixman_region32_fini(&m_region); }

    pixman_region32_t* get() { return &m_region; }

    std::vector<RgnRect> rects()
    {
        int count = 0;
        const pixman_box32_t* boxes = pixman_region32_rectangles(&m_region, &count);
        std::vector<RgnRect> out;
        for (int i = 0; i < count; ++i) {
            out.push_back({boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2});
        }
        return out;
    }

    RgnRect bounds()
    {
        const pixman_box32_t* box = pixman_region32_extents(&m_region);
        return pixman_region32_not_empty(&m_region) ? RgnRect{box->x1, box->y1, box->x2, box->y2}
                                                    : RgnRect{};
    }

private:
    pixman_region32_t m_region;
};
