#include "RegionData.h"

#include "Rounding.h"

#include <QRect>
#include <algorithm>

namespace {

struct Span
{
    int32_t left;
    int32_t right;
    friend bool operator==(const Span&, const Span&) = default;
};

} // namespace

bool RegionData::isCanonical(const std::vector<RgnRect>& rects)
{
    const auto sameSpan = [](const RgnRect& a, const RgnRect& b) {
        return a.left == b.left && a.right == b.right;
    };
    size_t above = 0;    // first rectangle of the band above
    size_t aboveEnd = 0; // one past its last
    size_t i = 0;
    while (i < rects.size()) {
        const size_t start = i;
        const RgnRect& first = rects[start];
        if (first.isEmpty()) {
            return false;
        }
        // One band: the same rows, spans left to right with a gap between them.
        for (++i; i < rects.size() && rects[i].top == first.top; ++i) {
            const RgnRect& r = rects[i];
            if (r.bottom != first.bottom || r.left >= r.right || r.left <= rects[i - 1].right) {
                return false;
            }
        }
        // Below the band above, and not a copy of it where the two touch.
        if (aboveEnd > above) {
            const RgnRect& top = rects[above];
            if (first.top < top.bottom) {
                return false;
            }
            if (first.top == top.bottom && aboveEnd - above == i - start &&
                std::equal(rects.begin() + static_cast<ptrdiff_t>(above),
                           rects.begin() + static_cast<ptrdiff_t>(aboveEnd),
                           rects.begin() + static_cast<ptrdiff_t>(start), sameSpan)) {
                return false;
            }
        }
        above = start;
        aboveEnd = i;
    }
    return true;
}

RegionData RegionData::fromCanonicalRects(std::vector<RgnRect>&& rects)
{
    RegionData result;
    result.m_rects = std::move(rects);
    return result;
}

RegionData RegionData::fromRects(std::vector<RgnRect> rects)
{
    if (isCanonical(rects)) {
        return fromCanonicalRects(std::move(rects));
    }
    std::erase_if(rects, [](const RgnRect& r) { return r.isEmpty(); });
    RegionData result;
    if (rects.empty()) {
        return result;
    }
    std::sort(rects.begin(), rects.end(), [](const RgnRect& a, const RgnRect& b) {
        return a.top != b.top ? a.top < b.top : a.left < b.left;
    });

    std::vector<int32_t> ys;
    ys.reserve(rects.size() * 2);
    for (const RgnRect& r : rects) {
        ys.push_back(r.top);
        ys.push_back(r.bottom);
    }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

    // Sweep down the distinct y boundaries, keeping the rectangles that cover the
    // current strip; merge their x extents into spans and coalesce equal strips.
    std::vector<const RgnRect*> active;
    std::vector<Span> spans;
    std::vector<Span> previousSpans;
    int32_t previousBottom = 0;
    size_t bandStart = 0; // index in result.m_rects of the previous band's first rectangle
    size_t next = 0;
    for (size_t k = 0; k + 1 < ys.size(); ++k) {
        const int32_t y0 = ys[k];
        const int32_t y1 = ys[k + 1];
        std::erase_if(active, [y0](const RgnRect* r) { return r->bottom <= y0; });
        while (next < rects.size() && rects[next].top == y0) {
            active.push_back(&rects[next]);
            ++next;
        }
        spans.clear();
        for (const RgnRect* r : active) {
            spans.push_back({r->left, r->right});
        }
        std::sort(spans.begin(), spans.end(),
                  [](const Span& a, const Span& b) { return a.left < b.left; });
        size_t merged = 0;
        for (size_t i = 0; i < spans.size(); ++i) {
            if (merged > 0 && spans[i].left <= spans[merged - 1].right) {
                spans[merged - 1].right = std::max(spans[merged - 1].right, spans[i].right);
            } else {
                spans[merged++] = spans[i];
            }
        }
        spans.resize(merged);
        if (spans.empty()) {
            continue;
        }
        if (!previousSpans.empty() && previousBottom == y0 && spans == previousSpans) {
            for (size_t i = bandStart; i < result.m_rects.size(); ++i) {
                result.m_rects[i].bottom = y1;
            }
        } else {
            bandStart = result.m_rects.size();
            for (const Span& s : spans) {
                result.m_rects.push_back({s.left, y0, s.right, y1});
            }
            previousSpans = spans;
        }
        previousBottom = y1;
    }
    return result;
}

RgnRect RegionData::bounds() const
{
    if (m_rects.empty()) {
        return {};
    }
    RgnRect b = m_rects.front();
    for (const RgnRect& r : m_rects) {
        b.left = std::min(b.left, r.left);
        b.right = std::max(b.right, r.right);
    }
    b.bottom = m_rects.back().bottom;
    return b;
}

RegionData RegionData::united(const RegionData& other) const
{
    if (other.isEmpty()) {
        return *this;
    }
    if (isEmpty()) {
        return other;
    }
    std::vector<RgnRect> all = m_rects;
    all.insert(all.end(), other.m_rects.begin(), other.m_rects.end());
    return fromRects(std::move(all));
}

void RegionData::offset(int64_t dx, int64_t dy)
{
    // Any move of 2^33 or more takes every coordinate out of the 32-bit range; moves
    // are limited to that so that the sums below cannot overflow.
    constexpr int64_t farEnough = int64_t(1) << 33;
    dx = std::clamp(dx, -farEnough, farEnough);
    dy = std::clamp(dy, -farEnough, farEnough);
    bool clipped = false;
    const auto move = [&clipped](int32_t v, int64_t d) {
        const int64_t moved = v + d;
        const int32_t kept = saturateInt32(moved);
        clipped = clipped || kept != moved;
        return kept;
    };
    for (RgnRect& r : m_rects) {
        r = {move(r.left, dx), move(r.top, dy), move(r.right, dx), move(r.bottom, dy)};
    }
    // Pixels pushed past the end of the range are cut off. That can empty rectangles,
    // and it can also make neighbouring bands equal (two rows whose spans differed
    // only beyond the edge): rebuild the canonical form whenever anything was cut.
    if (clipped) {
        *this = fromRects(std::move(m_rects));
    }
}

QRegion RegionData::toQRegion() const
{
    std::vector<QRect> qrects;
    qrects.reserve(m_rects.size());
    for (const RgnRect& r : m_rects) {
        qrects.emplace_back(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
    }
    QRegion region;
    region.setRects(qrects.data(), static_cast<int>(qrects.size()));
    return region;
}
