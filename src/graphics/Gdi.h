#pragma once

#include "RegionData.h"

#include <cstdint>

// Region handles and the region operations of the platform's graphics interface,
// over RegionData. A handle is a small positive integer (0 = no region) so that it
// can travel as decimal text in a window's Tag. Exported region data has the
// RGNDATA layout: a 32-byte header (dwSize = 32, iType = 1, nCount, nRgnSize =
// 16 * nCount, bounding rectangle), then nCount rectangles of four little-endian
// 32-bit integers (left, top, right, bottom).
namespace gdi {

using HRGN = int32_t;

struct POINT
{
    int32_t x;
    int32_t y;
};

struct XFORM
{
    float eM11 = 1.0f;
    float eM12 = 0.0f;
    float eM21 = 0.0f;
    float eM22 = 1.0f;
    float eDx = 0.0f;
    float eDy = 0.0f;
};

// Region kinds returned by the combining operations.
constexpr int ERROR_REGION = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

// Combine modes.
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_COPY = 5;

constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;

constexpr uint32_t RGNDATA_HEADER_SIZE = 32;
constexpr uint32_t RGNDATA_RECT_SIZE = 16;

// Polygons of four vertices that form axis-aligned rectangles, united. Any other
// polygon makes the call fail with 0: the program only ever builds rectangles.
HRGN CreatePolyPolygonRgn(const POINT* points, const int32_t* counts, int32_t polygons,
                          int32_t fillMode);
HRGN CreateRectRgn(int32_t left, int32_t top, int32_t right, int32_t bottom);
// RGN_OR, RGN_AND and RGN_COPY; the destination may be one of the sources.
int CombineRgn(HRGN destination, HRGN source1, HRGN source2, int mode);
int OffsetRgn(HRGN region, int32_t dx, int32_t dy);
// Exports the region's data. With data == nullptr returns the size needed. Returns
// 0, writing nothing, when the handle is not a region or capacity is too small.
uint32_t GetRegionData(HRGN region, uint32_t capacity, void* data);
// Creates a region from exported data of byteCount bytes; transform may be null or
// a pure translation. Returns 0 when the data does not describe a region.
HRGN ExtCreateRegion(const XFORM* transform, uint32_t byteCount, const void* data);
bool DeleteObject(HRGN region);

// Replaces the contents of an existing region with a copy of the data; returns the
// new region kind, or ERROR_REGION (nothing changed) when the handle is no region.
int SetRegion(HRGN destination, const RegionData& data);

// Read access for the window layer and the tests.
bool isRegion(HRGN region);
const RegionData* regionData(HRGN region);
HRGN createRegion(RegionData data);
int liveRegionCount();

} // namespace gdi
