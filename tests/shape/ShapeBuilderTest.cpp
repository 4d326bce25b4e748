#include "ProgramState.h"
#include "TestMain.h"

#include "graphics/Gdi.h"
#include "region/RGNDataStore.h"
#include "region/RegionNumbers.h"
#include "region/frm_RGN_Picture.h"
#include "shape/PictureFileShape.h"
#include "shape/ShapeBuilder.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

std::vector<int32_t> recordWords(int32_t number, int count)
{
    const RGNRecord* record = RGNDataStore::instance().record(number - 10);
    std::vector<int32_t> words;
    for (int i = 0; record != nullptr && i < count; ++i) {
        int32_t v = 0;
        std::memcpy(&v, record->bytes.data() + 4 * i, 4);
        words.push_back(v);
    }
    return words;
}

// A white picture with black pixels where `black` says, saved as a BMP file.
QString writePicture(const QTemporaryDir& dir, const QString& name, int w, int h,
                     const std::function<bool(int, int)>& black)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            image.setPixel(x, y, black(x, y) ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        }
    }
    const QString path = dir.filePath(name);
    image.save(path, "BMP");
    return path;
}

} // namespace

class ShapeBuilderTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ProgramState> state;
    QTemporaryDir dir;

    // One run per row, alternating columns so that no two rows join into a band:
    // one rectangle per row.
    QString staircase(int rows)
    {
        return writePicture(dir, QStringLiteral("stairs%1.bmp").arg(rows), 3, rows,
                            [](int x, int y) { return x == 1 + y % 2; });
    }

private slots:
    void init() { state = std::make_unique<ProgramState>(); }
    void cleanup() { state.reset(); }

    void testFreeNumberSkipsHoldersFromTen_data()
    {
        QTest::addColumn<QList<int>>("holders");
        QTest::addColumn<int>("expected");
        QTest::newRow("badge only") << QList<int>{} << 10;
        QTest::newRow("text only") << QList<int>{15} << 10;
        QTest::newRow("picture and text") << QList<int>{10, 15} << 11;
        QTest::newRow("three in a row") << QList<int>{10, 11, 12} << 13;
    }
    void testFreeNumberSkipsHoldersFromTen()
    {
        QFETCH(QList<int>, holders);
        QFETCH(int, expected);
        for (int h : holders) {
            LoadPictureHolder(h);
        }
        QCOMPARE(GetFreePictureIndex(), expected);
    }

    void testMissingFileKeepsItsNumberTaken()
    {
        QCOMPARE(MakeRGNFromPicture(dir.filePath(u"none.bmp"_s), 0), 0);
        const QString gif = dir.filePath(u"picture.gif"_s);
        QImage(4, 4, QImage::Format_RGB32).save(gif, "BMP"); // content decides the format
        QCOMPARE(MakeRGNFromPicture(gif, 0), 11);
        QVERIFY(state->messages.isEmpty());
        QCOMPARE(RGNDataStore::instance().size(), 2);
    }

    void testRecordBytesOfScannedRuns()
    {
        // Row 0: a pixel at 2; row 1: a run to the right border; rows 2-3: equal rows
        // that form one band.
        const QString path = writePicture(dir, u"runs.bmp"_s, 6, 4, [](int x, int y) {
            return (y == 0 && x == 2) || (y == 1 && x >= 3) || (y >= 2 && (x == 1 || x == 4));
        });
        QCOMPARE(MakeRGNFromPicture(path, 0), 10);
        const std::vector<int32_t> expected = {
            32, 1, 4, 64, 1, 0, 6, 4, // header: 4 rectangles, bounds
            2,  0, 3, 1,              // the single pixel
            3,  1, 6, 2,              // the run that reaches the right border ends at W
            1,  2, 2, 4,  4, 2, 5, 4, // two spans of a two-row band
        };
        QCOMPARE(recordWords(10, 24), expected);
        // Nothing after the last rectangle.
        QCOMPARE(RGNDataStore::instance().record(0)->bytes.size(), size_t(24 * 4));
        QCOMPARE(frm_RGN_Picture::instance().pPicture(10)->Picture.size(), QSize(6, 4));
        QVERIFY(frm_RGN_Picture::instance().pPicture(10)->Visible);
    }

    void testKeyColourIsTakenFromTopLeftPixel()
    {
        // All one colour: an empty but valid region.
        QCOMPARE(MakeRGNFromPicture(
                     writePicture(dir, u"plain.bmp"_s, 5, 5, [](int, int) { return false; }), 0),
                 10);
        QCOMPARE(recordWords(10, 4), (std::vector<int32_t>{32, 1, 0, 0}));
        // A figure covering pixel (0, 0): the shape is the white background instead.
        QCOMPARE(MakeRGNFromPicture(writePicture(dir, u"cover.bmp"_s, 3, 2,
                                                 [](int x, int y) { return x < 2 && y == 0; }),
                                    0),
                 11);
        QCOMPARE(recordWords(11, 16),
                 (std::vector<int32_t>{32, 1, 2, 32, 0, 0, 3, 2, 2, 0, 3, 1, 0, 1, 3, 2}));
    }

    void testShapesBeyondOneShapeRequestAreStored()
    {
        // Two runs a row, alternating columns: twice as many rectangles as rows, far
        // more than one X SHAPE request holds (32,765).
        const int rows = 20000;
        const QString path = writePicture(dir, u"twostairs.bmp"_s, 5, rows, [](int x, int y) {
            return x == 1 + y % 2 || x == 3 + y % 2;
        });
        const int rects = 2 * rows;
        QCOMPARE(MakeRGNFromPicture(path, 0), 10);
        QVERIFY(state->messages.isEmpty());
        const std::vector<int32_t> header = recordWords(10, 8);
        QCOMPARE(header, (std::vector<int32_t>{32, 1, rects, 16 * rects, 1, 0, 5, rows}));
        // The last rectangle is the last row's second run, and the region reads back whole.
        const std::vector<int32_t> all = recordWords(10, 8 + 4 * rects);
        QCOMPARE((std::vector<int32_t>(all.end() - 4, all.end())),
                 (std::vector<int32_t>{4, rows - 1, 5, rows}));
        const gdi::HRGN region = RGNFromData(10);
        QCOMPARE(gdi::regionData(region)->rects().size(), size_t(rects));
        gdi::DeleteObject(region);
    }

    void testPictureShapeBeyondItsLimitIsRefusedAndFreed()
    {
        QCOMPARE(MakeRGNFromPicture(
                     writePicture(dir, u"small.bmp"_s, 2, 1, [](int x, int) { return x == 1; }), 0),
                 10);
        const std::vector<int32_t> before = recordWords(10, 12);
        const QImage picture = frm_RGN_Picture::instance().pPicture(10)->Picture;

        // A checkerboard: a rectangle for every other pixel, just over the limit.
        const int side = 2897;
        QVERIFY(int64_t(side) * ((side + 1) / 2) > int64_t(MaxPictureShapeRects));
        QCOMPARE(MakeRGNFromPicture(writePicture(dir, u"checkers.bmp"_s, side, side,
                                                 [](int x, int y) { return (x + y) % 2 == 1; }),
                                    10),
                 0);
        // A picture's message goes on to say why: too detailed for a shape.
        QCOMPARE(state->messages, QStringList{pictureTooDetailedMessage()});
        // The previous shape stays whole: its record and its picture.
        QCOMPARE(recordWords(10, 12), before);
        QCOMPARE(frm_RGN_Picture::instance().pPicture(10)->Picture, picture);
        // The surface gave its memory back, and no region is left behind.
        const PictureSurface& surface = frm_RGN_Picture::instance().pWPicture;
        QCOMPARE(QSize(surface.ScaleWidth(), surface.ScaleHeight()), QSize(1, 1));
        QCOMPARE(gdi::liveRegionCount(), 0);
    }

    void testUnusableFilesGiveNoShapeAndAClearMessage()
    {
        const QString empty = dir.filePath(u"empty.bmp"_s);
        QFile(empty).open(QIODevice::WriteOnly);
        QCOMPARE(MakeRGNFromPicture(empty, 0), 0);
        QCOMPARE(state->messages.size(), 1);
        QVERIFY(state->messages.first().contains(empty));

        // A bitmap header that claims 60000 x 60000 pixels.
        QByteArray header("BM");
        header += QByteArray(8, '\0') + QByteArray::fromHex("36000000");
        header += QByteArray::fromHex("28000000"
                                      "60ea0000"
                                      "60ea0000"
                                      "0100"
                                      "1800");
        header += QByteArray(24, '\0');
        const QString huge = dir.filePath(u"huge.bmp"_s);
        QFile file(huge);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(header);
        file.close();
        state->messages.clear();
        QCOMPARE(MakeRGNFromPicture(huge, 0), 0);
        QCOMPARE(state->messages.size(), 1);
        QVERIFY(state->messages.first().contains(huge));
        QVERIFY(state->endCodes.isEmpty());
    }

    void testStoreGrowsToTheHighestNumberOnly()
    {
        QCOMPARE(MakeRGNFromText(QStringLiteral("x")), TextShapeNumber);
        QCOMPARE(RGNDataStore::instance().size(), 6);
        QCOMPARE(MakeRGNFromPicture(
                     writePicture(dir, u"p.bmp"_s, 2, 2, [](int x, int y) { return x == y; }), 0),
                 10);
        QCOMPARE(RGNDataStore::instance().size(), 6);
        QCOMPARE(MakeRGNFromText(QStringLiteral("y")), TextShapeNumber);
        QCOMPARE(RGNDataStore::instance().size(), 6);
        QCOMPARE(gdi::liveRegionCount(), 0);

        // Each record holds its shape's data and no room beyond it: numbers 11 to 14
        // were never built and cost a header of zeros; the picture's diagonal is two
        // rectangles.
        const auto recordSize = [](int32_t number) {
            return RGNDataStore::instance().record(number - 10)->bytes.size();
        };
        for (int32_t number = 11; number < TextShapeNumber; ++number) {
            QCOMPARE(recordSize(number), size_t(RGNRecordHeaderSize));
            QCOMPARE(recordWords(number, 8), std::vector<int32_t>(8, 0));
        }
        QCOMPARE(recordWords(10, 3)[2], 2);
        QCOMPARE(recordSize(10), size_t(RGNRecordHeaderSize + 2 * 16));
    }
};

DESKWORD_TEST_MAIN(ShapeBuilderTest)
#include "ShapeBuilderTest.moc"
