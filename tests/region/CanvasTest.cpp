#include "ProgramState.h"
#include "TestMain.h"

#include "forms/Window.h"
#include "graphics/Gdi.h"
#include "graphics/Screen.h"
#include "graphics/Units.h"
#include "region/Canvas.h"
#include "region/RegionNumbers.h"
#include "region/frm_RGN_Picture.h"
#include "shape/ShapeBuilder.h"

#include <QTest>
#include <memory>

namespace {

const QRgb white = qRgb(255, 255, 255);
const QRgb yellow = qRgb(255, 255, 0);
const QRgb olive = qRgb(128, 128, 0);

// Builds a picture shape of a filled square of the colour on white, as number 10 up.
int32_t squareShape(int size, QRgb colour)
{
    PictureSurface& surface = frm_RGN_Picture::instance().pWPicture;
    surface.setBackColor(0xFFFFFF);
    surface.setSizePixels(size + 2, size + 2);
    surface.Cls();
    QImage image(size + 2, size + 2, QImage::Format_RGB32);
    image.fill(white);
    for (int y = 1; y <= size; ++y) {
        for (int x = 1; x <= size; ++x) {
            image.setPixel(x, y, colour);
        }
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("square.bmp"));
    image.save(path, "BMP");
    return MakeRGNFromPicture(path, 0);
}

} // namespace

class CanvasTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ProgramState> state;
    std::unique_ptr<Window> canvas;
    int regionsBefore = 0;

private slots:
    void init()
    {
        state = std::make_unique<ProgramState>();
        regionsBefore = gdi::liveRegionCount();
        canvas = std::make_unique<Window>();
        canvas->setBackColor(0xFFFFFF);
        RGNCanvasInit(canvas.get(), 1, -1, -1);
    }
    void cleanup()
    {
        canvas.reset();
        QCOMPARE(gdi::liveRegionCount(), regionsBefore);
        state.reset();
    }

    void testPreparedCanvasCoversTheScreen()
    {
        QCOMPARE(canvas->Tag, QStringLiteral("0,1"));
        QCOMPARE(canvas->Left(), 0);
        QCOMPARE(canvas->Top(), 0);
        QCOMPARE(canvas->Width(), Screen::Width());
        QCOMPARE(canvas->Height(), FullScreenHeight());
        QCOMPARE(canvas->backBuffer().pixel(100, 100), white);
    }

    void testOffsetIsSnappedToWholePixelsAndWrittenBack()
    {
        int32_t x = 29;
        int32_t y = -20;
        RGNCanvasAdd(0, canvas.get(), x, y);
        QCOMPARE(x, 15);
        QCOMPARE(y, -15);
        // The badge picture lands at (1, -1): its top border row, without the corner
        // pixel, is the canvas's first row from column 3 on.
        QCOMPARE(canvas->backBuffer().pixel(3, 0), olive);
        QCOMPARE(canvas->backBuffer().pixel(2, 0), white);
        RGNCanvasApply(canvas.get());
    }

    void testPiecesUniteAndLaterOnesCoverEarlierOnes()
    {
        const int32_t red = squareShape(10, qRgb(255, 0, 0));
        const int32_t blue = squareShape(10, qRgb(0, 0, 255));
        int32_t x1 = 0, y1 = 0, x2 = 75, y2 = 75; // the second square 5 pixels lower right
        RGNCanvasAdd(red, canvas.get(), x1, y1);
        QVERIFY(canvas->Tag.endsWith(QStringLiteral(",1")));
        QVERIFY(canvas->Tag != QStringLiteral("0,1"));
        RGNCanvasAdd(blue, canvas.get(), x2, y2);
        // The first add cleared the back-buffer, the second did not.
        QCOMPARE(canvas->backBuffer().pixel(2, 2), qRgb(255, 0, 0));
        QCOMPARE(canvas->backBuffer().pixel(8, 8), qRgb(0, 0, 255));
        QCOMPARE(canvas->backBuffer().pixel(14, 14), qRgb(0, 0, 255));
        RGNCanvasApply(canvas.get());
        QCOMPARE(canvas->Tag, QStringLiteral("0,1"));
        const QRegion expected = QRegion(1, 1, 10, 10) | QRegion(6, 6, 10, 10);
        QVERIFY((canvas->mask() ^ expected).isEmpty());
        QCOMPARE(gdi::liveRegionCount(), regionsBefore + 1); // the window's own

        // The next pass starts from a clear back-buffer again.
        RGNCanvasAdd(blue, canvas.get(), x2, y2);
        QCOMPARE(canvas->backBuffer().pixel(2, 2), white);
        RGNCanvasApply(canvas.get());
        QVERIFY((canvas->mask() ^ QRegion(6, 6, 10, 10)).isEmpty());
        QCOMPARE(gdi::liveRegionCount(), regionsBefore + 1);
    }

    void testApplyWithNothingPendingRemovesTheShape()
    {
        int32_t x = 0, y = 0;
        RGNCanvasAdd(0, canvas.get(), x, y);
        RGNCanvasApply(canvas.get());
        QVERIFY(!canvas->mask().isEmpty());
        RGNCanvasApply(canvas.get());
        QVERIFY(canvas->mask().isEmpty());
        QCOMPARE(gdi::liveRegionCount(), regionsBefore);
    }

    void testModeFieldIsReadAsANumber()
    {
        canvas->Tag = QStringLiteral("0,01");
        int32_t x = 0, y = 0;
        RGNCanvasAdd(0, canvas.get(), x, y);
        QVERIFY(canvas->Tag.endsWith(QStringLiteral(",1")));
        QVERIFY(!canvas->Tag.endsWith(QStringLiteral(",01")));
        QCOMPARE(canvas->backBuffer().pixel(2, 2), yellow);
        RGNCanvasApply(canvas.get());
        QCOMPARE(canvas->Tag, QStringLiteral("0,1"));
    }

    void testOutlineOnlyAndFilledModes()
    {
        RGNCanvasInit(canvas.get(), 0, 3000, 1500);
        QCOMPARE(canvas->Width(), 3000);
        int32_t x = 0, y = 0;
        RGNCanvasAdd(0, canvas.get(), x, y);
        QCOMPARE(canvas->backBuffer().pixel(2, 2), white); // mode 0 draws nothing
        RGNCanvasApply(canvas.get());
        RGNCanvasInit(canvas.get(), 2, -1, -1);
        RGNCanvasAdd(0, canvas.get(), x, y, 0x0000FF);
        QCOMPARE(canvas->backBuffer().pixel(2, 2), qRgb(255, 0, 0));
        QCOMPARE(canvas->backBuffer().pixel(0, 0), white);
        RGNCanvasApply(canvas.get());
    }

    void testFigureSizedCanvasCoversOnlyItsFigure()
    {
        Window figure;
        figure.setBackColor(0xFFFFFF);
        figure.setSizedToFigure(true);
        RGNCanvasInit(&figure, 1, -1, -1);
        // Screen-sized as the program sees it; nothing screen-sized is allocated.
        QCOMPARE(figure.Width(), Screen::Width());
        QCOMPARE(figure.Height(), FullScreenHeight());
        QCOMPARE(figure.ScaleWidth(), Screen::Width());
        QCOMPARE(figure.backBuffer().size(), QSize(1, 1));

        const int32_t square = squareShape(20, yellow); // pixels (1, 1) to (20, 20)
        const auto place = [&](int px, int py) {
            int32_t x = PixelToTwipX(px);
            int32_t y = PixelToTwipY(py);
            RGNCanvasAdd(square, &figure, x, y);
            RGNCanvasApply(&figure);
        };
        place(100, 50);
        QCOMPARE(figure.size(), QSize(121, 71));
        QCOMPARE(figure.backBuffer().size(), QSize(121, 71));
        QCOMPARE(figure.backBuffer().pixel(110, 60), yellow);
        QCOMPARE(figure.backBuffer().pixel(100, 50), white);
        // The shape itself is where it was: window coordinates, as on the whole screen.
        QVERIFY((figure.mask() ^ QRegion(101, 51, 20, 20)).isEmpty());
        QCOMPARE(figure.Width(), Screen::Width());

        // A smaller figure shrinks the window and its back-buffer.
        place(0, 0);
        QCOMPARE(figure.size(), QSize(21, 21));
        QCOMPARE(figure.backBuffer().size(), QSize(21, 21));
        QCOMPARE(figure.backBuffer().pixel(10, 10), yellow);

        // A figure reaching past the screen's edge is cut there.
        const int screenWidth = TwipToPixelX(Screen::Width());
        place(screenWidth - 10, 0);
        QCOMPARE(figure.size(), QSize(screenWidth, 21));
        QCOMPARE(figure.backBuffer().width(), screenWidth);
        QCOMPARE(figure.backBuffer().pixel(screenWidth - 1, 10), yellow);
        QCOMPARE(figure.Width(), Screen::Width());
    }
};

DESKWORD_TEST_MAIN(CanvasTest)
#include "CanvasTest.moc"
