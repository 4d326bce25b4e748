#include "BandedRegionBuilder.h"

#include <algorithm>

void BandedRegionBuilder::endRow(int32_t y)
{
    const size_t rowEnd = m_rects.size();
    const size_t count = rowEnd - m_rowStart;
    if (count == 0) {
        return;
    }
    for (size_t i = m_rowStart; i < rowEnd; ++i) {
        m_rects[i].top = y;
        m_rects[i].bottom = y + 1;
    }
    const auto sameSpans = [](const RgnRect& a, const RgnRect& b) {
        return a.left == b.left && a.right == b.right;
    };
    const bool joins = m_bandStart < m_rowStart && m_rowStart - m_bandStart == count &&
                       m_rects[m_bandStart].bottom == y &&
                       std::equal(m_rects.begin() + static_cast<ptrdiff_t>(m_bandStart),
                                  m_rects.begin() + static_cast<ptrdiff_t>(m_rowStart),
                                  m_rects.begin() + static_cast<ptrdiff_t>(m_rowStart), sameSpans);
    if (joins) {
        for (size_t i = m_bandStart; i < m_rowStart; ++i) {
            m_rects[i].bottom = y + 1;
        }
        m_rects.resize(m_rowStart);
    } else {
        m_bandStart = m_rowStart;
        m_rowStart = rowEnd;
    }
}

RegionData BandedRegionBuilder::take()
{
    m_rects.resize(m_rowStart); // spans of a row that was never closed are dropped
    RegionData region = RegionData::fromCanonicalRects(std::move(m_rects));
    m_rects.clear();
    m_bandStart = 0;
    m_rowStart = 0;
    return region;
}
