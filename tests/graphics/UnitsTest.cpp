#include "TestMain.h"

#include "graphics/Screen.h"
#include "graphics/Units.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

// Twip/pixel conversions on screens of 96, 144 and 192 DPI (the same test runs once
// per DPI): twips per pixel is the exact ratio 1440 / DPI, and no conversion rounds
// it to a whole number.
class UnitsTest : public QObject
{
    Q_OBJECT

    static int dpi() { return qRound(QGuiApplication::primaryScreen()->logicalDotsPerInchY()); }

private slots:
    void testTwipsPerPixelIsTheExactRatio()
    {
        const int expected = qEnvironmentVariableIntValue("DESKWORD_TEST_DPI");
        QCOMPARE(dpi(), expected > 0 ? expected : 96);
        QCOMPARE(Screen::TwipsPerPixelX(), 1440.0 / dpi());
        QCOMPARE(Screen::TwipsPerPixelY(), 1440.0 / dpi());
        // The screen's size in twips is its physical size: 1280 pixels at the DPI.
        QCOMPARE(Screen::Width(), qRound(1280 * 1440.0 / dpi()));
    }

    void testConversions_data()
    {
        QTest::addColumn<double>("twips");
        QTest::addColumn<int>("pixels");  // TwipToPixel, truncated toward zero
        QTest::addColumn<int>("snapped"); // PixelToTwip of that
        switch (dpi()) {
        case 96: // 15 twips per pixel
            QTest::newRow("22") << 22.0 << 1 << 15;
            QTest::newRow("-20") << -20.0 << -1 << -15;
            QTest::newRow("14") << 14.0 << 0 << 0;
            QTest::newRow("29") << 29.0 << 1 << 15;
            QTest::newRow("7.5") << 7.5 << 0 << 0;
            break;
        case 144: // 10 twips per pixel
            QTest::newRow("29") << 29.0 << 2 << 20;
            QTest::newRow("30") << 30.0 << 3 << 30;
            QTest::newRow("-25") << -25.0 << -2 << -20;
            QTest::newRow("9") << 9.0 << 0 << 0;
            break;
        case 192: // 7.5 twips per pixel, not 8
            QTest::newRow("15") << 15.0 << 2 << 15;
            QTest::newRow("22 = 3 pixels stored") << 22.0 << 3 << 22;
            QTest::newRow("21") << 21.0 << 2 << 15;
            QTest::newRow("-30") << -30.0 << -4 << -30;
            QTest::newRow("1500") << 1500.0 << 200 << 1500;
            QTest::newRow("right-button-up") << 517 * 7.5 << 517 << 3878;
            break;
        default:
            QFAIL("no table for this DPI");
        }
    }

    void testConversions()
    {
        QFETCH(double, twips);
        QFETCH(int, pixels);
        QFETCH(int, snapped);
        QCOMPARE(TwipToPixelX(twips), pixels);
        QCOMPARE(TwipToPixelY(twips), pixels);
        QCOMPARE(PixelToTwipX(TwipToPixelX(twips)), snapped);
        QCOMPARE(PixelToTwipY(TwipToPixelY(twips)), snapped);
    }

    // Every pixel position survives the way through twips, by the truncating
    // conversion (TwipToPixel) and by the rounding one (TwipToNearestPixel) alike, so
    // a piece's outline and its picture land on the same pixel.
    void testPixelsComeBackFromTwips()
    {
        for (int p = -400; p <= 400; ++p) {
            const int twipsX = PixelToTwipX(p);
            const int twipsY = PixelToTwipY(p);
            QCOMPARE(TwipToPixelX(twipsX), p);
            QCOMPARE(TwipToPixelY(twipsY), p);
            QCOMPARE(TwipToNearestPixelX(twipsX), p);
            QCOMPARE(TwipToNearestPixelY(twipsY), p);
        }
    }

    // The tray's mouse message comes as the message number in twips; every message
    // comes back whole.
    void testMouseMessagesComeBack()
    {
        for (int message = 512; message <= 521; ++message) {
            QCOMPARE(TwipToPixelX(message * Screen::TwipsPerPixelX()), message);
        }
    }
};

DESKWORD_TEST_MAIN(UnitsTest)
#include "UnitsTest.moc"
