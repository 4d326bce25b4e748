#include "ProgramState.h"
#include "TestMain.h"

#include "graphics/Gdi.h"
#include "graphics/Units.h"
#include "region/RegionNumbers.h"
#include "region/frm_RGN_Picture.h"

#include <QTest>
#include <memory>

namespace {

std::vector<RgnRect> rectsOf(gdi::HRGN region)
{
    const RegionData* data = gdi::regionData(region);
    return data ? data->rects() : std::vector<RgnRect>{};
}

} // namespace

class RegionNumbersTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ProgramState> state;

private slots:
    void init()
    {
        state = std::make_unique<ProgramState>();
        ensureRGNDataInit();
    }
    void cleanup() { state.reset(); }

    void testConversionsTruncateTowardZero_data()
    {
        QTest::addColumn<double>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("22") << 22.0 << 1;
        QTest::newRow("-20") << -20.0 << -1;
        QTest::newRow("7.5 rounds to 8 first") << 7.5 << 0;
        QTest::newRow("14") << 14.0 << 0;
        QTest::newRow("29") << 29.0 << 1;
        QTest::newRow("huge saturates") << 1e12 << 2147483647 / 15;
    }
    void testConversionsTruncateTowardZero()
    {
        QFETCH(double, twips);
        QFETCH(int, pixels);
        QCOMPARE(TwipToPixelX(twips), pixels);
        QCOMPARE(TwipToPixelY(twips), pixels);
        QCOMPARE(PixelToTwipX(TwipToPixelX(twips)), pixels * 15);
    }

    void testBadgeOutlineCoversExactlyThePlateOfItsPicture()
    {
        QCOMPARE(RGNDataInitFlag(), int16_t(-1));
        const QImage badge = frm_RGN_Picture::instance().pPicture(0)->Picture;
        QCOMPARE(badge.size(), QSize(59, 15));
        QCOMPARE(badge.pixel(0, 0), qRgb(255, 255, 255));
        QCOMPARE(badge.pixel(2, 1), qRgb(128, 128, 0));
        QCOMPARE(badge.pixel(2, 2), qRgb(255, 255, 0));
        const gdi::HRGN outline = RGNFromData(0);
        const QRegion shape = gdi::regionData(outline)->toQRegion();
        for (int y = 0; y < badge.height(); ++y) {
            for (int x = 0; x < badge.width(); ++x) {
                const bool plate = badge.pixel(x, y) != qRgb(255, 255, 255);
                QVERIFY2(shape.contains(QPoint(x, y)) == plate,
                         qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
            }
        }
        QCOMPARE(gdi::regionData(outline)->bounds(), (RgnRect{1, 1, 58, 14}));
        gdi::DeleteObject(outline);
    }

    void testOffsetsAreTwipsTruncatedToPixels()
    {
        const gdi::HRGN plain = RGNFromData(0, 0, 0);
        const gdi::HRGN moved = RGNFromData(0, 150, 300);
        const gdi::HRGN left = RGNFromData(0, -20, 0);
        std::vector<RgnRect> expected = rectsOf(plain);
        for (RgnRect& r : expected) {
            r = {r.left + 10, r.top + 20, r.right + 10, r.bottom + 20};
        }
        QCOMPARE(rectsOf(moved), expected);
        QCOMPARE(gdi::regionData(left)->bounds(), (RgnRect{0, 1, 57, 14}));
        for (gdi::HRGN h : {plain, moved, left}) {
            gdi::DeleteObject(h);
        }
        QVERIFY(state->messages.isEmpty());
    }

    void testUnreadableRecordEndsTheProgram()
    {
        QCOMPARE(RGNFromData(1, 0, 0), 0);
        QCOMPARE(state->messages,
                 QStringList{QStringLiteral("It failed in reading of region data.")});
        QCOMPARE(state->endCodes.size(), 1);
        QCOMPARE(gdi::liveRegionCount(), 0);
    }
};

DESKWORD_TEST_MAIN(RegionNumbersTest)
#include "RegionNumbersTest.moc"
