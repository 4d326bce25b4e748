#pragma once

#include <QRegion>
#include <cstdint>
#include <vector>

// One rectangle of a region, in pixels; right and bottom are exclusive.
struct RgnRect
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool isEmpty() const { return left >= right || top >= bottom; }
    friend bool operator==(const RgnRect&, const RgnRect&) = default;
};

// A set of pixels kept in the canonical y-x banded form: each row's pixels are
// grouped into maximal spans, a band is a maximal run of consecutive rows with
// identical span lists, every span of a band is one rectangle, and rectangles are
// ordered by top, then left. Two regions with the same pixels therefore have the
// same rectangle list, and the list is the one the platform's region data holds.
class RegionData
{
public:
    RegionData() = default;

    // The union of any rectangles (overlapping, touching, empty or unordered).
    // Rectangles already in the canonical form are taken as they are, in one pass.
    static RegionData fromRects(std::vector<RgnRect> rects);
    // Whether the rectangles are in the canonical form described above.
    static bool isCanonical(const std::vector<RgnRect>& rects);

    const std::vector<RgnRect>& rects() const { return m_rects; }
    bool isEmpty() const { return m_rects.empty(); }
    // Smallest rectangle holding every pixel; all zero for an empty region.
    RgnRect bounds() const;

    RegionData united(const RegionData& other) const;
    // Moves every rectangle; coordinates saturate at the 32-bit range.
    void offset(int64_t dx, int64_t dy);

    QRegion toQRegion() const;

    friend bool operator==(const RegionData&, const RegionData&) = default;

private:
    friend class BandedRegionBuilder;
    // Takes rectangles that are known to be canonical.
    static RegionData fromCanonicalRects(std::vector<RgnRect>&& rects);

    std::vector<RgnRect> m_rects;
};
