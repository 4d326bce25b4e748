#include "BandedRegionBuilder.h"

#include <cstring>

void BandedRegionBuilder::addRow(int32_t y, const int32_t* spans, size_t values)
{
    if (!m_band.empty() && y == m_bandBottom && values == m_band.size() &&
        std::memcmp(spans, m_band.data(), values * sizeof(int32_t)) == 0) {
        m_bandBottom = y + 1;
        return;
    }
    closeBand();
    m_band.assign(spans, spans + values);
    m_bandTop = y;
    m_bandBottom = y + 1;
}

void BandedRegionBuilder::endRow(int32_t y)
{
    addRow(y, m_row.data(), m_row.size());
    m_row.clear();
}

void BandedRegionBuilder::closeBand()
{
    for (size_t i = 0; i + 1 < m_band.size(); i += 2) {
        m_rects.push_back({m_band[i], m_bandTop, m_band[i + 1], m_bandBottom});
    }
    m_band.clear();
}

RegionData BandedRegionBuilder::take()
{
    closeBand();
    m_row.clear(); // spans of a row that was never closed are dropped
    RegionData region = RegionData::fromCanonicalRects(std::move(m_rects));
    m_rects.clear();
    return region;
}
