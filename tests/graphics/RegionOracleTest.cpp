#include "TestMain.h"

#include "PixmanRegion.h"
#include "graphics/BandedRegionBuilder.h"
#include "graphics/Gdi.h"

#include <QTest>
#include <algorithm>
#include <limits>
#include <random>
#include <vector>

Q_DECLARE_METATYPE(std::vector<RgnRect>)

namespace {

constexpr int32_t min = std::numeric_limits<int32_t>::min();
constexpr int32_t max = std::numeric_limits<int32_t>::max();

// The rectangles of a region as its exported data lists them, and the bounding
// rectangle of the data's header.
struct Exported
{
    std::vector<RgnRect> rects;
    RgnRect bounds;
};

Exported exported(gdi::HRGN region)
{
    std::vector<int32_t> data(gdi::GetRegionData(region, 0, nullptr) / 4);
    gdi::GetRegionData(region, static_cast<uint32_t>(data.size() * 4), data.data());
    Exported out;
    out.bounds = {data[4], data[5], data[6], data[7]};
    for (size_t i = 8; i + 3 < data.size(); i += 4) {
        out.rects.push_back({data[i], data[i + 1], data[i + 2], data[i + 3]});
    }
    return out;
}

using Random = std::mt19937;

int below(Random& random, int n)
{
    return static_cast<int>(random() % static_cast<uint32_t>(n));
}

int between(Random& random, int low, int high)
{
    return low + below(random, high - low + 1);
}

// A random mask of up to 64 x 48 pixels: noise of a random density, blocks, or
// blocks with noise, so that both single rows and tall bands occur.
std::vector<bool> randomMask(Random& random, int width, int height)
{
    std::vector<bool> mask(static_cast<size_t>(width * height), false);
    const int style = below(random, 3);
    if (style != 0) {
        for (int n = between(random, 1, 6); n > 0; --n) {
            const int x0 = below(random, width);
            const int y0 = below(random, height);
            const int x1 = between(random, x0, width);
            const int y1 = between(random, y0, height);
            for (int y = y0; y < y1; ++y) {
                for (int x = x0; x < x1; ++x) {
                    mask[static_cast<size_t>(y * width + x)] = true;
                }
            }
        }
    }
    if (style != 1) {
        const int percent = below(random, 101);
        for (size_t i = 0; i < mask.size(); ++i) {
            if (below(random, 100) < percent / (style == 0 ? 1 : 8)) {
                mask[i] = !mask[i];
            }
        }
    }
    return mask;
}

// Runs of set pixels as one-pixel-high rectangles in row order, after the
// zero-width rectangle a scan always starts with.
std::vector<RgnRect> rowRuns(const std::vector<bool>& mask, int width, int height)
{
    std::vector<RgnRect> runs{{0, 0, 0, 1}};
    for (int y = 0; y < height; ++y) {
        int start = -1;
        for (int x = 0; x <= width; ++x) {
            const bool set = x < width && mask[static_cast<size_t>(y * width + x)];
            if (set && start < 0) {
                start = x;
            } else if (!set && start >= 0) {
                runs.push_back({start, y, x, y + 1});
                start = -1;
            }
        }
    }
    return runs;
}

// Any rectangles, overlapping or empty, some with negative coordinates.
std::vector<RgnRect> randomRects(Random& random)
{
    std::vector<RgnRect> rects(static_cast<size_t>(between(random, 1, 40)));
    for (RgnRect& r : rects) {
        const int x = between(random, -20, 60);
        const int y = between(random, -20, 40);
        r = {x, y, x + below(random, below(random, 4) == 0 ? 3 : 30),
             y + below(random, below(random, 4) == 0 ? 3 : 20)};
    }
    return rects;
}

// Rectangle polygons as the scan hands them over, or starting at any corner. All
// polygons of one region run the same way round (with WINDING, overlaps of
// opposite windings would cancel out).
gdi::HRGN polygonRegion(const std::vector<RgnRect>& rects, Random* corners)
{
    const int step = corners != nullptr && below(*corners, 2) == 1 ? 3 : 1;
    std::vector<gdi::POINT> points;
    std::vector<int32_t> counts;
    for (const RgnRect& r : rects) {
        const gdi::POINT ring[4] = {
            {r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}};
        const int start = corners != nullptr ? below(*corners, 4) : 0;
        for (int i = 0; i < 4; ++i) {
            points.push_back(ring[(start + step * i) % 4]);
        }
        counts.push_back(4);
    }
    return gdi::CreatePolyPolygonRgn(points.data(), counts.data(),
                                     static_cast<int32_t>(counts.size()), gdi::WINDING);
}

int expectedKind(const std::vector<RgnRect>& rects)
{
    return rects.empty() ? gdi::NULLREGION
                         : (rects.size() == 1 ? gdi::SIMPLEREGION : gdi::COMPLEXREGION);
}

} // namespace

// The region model against pixman: for thousands of random pixel sets the same
// rectangles in the same order, and the same bounding rectangle.
class RegionOracleTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_liveRegions = gdi::liveRegionCount(); }
    void cleanup() { QCOMPARE(gdi::liveRegionCount(), m_liveRegions); }

    void testPolygonsMatchPixman_data()
    {
        QTest::addColumn<bool>("scannedMasks");
        QTest::addColumn<int>("rounds");
        QTest::newRow("row runs of random masks") << true << 2000;
        QTest::newRow("overlapping rectangles, any first corner") << false << 1000;
    }

    void testPolygonsMatchPixman()
    {
        QFETCH(bool, scannedMasks);
        QFETCH(int, rounds);
        Random random(scannedMasks ? 1 : 2);
        for (int round = 0; round < rounds; ++round) {
            std::vector<RgnRect> rects;
            if (scannedMasks) {
                const int width = between(random, 1, 64);
                const int height = between(random, 1, 48);
                rects = rowRuns(randomMask(random, width, height), width, height);
            } else {
                rects = randomRects(random);
            }
            const gdi::HRGN region = polygonRegion(rects, scannedMasks ? nullptr : &random);
            QVERIFY(region != 0);
            PixmanRegion oracle(rects);
            const Exported data = exported(region);
            QCOMPARE(data.rects, oracle.rects());
            QCOMPARE(data.bounds, oracle.bounds());
            QCOMPARE(gdi::regionData(region)->bounds(), oracle.bounds());
            gdi::DeleteObject(region);
        }
    }

    void testRowByRowBandsMatchPixman()
    {
        Random random(7);
        for (int round = 0; round < 2000; ++round) {
            const int width = between(random, 1, 64);
            const int height = between(random, 1, 48);
            const std::vector<RgnRect> runs =
                rowRuns(randomMask(random, width, height), width, height);
            BandedRegionBuilder bands;
            size_t next = 1; // after the zero-width rectangle
            for (int y = 0; y < height; ++y) {
                for (; next < runs.size() && runs[next].top == y; ++next) {
                    bands.addSpan(runs[next].left, runs[next].right);
                }
                bands.endRow(y);
            }
            const size_t count = bands.rectCount();
            const RegionData built = bands.take();
            PixmanRegion oracle(runs);
            QCOMPARE(built.rects(), oracle.rects());
            QCOMPARE(count, oracle.rects().size());
            // pixman's form is the canonical one, and is taken as it is.
            QVERIFY(RegionData::isCanonical(oracle.rects()));
            QCOMPARE(RegionData::fromRects(oracle.rects()).rects(), oracle.rects());
            // Row runs are canonical only when no two touching rows are alike.
            QCOMPARE(RegionData::isCanonical({runs.begin() + 1, runs.end()}),
                     oracle.rects().size() == runs.size() - 1);
        }
    }

    void testCanonicalFormIsRecognised_data()
    {
        QTest::addColumn<std::vector<RgnRect>>("rects");
        QTest::addColumn<bool>("canonical");
        QTest::newRow("empty") << std::vector<RgnRect>{} << true;
        QTest::newRow("two bands apart")
            << std::vector<RgnRect>{{0, 0, 2, 1}, {5, 0, 6, 1}, {0, 2, 2, 3}} << true;
        QTest::newRow("touching bands that differ")
            << std::vector<RgnRect>{{0, 0, 2, 1}, {1, 1, 2, 3}} << true;
        QTest::newRow("touching bands that are alike")
            << std::vector<RgnRect>{{0, 0, 2, 1}, {0, 1, 2, 3}} << false;
        QTest::newRow("touching spans in a band")
            << std::vector<RgnRect>{{0, 0, 2, 1}, {2, 0, 4, 1}} << false;
        QTest::newRow("spans out of order")
            << std::vector<RgnRect>{{5, 0, 6, 1}, {0, 0, 2, 1}} << false;
        QTest::newRow("overlapping bands")
            << std::vector<RgnRect>{{0, 0, 2, 2}, {4, 1, 6, 3}} << false;
        QTest::newRow("one band of two heights")
            << std::vector<RgnRect>{{0, 0, 2, 1}, {4, 0, 6, 2}} << false;
        QTest::newRow("an empty rectangle") << std::vector<RgnRect>{{0, 0, 0, 1}} << false;
    }
    void testCanonicalFormIsRecognised()
    {
        QFETCH(std::vector<RgnRect>, rects);
        QFETCH(bool, canonical);
        QCOMPARE(RegionData::isCanonical(rects), canonical);
        // Either way the result is the union in canonical form.
        QCOMPARE(RegionData::fromRects(rects).rects(), PixmanRegion(rects).rects());
    }

    void testCombineMatchesPixman_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("RGN_OR into a third region") << gdi::RGN_OR << false;
        QTest::newRow("RGN_OR into the first source") << gdi::RGN_OR << true;
        QTest::newRow("RGN_AND into a third region") << gdi::RGN_AND << false;
    }

    void testCombineMatchesPixman()
    {
        QFETCH(int, mode);
        QFETCH(bool, inPlace);
        Random random(static_cast<uint32_t>(3 + mode));
        for (int round = 0; round < 250; ++round) {
            const int width = between(random, 1, 64);
            const int height = between(random, 1, 48);
            const std::vector<RgnRect> first =
                rowRuns(randomMask(random, width, height), width, height);
            const std::vector<RgnRect> second =
                below(random, 2) == 0 ? randomRects(random)
                                      : rowRuns(randomMask(random, width, height), width, height);
            const gdi::HRGN a = polygonRegion(first, nullptr);
            const gdi::HRGN b = polygonRegion(second, nullptr);
            const gdi::HRGN destination = inPlace ? a : gdi::CreateRectRgn(0, 0, 0, 0);
            const int kind = gdi::CombineRgn(destination, a, b, mode);

            PixmanRegion pa(first);
            PixmanRegion pb(second);
            PixmanRegion expected;
            if (mode == gdi::RGN_OR) {
                pixman_region32_union(expected.get(), pa.get(), pb.get());
            } else {
                pixman_region32_intersect(expected.get(), pa.get(), pb.get());
            }
            const std::vector<RgnRect> expectedRects = expected.rects();
            QCOMPARE(exported(destination).rects, expectedRects);
            QCOMPARE(exported(destination).bounds, expected.bounds());
            QCOMPARE(kind, expectedKind(expectedRects));
            if (!inPlace) {
                QCOMPARE(exported(a).rects, pa.rects()); // sources stay as they were
                gdi::DeleteObject(destination);
            }
            QCOMPARE(exported(b).rects, pb.rects());
            gdi::DeleteObject(a);
            gdi::DeleteObject(b);
        }
    }

    void testOffsetMatchesPixman_data()
    {
        QTest::addColumn<int32_t>("origin");
        QTest::addColumn<int32_t>("move");
        QTest::addColumn<int>("jitter");
        QTest::newRow("small moves") << 0 << 0 << 1000;
        // Pixels moved beyond the coordinate range are cut off, never wrapped round
        // to the other end.
        QTest::newRow("past the largest coordinate") << max - 100 << 0 << 100;
        QTest::newRow("past the smallest coordinate") << min + 100 << 0 << 100;
        QTest::newRow("wholly beyond the largest coordinate") << 1000 << max - 500 << 0;
    }

    void testOffsetMatchesPixman()
    {
        QFETCH(int32_t, origin);
        QFETCH(int32_t, move);
        QFETCH(int, jitter);
        Random random(static_cast<uint32_t>(5 + jitter));
        for (int round = 0; round < 250; ++round) {
            const int width = between(random, 1, 64);
            const int height = between(random, 1, 48);
            std::vector<RgnRect> rects = rowRuns(randomMask(random, width, height), width, height);
            for (RgnRect& r : rects) {
                r = {r.left + origin, r.top + origin, r.right + origin, r.bottom + origin};
            }
            const gdi::HRGN region = polygonRegion(rects, nullptr);
            const int32_t dx = move + between(random, -jitter, jitter);
            const int32_t dy = move + between(random, -jitter, jitter);
            const int kind = gdi::OffsetRgn(region, dx, dy);

            // pixman's own move wraps at the ends of the range: cut off first what
            // would leave it, then move.
            const auto low = [](int32_t d) {
                return static_cast<int32_t>(std::max<int64_t>(int64_t(min) - d, min));
            };
            const auto high = [](int32_t d) {
                return static_cast<int32_t>(std::min<int64_t>(int64_t(max) - d, max));
            };
            PixmanRegion source(rects);
            PixmanRegion expected;
            pixman_region32_intersect_rect(expected.get(), source.get(), low(dx), low(dy),
                                           static_cast<unsigned>(int64_t(high(dx)) - low(dx)),
                                           static_cast<unsigned>(int64_t(high(dy)) - low(dy)));
            pixman_region32_translate(expected.get(), dx, dy);

            const std::vector<RgnRect> expectedRects = expected.rects();
            QCOMPARE(exported(region).rects, expectedRects);
            QCOMPARE(exported(region).bounds, expected.bounds());
            QCOMPARE(kind, expectedKind(expectedRects));
            gdi::DeleteObject(region);
        }
        // The model itself takes 64-bit moves; the farthest ones leave nothing.
        RegionData far = RegionData::fromRects({{origin, origin, origin + 5, origin + 5}});
        far.offset(std::numeric_limits<int64_t>::max(), std::numeric_limits<int64_t>::min());
        QVERIFY(far.isEmpty());
    }

private:
    int m_liveRegions = 0;
};

DESKWORD_TEST_MAIN(RegionOracleTest)
#include "RegionOracleTest.moc"
