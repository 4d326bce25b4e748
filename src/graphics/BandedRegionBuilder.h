#pragma once

#include "RegionData.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Builds a region row by row, top to bottom, straight into the canonical banded
// form: a row with the same spans as the row above joins that row's band, so no
// sorting or sweeping is needed after the last row. Spans of one row must come left
// to right, each non-empty and separated from the next by at least one pixel (as a
// scan of runs gives them).
//
// One pass: a row is compared with the open band's spans as a whole (one memcmp),
// and the band's rectangles are written once, when it ends.
class BandedRegionBuilder
{
public:
    // Adds row y, whose spans are `values` numbers: left, right, left, right, ...
    // Rows come in increasing y.
    void addRow(int32_t y, const int32_t* spans, size_t values);

    // The same one span at a time: the spans added since the last endRow form row y.
    void addSpan(int32_t left, int32_t right)
    {
        m_row.push_back(left);
        m_row.push_back(right);
    }
    void endRow(int32_t y);

    // Rectangles of the region so far; it never decreases as rows are added.
    size_t rectCount() const { return m_rects.size() + m_band.size() / 2; }
    RegionData take();

private:
    // Writes the open band's rectangles and leaves no band open.
    void closeBand();

    std::vector<RgnRect> m_rects; // the bands closed so far
    std::vector<int32_t> m_band;  // spans of the open band (empty: none open)
    int32_t m_bandTop = 0;
    int32_t m_bandBottom = 0;
    std::vector<int32_t> m_row; // spans given one at a time
};
