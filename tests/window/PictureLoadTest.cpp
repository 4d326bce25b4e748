#include "PictureFiles.h"
#include "TestMain.h"

#include "window/PictureSurface.h"

#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

using Result = PictureSurface::LoadResult;
Q_DECLARE_METATYPE(PictureSurface::LoadResult)

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
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size()) {
            qFatal("cannot write %s", qPrintable(path));
        }
        return path;
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
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                QCOMPARE(surface.Point(x, y), static_cast<int32_t>(expected[y * width + x]));
            }
        }
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
