#include "PictureFiles.h"
#include "TestMain.h"

#include "ProgramState.h"
#include "graphics/BmpReader.h"
#include "graphics/Gdi.h"
#include "graphics/PictureSurface.h"
#include "graphics/RegionData.h"
#include "region/RegionNumbers.h"

#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using Result = PictureSurface::LoadResult;
Q_DECLARE_METATYPE(PictureSurface::LoadResult)

Q_DECLARE_METATYPE(picturefiles::GifImage)

namespace {

// Palette entries that differ in every index (blue runs down from 255).
QList<uint32_t> distinctPalette(int size)
{
    QList<uint32_t> palette;
    for (int i = 0; i < size; ++i) {
        palette.append(static_cast<uint32_t>((i * 37) & 0xFF) |
                       (static_cast<uint32_t>((i * 91) & 0xFF) << 8) |
                       (static_cast<uint32_t>(255 - i) << 16));
    }
    return palette;
}

uint32_t colourAt(int x, int y)
{
    return static_cast<uint32_t>((x * 53 + y * 131) & 0xFF) |
           (static_cast<uint32_t>((x * 17 ^ y * 29) & 0xFF) << 8) |
           (static_cast<uint32_t>(((x + y * 7) * 11) & 0xFF) << 16);
}

// The surface's pixels row by row, as 0x00BBGGRR values.
QList<uint32_t> pixelsOf(const PictureSurface& surface)
{
    QList<uint32_t> pixels;
    for (int y = 0; y < surface.ScaleHeight(); ++y) {
        for (int x = 0; x < surface.ScaleWidth(); ++x) {
            pixels.append(static_cast<uint32_t>(surface.Point(x, y)));
        }
    }
    return pixels;
}

} // namespace

// Loading BMP and GIF files into the scratch surface: the surface takes the file's
// size and reads back its exact colours; files it cannot use leave it as it was.
class PictureLoadTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        return picturefiles::write(m_dir.filePath(name), bytes);
    }

private slots:
    void testBmpLoadsAtItsSizeWithItsColours_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<bool>("topDown");
        QTest::newRow("1 bit") << 1 << false;
        QTest::newRow("4 bits") << 4 << false;
        QTest::newRow("8 bits") << 8 << false;
        QTest::newRow("24 bits") << 24 << false;
        QTest::newRow("32 bits") << 32 << false;
        QTest::newRow("24 bits, rows top-down") << 24 << true;
    }

    void testBmpLoadsAtItsSizeWithItsColours()
    {
        QFETCH(int, bits);
        QFETCH(bool, topDown);
        // 13 columns: no row is a whole number of 32-bit words, so every depth pads.
        const int width = 13;
        const int height = 5;
        const QList<uint32_t> palette = bits <= 8 ? distinctPalette(1 << bits) : QList<uint32_t>();
        QList<uint32_t> pixels;
        QList<uint32_t> expected;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (bits <= 8) {
                    const auto index = static_cast<uint32_t>((x * 7 + y * 3) % palette.size());
                    pixels.append(index);
                    expected.append(palette[index]);
                } else {
                    pixels.append(colourAt(x, y));
                    expected.append(colourAt(x, y));
                }
            }
        }
        const QString path =
            writeFile(QStringLiteral("picture%1.bmp").arg(bits),
                      picturefiles::bmp(bits, width, height, palette, pixels, topDown));

        PictureSurface surface;
        surface.CurrentX = 4;
        surface.CurrentY = 6;
        QCOMPARE(surface.LoadPicture(path), Result::Loaded);
        QCOMPARE(surface.ScaleWidth(), width);
        QCOMPARE(surface.ScaleHeight(), height);
        QCOMPARE(pixelsOf(surface), expected);
        QCOMPARE(surface.Point(width, 0), -1);
        QCOMPARE(surface.CurrentX, 0);
        QCOMPARE(surface.CurrentY, 0);
    }

    // Qt's readers refuse pictures above their own allocation limit (128 MiB by
    // default); a picture the surface can hold must load whatever that limit is.
    void testPictureLoadsPastTheReadersAllocationLimit()
    {
        const int width = 600;
        const int height = 500; // 1.2 MB as a 32-bit image
        QList<uint32_t> pixels;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                pixels.append(colourAt(x, y));
            }
        }
        const QString path = writeFile(QStringLiteral("large.bmp"),
                                       picturefiles::bmp(24, width, height, {}, pixels));
        const int previous = QImageReader::allocationLimit();
        QImageReader::setAllocationLimit(1);
        PictureSurface surface;
        const Result result = surface.LoadPicture(path);
        const int limitAfterwards = QImageReader::allocationLimit();
        QImageReader::setAllocationLimit(previous);

        QCOMPARE(result, Result::Loaded);
        QCOMPARE(limitAfterwards, 1);
        QCOMPARE(surface.ScaleWidth(), width);
        QCOMPARE(surface.ScaleHeight(), height);
        for (const QPoint& p : {QPoint(0, 0), QPoint(599, 0), QPoint(17, 250), QPoint(599, 499)}) {
            QCOMPARE(surface.Point(p.x(), p.y()), static_cast<int32_t>(colourAt(p.x(), p.y())));
        }
    }

    void testGifLoadsWithTransparentPixelsInBackColor_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("transparentIndex");
        QTest::newRow("transparent index 2") << QStringLiteral("picture.gif") << 2;
        QTest::newRow("no transparency") << QStringLiteral("opaque.gif") << -1;
        QTest::newRow("named .bmp, decided by content") << QStringLiteral("picture.bmp") << 2;
    }

    void testGifLoadsWithTransparentPixelsInBackColor()
    {
        QFETCH(QString, fileName);
        QFETCH(int, transparentIndex);
        const int width = 11;
        const int height = 4;
        const QList<uint32_t> palette = {0x0000FF, 0x00FF00, 0x804020, 0xFFFFFF};
        QList<int> pixels;
        for (int i = 0; i < width * height; ++i) {
            pixels.append((i / 3 + i % 5) % 4);
        }
        const QString path = writeFile(
            fileName, picturefiles::gif(width, height, palette, pixels, transparentIndex));

        PictureSurface surface;
        const uint32_t back = 0x563412;
        surface.setBackColor(back);
        QCOMPARE(surface.LoadPicture(path), Result::Loaded);
        QCOMPARE(surface.ScaleWidth(), width);
        QCOMPARE(surface.ScaleHeight(), height);
        int transparent = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const int index = pixels[y * width + x];
                const bool clear = index == transparentIndex;
                transparent += clear ? 1 : 0;
                QCOMPARE(surface.Point(x, y), static_cast<int32_t>(clear ? back : palette[index]));
            }
        }
        QCOMPARE(transparent > 0, transparentIndex >= 0);
    }

    // The images of a GIF's first frame are drawn together; what none of them covers
    // is background, like the gaps of run-length bitmaps. An image after a delay
    // belongs to a later frame.
    void testGifFrameImagesAndUnsetPixels_data()
    {
        const auto tile = [](int x, int y, int index, int delay = 0) {
            return picturefiles::GifImage{QRect(x, y, 16, 16), QList<int>(16 * 16, index), delay};
        };
        QTest::addColumn<QList<picturefiles::GifImage>>("images");
        QTest::addColumn<QList<int>>("tileColours"); // palette index per tile, -1: background
        QTest::newRow("four tiles")
            << QList{tile(0, 0, 0), tile(16, 0, 1), tile(0, 16, 2), tile(16, 16, 3)}
            << QList{0, 1, 2, 3};
        QTest::newRow("one image in the middle of the screen")
            << QList{picturefiles::GifImage{QRect(8, 8, 16, 16), QList<int>(16 * 16, 1)}}
            << QList<int>{};
        QTest::newRow("a later frame is not drawn")
            << QList{tile(0, 0, 1, 10), tile(16, 16, 2)} << QList{1, -1, -1, -1};
    }

    void testGifFrameImagesAndUnsetPixels()
    {
        QFETCH(QList<picturefiles::GifImage>, images);
        QFETCH(QList<int>, tileColours);
        const QList<uint32_t> palette = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000};
        const QString path = writeFile(QStringLiteral("tiles.gif"),
                                       picturefiles::gifOfImages(32, 32, palette, images));
        PictureSurface surface;
        const uint32_t back = 0x563412;
        surface.setBackColor(back);
        QCOMPARE(surface.LoadPicture(path), Result::Loaded);
        QCOMPARE(surface.ScaleWidth(), 32);
        QCOMPARE(surface.ScaleHeight(), 32);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                uint32_t expected = back;
                if (!tileColours.isEmpty()) {
                    const int index = tileColours[(y / 16) * 2 + x / 16];
                    expected = index < 0 ? back : palette[index];
                } else if (QRect(8, 8, 16, 16).contains(x, y)) {
                    expected = palette[1];
                }
                QCOMPARE(surface.Point(x, y), static_cast<int32_t>(expected));
            }
        }
    }

    // Bitmaps whose colour masks sit in the info header (52 and 56 bytes), and
    // BI_ALPHABITFIELDS, as some editors write them.
    void testBitmapsWithColourMasksInTheHeaderLoad_data()
    {
        QTest::addColumn<int>("infoSize");
        QTest::addColumn<uint32_t>("compression");
        QTest::addColumn<QList<uint32_t>>("masks");
        QTest::addColumn<uint32_t>("secondPixel"); // 0x00BBGGRR

        const uint32_t back = 0x563412;
        const QList<uint32_t> rgb = {0x00FF0000, 0x0000FF00, 0x000000FF};
        const QList<uint32_t> rgba = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
        QTest::newRow("52 bytes, bit fields") << 52 << 3u << rgb << 0xCCBBAAu;
        QTest::newRow("56 bytes, bit fields")
            << 56 << 3u << (rgb + QList<uint32_t>{0}) << 0xCCBBAAu;
        QTest::newRow("56 bytes, alpha bit fields") << 56 << 6u << rgba << back;
        QTest::newRow("40 bytes and four masks, alpha bit fields") << 40 << 6u << rgba << back;
    }
    void testBitmapsWithColourMasksInTheHeaderLoad()
    {
        QFETCH(int, infoSize);
        QFETCH(uint32_t, compression);
        QFETCH(QList<uint32_t>, masks);
        QFETCH(uint32_t, secondPixel);
        // Two 32-bit pixels, alpha in the high byte: an opaque one and a clear one.
        const QByteArray data("\x33\x22\x11\xFF\xCC\xBB\xAA\x00", 8);
        const QString path =
            writeFile(QStringLiteral("masks%1-%2.bmp").arg(infoSize).arg(compression),
                      picturefiles::bmpFromParts(infoSize, 32, compression, 2, 1, masks, {}, data));
        PictureSurface surface;
        surface.setBackColor(0x563412);
        QCOMPARE(surface.LoadPicture(path), Result::Loaded);
        QCOMPARE(surface.ScaleWidth(), 2);
        QCOMPARE(surface.ScaleHeight(), 1);
        QCOMPARE(surface.Point(0, 0), 0x332211);
        QCOMPARE(surface.Point(1, 0), static_cast<int32_t>(secondPixel));
    }

    // Run-length data that skips pixels leaves them in the background colour; an
    // index beyond the colour table is black.
    void testRunLengthBitmapsHaveEveryPixelDefined_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<uint32_t>("compression");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QList<uint32_t>>("expected");
        const uint32_t red = 0x0000FF;
        const uint32_t green = 0x00FF00;
        const uint32_t back = 0x563412;
        // Bottom row: two reds, end of line. Middle row: skip one, index 7, end of
        // line. Top row: absolute green, red, green (padded), end of bitmap.
        QTest::newRow("RLE8") << 8 << 1u << 4 << 3
                              << QByteArray("\x02\x00\x00\x00"
                                            "\x00\x02\x01\x00\x01\x07\x00\x00"
                                            "\x00\x03\x01\x00\x01\x00\x00\x01",
                                            20)
                              << QList<uint32_t>{green, red, green, back, //
                                                 back,  0,   back,  back, //
                                                 red,   red, back,  back};
        // One row of alternating indexes 1 and 2 (beyond the table), then the end.
        QTest::newRow("RLE4") << 4 << 2u << 5 << 1 << QByteArray("\x04\x12\x00\x01", 4)
                              << QList<uint32_t>{green, 0, green, 0, back};
    }
    void testRunLengthBitmapsHaveEveryPixelDefined()
    {
        QFETCH(int, bits);
        QFETCH(uint32_t, compression);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QByteArray, data);
        QFETCH(QList<uint32_t>, expected);
        const QString path =
            writeFile(QStringLiteral("rle%1.bmp").arg(bits),
                      picturefiles::bmpFromParts(40, bits, compression, width, height, {},
                                                 {0x0000FF, 0x00FF00}, data));
        PictureSurface surface;
        surface.setBackColor(0x563412);
        QCOMPARE(surface.LoadPicture(path), Result::Loaded);
        QCOMPARE(surface.ScaleWidth(), width);
        QCOMPARE(surface.ScaleHeight(), height);
        QCOMPARE(pixelsOf(surface), expected);
    }

    void testIndexBeyondTheColourTableIsBlack()
    {
        const QString path =
            writeFile(QStringLiteral("short-table.bmp"),
                      picturefiles::bmp(8, 3, 1, {0xFF0000, 0x00FF00}, {0, 200, 1}));
        PictureSurface surface;
        QCOMPARE(surface.LoadPicture(path), Result::Loaded);
        QCOMPARE(surface.Point(0, 0), 0xFF0000);
        QCOMPARE(surface.Point(1, 0), 0);
        QCOMPARE(surface.Point(2, 0), 0x00FF00);
    }

    // Every index of an indexed picture names a colour of its table.
    void testShortColourTableIsPaddedWithBlack()
    {
        QImage picture(3, 1, QImage::Format_Indexed8);
        picture.setColorTable({qRgb(255, 0, 0), qRgb(0, 255, 0)});
        bmpreader::padColourTable(picture);
        QCOMPARE(picture.colorTable().size(), 256);
        QCOMPARE(picture.color(1), qRgb(0, 255, 0));
        QCOMPARE(picture.color(255), qRgb(0, 0, 0));
    }

    // The same file gives the same pixels and shape whatever the heap held before:
    // nothing undefined reaches the surface.
    void testSameShapeWithAnyHeapContents_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QList<uint32_t> indexes;
        for (int i = 0; i < 16 * 8; ++i) {
            indexes.append(static_cast<uint32_t>(i % 7 == 0 ? 250 : i % 2));
        }
        // A full colour table: whatever index an unset pixel held would show.
        QTest::newRow("RLE8 with skips")
            << picturefiles::bmpFromParts(40, 8, 1, 16, 8, {}, distinctPalette(256),
                                          QByteArray("\x03\x01\x00\x02\x05\x03\x02\x09"
                                                     "\x00\x00\x04\x00\x00\x01",
                                                     14));
        QTest::newRow("indexes beyond the palette")
            << picturefiles::bmp(8, 16, 8, {0x0000FF, 0xFFFFFF}, indexes);
    }
    void testSameShapeWithAnyHeapContents()
    {
        QFETCH(QByteArray, bytes);
        const QString path = writeFile(QStringLiteral("heap.bmp"), bytes);
        QStringList outputs;
        for (int run = 1; run <= 10; ++run) {
            const int fill = run * 23;
            QProcess child;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            // glibc's allocator and AddressSanitizer's each fill new blocks with this.
            environment.insert(QStringLiteral("MALLOC_PERTURB_"), QString::number(fill));
            const QString asan = environment.value(QStringLiteral("ASAN_OPTIONS"));
            environment.insert(QStringLiteral("ASAN_OPTIONS"),
                               asan + QStringLiteral(":detect_leaks=0:malloc_fill_byte=%1"
                                                     ":max_malloc_fill_size=1000000000")
                                          .arg(fill));
            child.setProcessEnvironment(environment);
            child.start(QStringLiteral(PICTURE_SHAPE), {path});
            QVERIFY(child.waitForFinished(60000));
            QCOMPARE(child.exitStatus(), QProcess::NormalExit);
            QVERIFY2(child.exitCode() == 0, child.readAllStandardError().constData());
            outputs.append(QString::fromUtf8(child.readAllStandardOutput()));
        }
        QVERIFY(outputs.first().startsWith(QStringLiteral("number 10\n")));
        QVERIFY(outputs.first().contains(QStringLiteral("\nshape ")));
        for (const QString& output : std::as_const(outputs)) {
            QCOMPARE(output, outputs.first());
        }
    }

    // A GIF without any colour table decodes to pixels whose alpha byte is 0; they
    // are one colour all the same, so the picture has no shape.
    void testGifWithoutColourTableHasNoShape()
    {
        const ProgramState state;
        const QString path =
            writeFile(QStringLiteral("no-table.gif"), picturefiles::gifWithoutColourTable(4, 4));
        PictureSurface surface;
        QCOMPARE(surface.LoadPicture(path), Result::Loaded);
        QCOMPARE(surface.ScaleWidth(), 4);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                QCOMPARE(surface.Point(x, y), surface.Point(0, 0));
                QCOMPARE(qAlpha(surface.Image().pixel(x, y)), 255);
                QCOMPARE(reinterpret_cast<const QRgb*>(surface.Image().constScanLine(y))[x],
                         surface.Image().pixel(x, y));
            }
        }
        ensureRGNDataInit();
        const int32_t number = MakeRGNFromPicture(path, 0);
        QVERIFY(number >= 10);
        const gdi::HRGN region = RGNFromData(number);
        QVERIFY(gdi::regionData(region)->toQRegion().isEmpty());
        gdi::DeleteObject(region);
        QVERIFY(state.messages.isEmpty());
    }

    void testUnusableFileLeavesSurfaceUnchanged_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Result>("expected");

        const QList<uint32_t> palette = distinctPalette(16);
        QList<uint32_t> indexes;
        for (int i = 0; i < 40 * 30; ++i) {
            indexes.append(static_cast<uint32_t>(i % 16));
        }
        const QByteArray bmp = picturefiles::bmp(4, 40, 30, palette, indexes);
        QList<int> gifIndexes;
        for (int i = 0; i < 40 * 30; ++i) {
            gifIndexes.append(i % 4);
        }
        const QByteArray gif = picturefiles::gif(40, 30, {0, 0xFF, 0xFF00, 0xFF0000}, gifIndexes);
        const qsizetype bmpPixels = 14 + 40 + 16 * 4;

        QTest::newRow("missing") << QString() << QByteArray() << Result::NotFound;
        QTest::newRow("zero bytes") << "empty.bmp" << QByteArray() << Result::Undecodable;
        QTest::newRow("text named .bmp")
            << "text.bmp" << QByteArray("This is not a picture.\r\nNor is this line.\r\n")
            << Result::Undecodable;
        QTest::newRow("bmp cut in its file header")
            << "cut1.bmp" << bmp.left(10) << Result::Undecodable;
        QTest::newRow("bmp cut in its info header")
            << "cut2.bmp" << bmp.left(30) << Result::Undecodable;
        QTest::newRow("bmp cut in its palette")
            << "cut3.bmp" << bmp.left(70) << Result::Undecodable;
        QTest::newRow("bmp cut before its pixels")
            << "cut4.bmp" << bmp.left(bmpPixels) << Result::Undecodable;
        QTest::newRow("bmp cut in its pixels")
            << "cut5.bmp" << bmp.left(bmpPixels + (bmp.size() - bmpPixels) / 2)
            << Result::Undecodable;
        QTest::newRow("gif cut in its screen header")
            << "cut1.gif" << gif.left(9) << Result::Undecodable;
        QTest::newRow("gif cut in its image data")
            << "cut2.gif" << gif.left(gif.size() / 2) << Result::Undecodable;
        QTest::newRow("bmp claiming 60000 x 60000")
            << "huge.bmp" << picturefiles::bmpHeaderOnly(60000, 60000) << Result::TooLarge;
        QTest::newRow("gif claiming 60000 x 60000")
            << "huge.gif" << picturefiles::gifHeaderOnly(60000, 60000) << Result::TooLarge;
    }

    void testUnusableFileLeavesSurfaceUnchanged()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(Result, expected);

        PictureSurface surface;
        const QList<uint32_t> before = {0x112233, 0x445566, 0x778899, 0xAABBCC, 0xDDEEFF, 0x010203};
        QCOMPARE(surface.LoadPicture(writeFile(QStringLiteral("before.bmp"),
                                               picturefiles::bmp(24, 3, 2, {}, before))),
                 Result::Loaded);
        surface.CurrentX = 5;
        surface.CurrentY = 8;
        const QImage image = surface.Image();

        const QString path = fileName.isEmpty() ? m_dir.filePath(QStringLiteral("absent.bmp"))
                                                : writeFile(fileName, bytes);
        QCOMPARE(surface.LoadPicture(path), expected);
        QCOMPARE(surface.Image(), image);
        QCOMPARE(surface.Point(2, 1), static_cast<int32_t>(before[5]));
        QCOMPARE(surface.CurrentX, 5);
        QCOMPARE(surface.CurrentY, 8);
    }
};

DESKWORD_TEST_MAIN(PictureLoadTest)
#include "PictureLoadTest.moc"
