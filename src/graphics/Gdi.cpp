#include "Gdi.h"

#include <QtEndian>
#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_map>

namespace gdi {

namespace {

struct RegionTable
{
    std::unordered_map<HRGN, RegionData> regions;
    HRGN nextHandle = 1;
};

RegionTable& table()
{
    static RegionTable instance;
    return instance;
}

RegionData* find(HRGN region)
{
    auto& regions = table().regions;
    const auto it = regions.find(region);
    return it == regions.end() ? nullptr : &it->second;
}

int kind(const RegionData& data)
{
    if (data.isEmpty()) {
        return NULLREGION;
    }
    return data.rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool isWholeNumber(float v)
{
    return std::isfinite(v) && std::floor(v) == v && std::fabs(v) < 2147483648.0f;
}

} // namespace

HRGN createRegion(RegionData data)
{
    RegionTable& t = table();
    while (t.regions.count(t.nextHandle) != 0 || t.nextHandle <= 0) {
        t.nextHandle = t.nextHandle == std::numeric_limits<HRGN>::max() ? 1 : t.nextHandle + 1;
    }
    const HRGN handle = t.nextHandle;
    t.nextHandle = handle == std::numeric_limits<HRGN>::max() ? 1 : handle + 1;
    t.regions.emplace(handle, std::move(data));
    return handle;
}

bool isRegion(HRGN region)
{
    return find(region) != nullptr;
}

const RegionData* regionData(HRGN region)
{
    return find(region);
}

int liveRegionCount()
{
    return static_cast<int>(table().regions.size());
}

HRGN CreatePolyPolygonRgn(const POINT* points, const int32_t* counts, int32_t polygons,
                          int32_t fillMode)
{
    if (points == nullptr || counts == nullptr || polygons <= 0 ||
        (fillMode != ALTERNATE && fillMode != WINDING)) {
        return 0;
    }
    std::vector<RgnRect> rects;
    rects.reserve(static_cast<size_t>(polygons));
    const POINT* p = points;
    for (int32_t i = 0; i < polygons; ++i) {
        if (counts[i] != 4) {
            return 0;
        }
        // The four corners in either winding: x and y must each take two values,
        // with every edge parallel to an axis.
        const bool horizontalFirst =
            p[0].y == p[1].y && p[1].x == p[2].x && p[2].y == p[3].y && p[3].x == p[0].x;
        const bool verticalFirst =
            p[0].x == p[1].x && p[1].y == p[2].y && p[2].x == p[3].x && p[3].y == p[0].y;
        if (!horizontalFirst && !verticalFirst) {
            return 0;
        }
        rects.push_back({std::min(p[0].x, p[2].x), std::min(p[0].y, p[2].y),
                         std::max(p[0].x, p[2].x), std::max(p[0].y, p[2].y)});
        p += 4;
    }
    return createRegion(RegionData::fromRects(std::move(rects)));
}

HRGN CreateRectRgn(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    RgnRect r{std::min(left, right), std::min(top, bottom), std::max(left, right),
              std::max(top, bottom)};
    return createRegion(RegionData::fromRects({r}));
}

int CombineRgn(HRGN destination, HRGN source1, HRGN source2, int mode)
{
    RegionData* dst = find(destination);
    const RegionData* a = find(source1);
    if (dst == nullptr || a == nullptr) {
        return ERROR_REGION;
    }
    if (mode == RGN_COPY) {
        *dst = *a;
        return kind(*dst);
    }
    const RegionData* b = find(source2);
    if (b == nullptr) {
        return ERROR_REGION;
    }
    if (mode == RGN_OR) {
        *dst = a->united(*b);
        return kind(*dst);
    }
    if (mode == RGN_AND) {
        const QRegion both = a->toQRegion() & b->toQRegion();
        std::vector<RgnRect> rects;
        for (const QRect& r : both) {
            rects.push_back({r.left(), r.top(), r.right() + 1, r.bottom() + 1});
        }
        *dst = RegionData::fromRects(std::move(rects));
        return kind(*dst);
    }
    return ERROR_REGION;
}

int OffsetRgn(HRGN region, int32_t dx, int32_t dy)
{
    RegionData* data = find(region);
    if (data == nullptr) {
        return ERROR_REGION;
    }
    data->offset(dx, dy);
    return kind(*data);
}

uint32_t GetRegionData(HRGN region, uint32_t capacity, void* data)
{
    const RegionData* region_ = find(region);
    if (region_ == nullptr) {
        return 0;
    }
    const uint64_t count = region_->rects().size();
    const uint64_t size = RGNDATA_HEADER_SIZE + RGNDATA_RECT_SIZE * count;
    if (size > std::numeric_limits<uint32_t>::max()) {
        return 0;
    }
    if (data == nullptr) {
        return static_cast<uint32_t>(size);
    }
    if (capacity < size) {
        return 0;
    }
    auto* out = static_cast<unsigned char*>(data);
    const RgnRect bound = region_->bounds();
    qToLittleEndian<int32_t>(static_cast<int32_t>(RGNDATA_HEADER_SIZE), out + 0);
    qToLittleEndian<int32_t>(1, out + 4);
    qToLittleEndian<int32_t>(static_cast<int32_t>(count), out + 8);
    qToLittleEndian<int32_t>(static_cast<int32_t>(RGNDATA_RECT_SIZE * count), out + 12);
    qToLittleEndian<int32_t>(bound.left, out + 16);
    qToLittleEndian<int32_t>(bound.top, out + 20);
    qToLittleEndian<int32_t>(bound.right, out + 24);
    qToLittleEndian<int32_t>(bound.bottom, out + 28);
    unsigned char* p = out + RGNDATA_HEADER_SIZE;
    for (const RgnRect& r : region_->rects()) {
        qToLittleEndian<int32_t>(r.left, p + 0);
        qToLittleEndian<int32_t>(r.top, p + 4);
        qToLittleEndian<int32_t>(r.right, p + 8);
        qToLittleEndian<int32_t>(r.bottom, p + 12);
        p += RGNDATA_RECT_SIZE;
    }
    return static_cast<uint32_t>(size);
}

HRGN ExtCreateRegion(const XFORM* transform, uint32_t byteCount, const void* data)
{
    if (data == nullptr || byteCount < RGNDATA_HEADER_SIZE) {
        return 0;
    }
    const auto* in = static_cast<const unsigned char*>(data);
    const int32_t headerSize = qFromLittleEndian<int32_t>(in + 0);
    const int32_t type = qFromLittleEndian<int32_t>(in + 4);
    const int32_t count = qFromLittleEndian<int32_t>(in + 8);
    if (headerSize != static_cast<int32_t>(RGNDATA_HEADER_SIZE) || type != 1 || count < 0 ||
        static_cast<uint64_t>(headerSize) + RGNDATA_RECT_SIZE * static_cast<uint64_t>(count) >
            byteCount) {
        return 0;
    }
    int32_t dx = 0;
    int32_t dy = 0;
    if (transform != nullptr) {
        if (transform->eM11 != 1.0f || transform->eM12 != 0.0f || transform->eM21 != 0.0f ||
            transform->eM22 != 1.0f || !isWholeNumber(transform->eDx) ||
            !isWholeNumber(transform->eDy)) {
            return 0;
        }
        dx = static_cast<int32_t>(transform->eDx);
        dy = static_cast<int32_t>(transform->eDy);
    }
    std::vector<RgnRect> rects;
    rects.reserve(static_cast<size_t>(count));
    const unsigned char* p = in + headerSize;
    for (int32_t i = 0; i < count; ++i) {
        rects.push_back({qFromLittleEndian<int32_t>(p), qFromLittleEndian<int32_t>(p + 4),
                         qFromLittleEndian<int32_t>(p + 8), qFromLittleEndian<int32_t>(p + 12)});
        p += RGNDATA_RECT_SIZE;
    }
    RegionData region = RegionData::fromRects(std::move(rects));
    if (dx != 0 || dy != 0) {
        region.offset(dx, dy);
    }
    return createRegion(std::move(region));
}

bool DeleteObject(HRGN region)
{
    return table().regions.erase(region) != 0;
}

int SetRegion(HRGN destination, const RegionData& data)
{
    RegionData* dst = find(destination);
    if (dst == nullptr) {
        return ERROR_REGION;
    }
    *dst = data;
    return kind(*dst);
}

} // namespace gdi
