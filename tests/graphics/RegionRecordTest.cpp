#include "TestMain.h"

#include "graphics/Gdi.h"

#include <QByteArray>
#include <QTest>
#include <QtEndian>
#include <algorithm>
#include <optional>
#include <random>
#include <vector>

namespace {

int32_t field(const QByteArray& record, int offset)
{
    return qFromLittleEndian<int32_t>(record.constData() + offset);
}

void appendField(QByteArray& record, int32_t value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    record.append(bytes, 4);
}

QByteArray exported(gdi::HRGN region)
{
    const uint32_t size = gdi::GetRegionData(region, 0, nullptr);
    QByteArray bytes(static_cast<qsizetype>(size), '\0');
    const uint32_t written = gdi::GetRegionData(region, size, bytes.data());
    return written == size ? bytes : QByteArray();
}

// A record in the exported layout: 32-byte header (header size, type 1, count,
// bytes of rectangles, bounding rectangle), then the rectangles. The count can be
// given to make a record whose header lies.
QByteArray record(const std::vector<RgnRect>& rects, std::optional<int32_t> count = {})
{
    RgnRect bound{0, 0, 0, 0};
    for (size_t i = 0; i < rects.size(); ++i) {
        const RgnRect& r = rects[i];
        bound = i == 0 ? r
                       : RgnRect{std::min(bound.left, r.left), std::min(bound.top, r.top),
                                 std::max(bound.right, r.right), std::max(bound.bottom, r.bottom)};
    }
    QByteArray out;
    for (int32_t v : {32, 1, count.value_or(static_cast<int32_t>(rects.size())),
                      static_cast<int32_t>(16 * rects.size()), bound.left, bound.top, bound.right,
                      bound.bottom}) {
        appendField(out, v);
    }
    for (const RgnRect& r : rects) {
        for (int32_t v : {r.left, r.top, r.right, r.bottom}) {
            appendField(out, v);
        }
    }
    return out;
}

gdi::HRGN regionOf(const std::vector<RgnRect>& rects)
{
    std::vector<gdi::POINT> points;
    std::vector<int32_t> counts;
    for (const RgnRect& r : rects) {
        points.insert(points.end(),
                      {{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}});
        counts.push_back(4);
    }
    return gdi::CreatePolyPolygonRgn(points.data(), counts.data(),
                                     static_cast<int32_t>(counts.size()), gdi::WINDING);
}

} // namespace

Q_DECLARE_METATYPE(std::vector<RgnRect>)

// Region data in the RGNDATA layout: what is exported, and what is accepted back.
class RegionRecordTest : public QObject
{
    Q_OBJECT

private slots:
    // Export, re-create from the record and export again: the same bytes, with a
    // header that describes the rectangles that follow.
    void testRecordRoundTripIsByteForByte()
    {
        std::mt19937 random(20240611);
        const gdi::XFORM identity;
        for (int round = 0; round < 300; ++round) {
            std::vector<RgnRect> rects(random() % 12);
            for (RgnRect& r : rects) {
                const auto x = static_cast<int32_t>(random() % 200) - 50;
                const auto y = static_cast<int32_t>(random() % 200) - 50;
                r = {x, y, x + static_cast<int32_t>(random() % 40),
                     y + static_cast<int32_t>(random() % 40)};
            }
            rects.push_back({0, 0, 0, 1}); // the zero-width rectangle every scan begins with
            const gdi::HRGN region = regionOf(rects);
            QVERIFY(region != 0);
            const QByteArray first = exported(region);
            const std::vector<RgnRect>& model = gdi::regionData(region)->rects();
            QVERIFY(std::none_of(model.begin(), model.end(), [](auto& r) { return r.isEmpty(); }));
            QCOMPARE(first, record(model));

            const gdi::HRGN copy = gdi::ExtCreateRegion(
                &identity, static_cast<uint32_t>(field(first, 0) + field(first, 12)),
                first.constData());
            QVERIFY(copy != 0);
            QCOMPARE(exported(copy), first);
            QVERIFY(gdi::DeleteObject(copy));
            QVERIFY(gdi::DeleteObject(region));
        }
    }

    void testEmptyRegionIsAHeaderOnly_data()
    {
        QTest::addColumn<std::vector<RgnRect>>("rects");
        QTest::newRow("zero width away from the origin") << std::vector<RgnRect>{{5, 7, 5, 9}};
        QTest::newRow("the scan's zero-width start") << std::vector<RgnRect>{{0, 0, 0, 1}};
    }

    void testEmptyRegionIsAHeaderOnly()
    {
        QFETCH(std::vector<RgnRect>, rects);
        const gdi::HRGN region = regionOf(rects);
        QVERIFY(region != 0);
        QByteArray bytes(64, '\x55');
        QCOMPARE(gdi::GetRegionData(region, 64, bytes.data()), 32u);
        const QByteArray expected = record({});
        QCOMPARE(bytes.left(32), expected);
        QCOMPARE(bytes.mid(32), QByteArray(32, '\x55'));

        // Re-created, it is a region without pixels, not a failure.
        const gdi::HRGN copy = gdi::ExtCreateRegion(nullptr, 32, bytes.constData());
        QVERIFY(copy != 0);
        QVERIFY(gdi::regionData(copy)->isEmpty());
        gdi::DeleteObject(copy);
        gdi::DeleteObject(region);
    }

    void testExportTooSmallWritesNothing()
    {
        const gdi::HRGN region = regionOf({{0, 0, 4, 2}, {1, 2, 3, 5}});
        const uint32_t size = gdi::GetRegionData(region, 0, nullptr);
        QCOMPARE(size, 32u + 16u * 2u);
        QByteArray bytes(static_cast<qsizetype>(size) + 16, '\x33');
        const QByteArray untouched = bytes;
        for (uint32_t capacity : {0u, 1u, 31u, 32u, size - 1}) {
            QCOMPARE(gdi::GetRegionData(region, capacity, bytes.data()), 0u);
            QCOMPARE(bytes, untouched);
        }
        QCOMPARE(gdi::GetRegionData(region, size, bytes.data()), size);
        QCOMPARE(bytes.mid(size), QByteArray(16, '\x33'));
        QCOMPARE(gdi::GetRegionData(0, size, bytes.data()), 0u);
        gdi::DeleteObject(region);
        QCOMPARE(gdi::GetRegionData(region, size, bytes.data()), 0u);
    }

    void testRefusedRecords_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("byteCount");
        const QByteArray two = record({{0, 0, 2, 2}, {4, 0, 6, 2}});
        QByteArray wrongHeaderSize = two;
        qToLittleEndian<int32_t>(40, wrongHeaderSize.data());
        QByteArray wrongType = two;
        qToLittleEndian<int32_t>(2, wrongType.data() + 4);

        QTest::newRow("all zero") << QByteArray(64032, '\0') << 64032;
        QTest::newRow("more rectangles than bytes")
            << record({{0, 0, 2, 2}, {4, 0, 6, 2}}, 3) << 32 + 16 * 2;
        QTest::newRow("byte count one short") << two << 32 + 16 * 2 - 1;
        QTest::newRow("byte count below a header") << two << 31;
        QTest::newRow("negative count") << record({}, -1) << 32;
        QTest::newRow("count of 2^31 - 1") << record({{0, 0, 1, 1}}, 0x7FFFFFFF) << 48;
        QTest::newRow("header size 40") << wrongHeaderSize << static_cast<int>(two.size());
        QTest::newRow("type 2") << wrongType << static_cast<int>(two.size());
    }

    void testRefusedRecords()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, byteCount);
        const int live = gdi::liveRegionCount();
        QCOMPARE(gdi::ExtCreateRegion(nullptr, static_cast<uint32_t>(byteCount), bytes.constData()),
                 0);
        QCOMPARE(gdi::liveRegionCount(), live);
    }

    // Rectangles in any order, overlapping, touching or empty, under a wrong
    // bounding rectangle: the region holds their union, in canonical form.
    void testUnorderedRecordIsNormalised()
    {
        // Two 5 x 2 halves out of order, the 10 x 2 row below them, a duplicate, an
        // empty and an upside-down rectangle: together the 10 x 4 block at the origin.
        const QByteArray bytes = record(
            {{5, 0, 10, 2}, {0, 2, 10, 4}, {0, 0, 5, 2}, {2, 2, 8, 3}, {3, 3, 3, 9}, {9, 9, 1, 1}});
        const gdi::HRGN region =
            gdi::ExtCreateRegion(nullptr, static_cast<uint32_t>(bytes.size()), bytes.constData());
        QVERIFY(region != 0);
        QCOMPARE(exported(region), record({{0, 0, 10, 4}}));
        gdi::DeleteObject(region);
    }
};

DESKWORD_TEST_MAIN(RegionRecordTest)
#include "RegionRecordTest.moc"
