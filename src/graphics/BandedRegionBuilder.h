#pragma once

#include "RegionData.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Builds a region row by row, top to bottom, straight into the canonical banded
// form: each row's spans are joined to the band above when that band ends on the
// row before and has the same spans, so no sorting or sweeping is needed after the
// last row. Spans of one row must come left to right, each non-empty and separated
// from the next by at least one pixel (as a scan of runs gives them).
class BandedRegionBuilder
{
public:
    void addSpan(int32_t left, int32_t right) { m_rects.push_back({left, 0, right, 0}); }
    // Closes row y: the spans added since the last call belong to it.
    void endRow(int32_t y);
    // Rectangles of the region so far; it never decreases as rows are added.
    size_t rectCount() const { return m_rects.size(); }
    RegionData take();

private:
    std::vector<RgnRect> m_rects;
    size_t m_bandStart = 0; // first rectangle of the last band
    size_t m_rowStart = 0;  // first span of the row being added
};
