#include "TestMain.h"

#include "PictureFiles.h"
#include "graphics/PictureFile.h"
#include "graphics/PictureSurface.h"
#include "graphics/Screen.h"
#include "platform/DisplayScale.h"

#include <QTemporaryDir>
#include <QTest>
#include <cmath>

// A scaled screen becomes a logical DPI, and a picture is shown at its own pixels
// times the scale. The picture cases run once per test screen (96, 144, 192 DPI).
class DisplayScaleTest : public QObject
{
    Q_OBJECT

private slots:
    void testFactor_data()
    {
        QTest::addColumn<QByteArray>("scaleFactor");
        QTest::addColumn<QByteArray>("screenFactors");
        QTest::addColumn<double>("expected");
        QTest::newRow("none") << QByteArray() << QByteArray() << 1.0;
        QTest::newRow("QT_SCALE_FACTOR") << QByteArray("1.5") << QByteArray() << 1.5;
        QTest::newRow("first screen of a list") << QByteArray() << QByteArray("2;1") << 2.0;
        QTest::newRow("first screen by name")
            << QByteArray() << QByteArray("DP-1=1.25;HDMI-1=2") << 1.25;
        QTest::newRow("both multiply") << QByteArray("1.5") << QByteArray("2") << 3.0;
        QTest::newRow("nonsense is 1") << QByteArray("big") << QByteArray("-2;x") << 1.0;
    }

    void testFactor()
    {
        QFETCH(QByteArray, scaleFactor);
        QFETCH(QByteArray, screenFactors);
        QFETCH(double, expected);
        QCOMPARE(DisplayScale::factor(scaleFactor, screenFactors), expected);
    }

    void testFontDpi()
    {
        QCOMPARE(DisplayScale::fontDpi(1.0, QByteArray(), 192), 0); // Qt takes Xft.dpi itself
        QCOMPARE(DisplayScale::fontDpi(1.5, QByteArray(), 0), 144);
        QCOMPARE(DisplayScale::fontDpi(1.25, QByteArray(), 0), 120);
        QCOMPARE(DisplayScale::fontDpi(1.5, QByteArray(), 192), 288);
        QCOMPARE(DisplayScale::fontDpi(2, QByteArray("110"), 192), 220);
    }

    void testXftDpi()
    {
        QCOMPARE(DisplayScale::xftDpi("Xft.antialias:\t1\nXft.dpi:\t192\n"), 192.0);
        QCOMPARE(DisplayScale::xftDpi("Xft.dpi: 144.5"), 144.5);
        QCOMPARE(DisplayScale::xftDpi("Xcursor.size: 48\n*dpi: 192\n"), 0.0);
        QCOMPARE(DisplayScale::xftDpi(QByteArray()), 0.0);
    }

    // A 3 x 2 picture with a key-coloured corner: every picture pixel becomes a block
    // of scale x scale device pixels (rounded sizes at 1.5), and no colour is made
    // up, so the outline scanned from it is exactly what is drawn.
    void testPictureShownAtItsPixelsTimesTheScale()
    {
        const uint32_t red = 0x0000FF, white = 0xFFFFFF, blue = 0xFF0000;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("picture.bmp"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(picturefiles::bmp(24, 3, 2, {}, {white, red, blue, red, red, red}, true));
        file.close();

        PictureSurface surface;
        QCOMPARE(surface.LoadPicture(path), PictureSurface::LoadResult::Loaded);
        const double scale = 15.0 / Screen::TwipsPerPixelX();
        const int width = qRound(3 * scale);
        const int height = qRound(2 * scale);
        QCOMPARE(surface.Image().width(), width);
        QCOMPARE(surface.Image().height(), height);
        const QList<uint32_t> top{white, red, blue};
        const bool whole = scale == std::floor(scale);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const auto colour = static_cast<uint32_t>(surface.Point(x, y));
                if (whole) {
                    const int sourceX = x / static_cast<int>(scale);
                    const int sourceY = y / static_cast<int>(scale);
                    QCOMPARE(colour, sourceY == 0 ? top[sourceX] : red);
                } else {
                    QVERIFY2(colour == white || colour == red || colour == blue,
                             qPrintable(QString::number(colour, 16)));
                }
            }
        }
        QCOMPARE(static_cast<uint32_t>(surface.Point(0, 0)), white);
        QCOMPARE(static_cast<uint32_t>(surface.Point(width - 1, 0)), blue);
        QCOMPARE(static_cast<uint32_t>(surface.Point(0, height - 1)), red);
    }

    // A chosen picture with transparency is shown scaled as well, its alpha kept
    // exactly (no half-transparent edge is made up).
    void testChosenPictureKeepsItsAlphaWhenScaled()
    {
        QImage image(4, 2, QImage::Format_ARGB32);
        image.fill(qRgba(0, 0, 0, 0));
        image.setPixel(1, 0, qRgba(10, 200, 30, 255));
        image.setPixel(2, 1, qRgba(10, 200, 30, 255));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("picture.png"));
        QVERIFY(image.save(path));

        QImage picture;
        QCOMPARE(PictureFile::read(path, picture), PictureSurface::LoadResult::Loaded);
        QCOMPARE(picture.size(), PictureSurface::shownSize(image.size()));
        const double scale = 15.0 / Screen::TwipsPerPixelX();
        QCOMPARE(picture.width(), qRound(4 * scale));
        int opaque = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const int alpha = qAlpha(picture.pixel(x, y));
                QVERIFY(alpha == 0 || alpha == 255);
                opaque += alpha == 255 ? 1 : 0;
            }
        }
        QVERIFY(opaque > 0);
        QCOMPARE(qAlpha(picture.pixel(0, 0)), 0);
    }
};

DESKWORD_TEST_MAIN(DisplayScaleTest)
#include "DisplayScaleTest.moc"
