#include "TestMain.h"

#include "forms/BackBuffer.h"
#include "forms/Window.h"
#include "forms/WindowRgn.h"
#include "graphics/Colors.h"
#include "graphics/Gdi.h"
#include "graphics/Units.h"

#include <QPainter>
#include <QTest>

namespace {

// A picture whose every pixel differs from its neighbours, so that a picture drawn
// one pixel off, or cut in the wrong place, shows.
QImage patterned(int width, int height, int seed)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.setPixel(x, y,
                             qRgb((x * 7 + seed) % 256, (y * 11 + seed) % 256, (x + y) % 256));
        }
    }
    return picture;
}

gdi::HRGN regionOf(const QRegion& area)
{
    const gdi::HRGN region = gdi::CreateRectRgn(0, 0, 0, 0);
    for (const QRect& rect : area) {
        const gdi::HRGN piece =
            gdi::CreateRectRgn(rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1);
        gdi::CombineRgn(region, region, piece, gdi::RGN_OR);
        gdi::DeleteObject(piece);
    }
    return region;
}

// Every pixel of an area that differs between two images, as "x,y" (empty: none).
QString differences(const QImage& shown, const QImage& expected, const QRegion& area)
{
    QStringList found;
    for (const QRect& rect : area) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                if (shown.pixel(x, y) != expected.pixel(x, y) && found.size() < 5) {
                    found << QStringLiteral("%1,%2").arg(x).arg(y);
                }
            }
        }
    }
    return found.join(QLatin1Char(' '));
}

const QColor background(250, 240, 200);

} // namespace

// A window keeps its drawing as steps, not pixels: whatever part of it is painted,
// whenever, must show exactly the pixels the drawing made.
class BackBufferTest : public QObject
{
    Q_OBJECT

private slots:
    void testWindowPaintsExactlyWhatWasDrawn()
    {
        const QImage first = patterned(90, 60, 0);
        const QImage second = patterned(70, 50, 99);
        const QRegion clip = QRegion(20, 15, 40, 10) + QRegion(30, 25, 50, 30);
        const QRegion filled = QRegion(60, 40, 30, 30) + QRegion(5, 90, 10, 10);

        Window window;
        window.resize(200, 120);
        window.setBackColor(bgrFromColor(background));
        window.setAutoRedraw(true);
        window.Cls();
        const gdi::HRGN clipRegion = regionOf(clip);
        window.SelectClipRgn(clipRegion);
        window.PaintPicture(first, PixelToTwipX(10), PixelToTwipY(10));
        window.SelectClipRgn(0);
        gdi::DeleteObject(clipRegion);
        window.PaintPicture(second, PixelToTwipX(50), PixelToTwipY(30));
        const gdi::HRGN fillRegion = regionOf(filled);
        window.FillRgn(fillRegion, 0x0000FF);
        gdi::DeleteObject(fillRegion);
        const QRegion shape = QRegion(0, 0, 120, 80) + QRegion(100, 60, 100, 60);
        QCOMPARE(gdi::SetWindowRgn(&window, regionOf(shape), true), 1);

        // The same drawing, straight onto one image.
        QImage expected(200, 120, QImage::Format_RGB32);
        expected.fill(background);
        QPainter p(&expected);
        p.save();
        p.setClipRegion(clip);
        p.drawImage(10, 10, first);
        p.restore();
        p.drawImage(50, 30, second);
        p.setClipRegion(filled);
        p.fillRect(expected.rect(), QColor(255, 0, 0));
        p.end();
        QCOMPARE(window.backBuffer(), expected);

        // The whole window painted, and parts of it (an expose of a strip, a corner
        // across the edge of a picture and of the fill).
        QCOMPARE(differences(window.grab().toImage(), expected, shape), QString());
        for (const QRect part : {QRect(0, 20, 200, 7), QRect(55, 35, 40, 40)}) {
            const QImage painted = window.grab(part).toImage();
            QCOMPARE(
                differences(painted, expected.copy(part),
                            shape.translated(-part.topLeft()) & QRect(QPoint(0, 0), part.size())),
                QString());
        }
    }

    void testDrawingOftenWithoutClearingShowsEveryDrawing()
    {
        Window window;
        window.resize(160, 100);
        window.setBackColor(bgrFromColor(background));
        window.setAutoRedraw(true);
        window.Cls();
        QImage expected(160, 100, QImage::Format_RGB32);
        expected.fill(background);
        QPainter p(&expected);
        // More drawings than a composition ever makes, each over the ones before.
        for (int i = 0; i < 100; ++i) {
            const QImage picture = patterned(20 + i % 7, 15, i);
            const QPoint at((i * 13) % 150, (i * 7) % 90);
            window.PaintPicture(picture, PixelToTwipX(at.x()), PixelToTwipY(at.y()));
            p.drawImage(at, picture);
        }
        p.end();
        QCOMPARE(window.backBuffer(), expected);
        QCOMPARE(differences(window.grab().toImage(), expected, window.rect()), QString());
    }

    void testGrowingKeepsTheDrawingAndCroppingDropsIt()
    {
        BackBuffer buffer;
        QVERIFY(buffer.toImage().isNull());
        buffer.grow(QSize(20, 20), Qt::white);
        const QImage picture = patterned(20, 20, 5);
        buffer.drawPicture(picture, QPoint(0, 0), QRegion(0, 0, 20, 20));
        buffer.fill(QRegion(0, 0, 100, 5), Qt::blue); // cut at the buffer's edge

        // New pixels take the colour it grows with; drawn ones stay.
        buffer.grow(QSize(30, 25), Qt::green);
        QImage image = buffer.toImage();
        QCOMPARE(image.size(), QSize(30, 25));
        QCOMPARE(image.pixel(3, 10), picture.pixel(3, 10));
        QCOMPARE(image.pixel(19, 4), qRgb(0, 0, 255));
        QCOMPARE(image.pixel(25, 4), qRgb(0, 255, 0)); // the fill did not reach here
        QCOMPARE(image.pixel(5, 22), qRgb(0, 255, 0));

        // What a crop drops does not come back when it grows again.
        buffer.crop(QSize(10, 10));
        buffer.grow(QSize(30, 25), Qt::red);
        image = buffer.toImage();
        QCOMPARE(image.pixel(9, 9), picture.pixel(9, 9));
        QCOMPARE(image.pixel(12, 9), qRgb(255, 0, 0));
        QCOMPARE(image.pixel(3, 12), qRgb(255, 0, 0));

        // A clear drops every drawing.
        buffer.clear(QSize(8, 8), Qt::black);
        image = buffer.toImage();
        QCOMPARE(image.size(), QSize(8, 8));
        QCOMPARE(image.pixel(2, 2), qRgb(0, 0, 0));
    }
};

DESKWORD_TEST_MAIN(BackBufferTest)
#include "BackBufferTest.moc"
