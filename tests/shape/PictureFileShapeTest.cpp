#include "ProgramState.h"
#include "TestMain.h"

#include "graphics/PictureFile.h"
#include "graphics/RegionData.h"
#include "region/RegionNumbers.h"
#include "region/frm_RGN_Picture.h"
#include "shape/AlphaKey.h"
#include "shape/PictureFileShape.h"

#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

// The pixels of a picture whose alpha is 128 or more.
QRegion alphaOutline(const QImage& picture)
{
    QRegion outline;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (qAlpha(picture.pixel(x, y)) >= 128) {
                outline += QRect(x, y, 1, 1);
            }
        }
    }
    return outline;
}

QRegion shapeOf(int32_t number)
{
    const gdi::HRGN region = RGNFromData(number);
    const QRegion shape = gdi::regionData(region)->toQRegion();
    gdi::DeleteObject(region);
    return shape;
}

// A 40 x 30 picture with transparency: an opaque ellipse in several colours (one of
// them magenta, the colour keys start from) with a soft edge, half-transparent
// pixels just inside and just outside the threshold, and transparent elsewhere.
QImage alphaPicture(bool cornerOpaque)
{
    QImage image(40, 30, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 120, 255));
    p.drawEllipse(QRect(4, 3, 30, 22));
    p.end();
    image.setPixel(12, 10, qRgb(255, 0, 255));         // magenta inside
    image.setPixel(20, 12, qRgba(255, 255, 255, 255)); // white inside
    image.setPixel(36, 27, qRgba(10, 20, 30, 128));    // just inside
    image.setPixel(37, 27, qRgba(10, 20, 30, 127));    // just outside
    if (cornerOpaque) {
        image.setPixel(0, 0, qRgb(0, 0, 0));
        image.setPixel(1, 0, qRgb(255, 255, 255));
    }
    return image;
}

// A value of /proc/self/status in KiB, or -1.
qint64 statusKiB(const QByteArray& name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(name + ':')) {
            return line.mid(name.size() + 1).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return -1;
}

} // namespace

// Shapes from picture files the user chooses: cut by alpha where the picture has
// transparency, by the colour of pixel (0, 0) where it has none.
class PictureFileShapeTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<ProgramState> state;
    std::unique_ptr<QTemporaryDir> dir;

private slots:
    void init()
    {
        state = std::make_unique<ProgramState>();
        dir = std::make_unique<QTemporaryDir>();
    }
    void cleanup() { state.reset(); }

    void testCutByAlpha_data()
    {
        QTest::addColumn<bool>("cornerOpaque");
        QTest::newRow("transparent corner") << false;
        QTest::newRow("opaque corner") << true;
    }
    void testCutByAlpha()
    {
        QFETCH(bool, cornerOpaque);
        const QImage picture = alphaPicture(cornerOpaque);
        const QString path = dir->filePath(QStringLiteral("figure.png"));
        QVERIFY(picture.save(path, "PNG"));

        const int32_t number = MakeRGNFromPictureFile(path, 0);
        QCOMPARE(number, 10);
        QVERIFY(state->messages.isEmpty());
        const QRegion expected = alphaOutline(picture);
        QVERIFY(expected.contains(QPoint(36, 27)) && !expected.contains(QPoint(37, 27)));
        QVERIFY((shapeOf(number) ^ expected).isEmpty());

        // The holder draws the picture at its own size, every inside pixel in its own
        // colour, made opaque.
        const QImage& drawn = frm_RGN_Picture::instance().pPicture(number)->Picture;
        QCOMPARE(drawn.size(), picture.size());
        for (const QRect& rect : expected) {
            for (int y = rect.top(); y <= rect.bottom(); ++y) {
                for (int x = rect.left(); x <= rect.right(); ++x) {
                    QCOMPARE(drawn.pixel(x, y), picture.pixel(x, y) | 0xFF000000);
                }
            }
        }
    }

    void testTodaysFormats_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<bool>("palette");
        QTest::newRow("PNG") << QByteArray("png") << false;
        QTest::newRow("PNG with a palette") << QByteArray("png") << true;
        QTest::newRow("WebP") << QByteArray("webp") << false;
        QTest::newRow("TIFF") << QByteArray("tiff") << false;
    }
    void testTodaysFormats()
    {
        QFETCH(QByteArray, format);
        QFETCH(bool, palette);
        QVERIFY(PictureFile::nameFilters().contains(QStringLiteral("*.png")));
        if (!QImageReader::supportedImageFormats().contains(format)) {
            QSKIP("no reader for this format here (qt6-image-formats-plugins)");
        }
        QVERIFY(PictureFile::nameFilters().contains(QStringLiteral("*.") +
                                                    QString::fromLatin1(format)));
        QImage picture = alphaPicture(false);
        if (palette) {
            picture = picture.convertToFormat(QImage::Format_Indexed8);
        }
        const QString path = dir->filePath(QStringLiteral("figure.") + QString::fromLatin1(format));
        QImageWriter writer(path, format);
        writer.setQuality(100); // lossless WebP
        QVERIFY2(writer.write(picture), qPrintable(writer.errorString()));
        QVERIFY(PictureFile::looksReadable(path));
        const int32_t number = MakeRGNFromPictureFile(path, 0);
        QVERIFY(number >= 10);
        // The outline of what the file holds (a palette rounds the soft edge).
        const QRegion expected = alphaOutline(QImage(path));
        QVERIFY(!expected.isEmpty() && expected.boundingRect() != QRect(0, 0, 40, 30));
        QVERIFY((shapeOf(number) ^ expected).isEmpty());
    }

    void testKeyColourIsNoInsideColour()
    {
        QImage picture(3, 1, QImage::Format_ARGB32);
        picture.setPixel(0, 0, qRgba(0, 0, 0, 0));
        picture.setPixel(1, 0, qRgb(255, 0, 255));
        picture.setPixel(2, 0, qRgb(255, 0, 255) + 1);
        const AlphaKeyed keyed = keyByAlpha(picture);
        QVERIFY(!keyed.extraRow);
        QCOMPARE(keyed.scanned.pixel(0, 0), keyed.key);
        QVERIFY(keyed.key != picture.pixel(1, 0) && keyed.key != picture.pixel(2, 0));
        QCOMPARE(keyed.drawn.pixel(1, 0), picture.pixel(1, 0));
    }

    void testOpaquePictureKeepsTheCornerColourRule()
    {
        // An alpha channel that is opaque everywhere carries no outline: the white
        // around the block is cut away as in any other picture.
        QImage picture(20, 10, QImage::Format_ARGB32);
        picture.fill(Qt::white);
        QPainter(&picture).fillRect(5, 2, 6, 4, Qt::red);
        const QString path = dir->filePath(QStringLiteral("block.png"));
        QVERIFY(picture.save(path, "PNG"));
        const int32_t number = MakeRGNFromPictureFile(path, 0);
        QVERIFY(number >= 10);
        QVERIFY((shapeOf(number) ^ QRegion(5, 2, 6, 4)).isEmpty());
    }

    void testFilesThatGiveNoShapeSaySo()
    {
        const QString gone = dir->filePath(QStringLiteral("gone.png"));
        const QString broken = dir->filePath(QStringLiteral("broken.png"));
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\x89PNG\r\n\x1a\n not really");
        file.close();
        QCOMPARE(MakeRGNFromPictureFile(gone, 0), 0);
        QCOMPARE(MakeRGNFromPictureFile(broken, 0), 0);
        QCOMPARE(state->messages.size(), 2);
        QVERIFY(state->messages[0].endsWith(QDir::toNativeSeparators(gone)));
        QVERIFY(state->messages[1].endsWith(QDir::toNativeSeparators(broken)));
    }

    // Loading a large picture with transparency (the costliest way: keyed, with the
    // extra row) holds the decoded picture and one surface of its size at most, never
    // a third copy. The peak is the kernel's, started anew just before the choice.
    void testLargePictureIsHeldTwiceAtMost()
    {
        constexpr int side = 4096;
        const QString path = dir->filePath(QStringLiteral("large.png"));
        {
            QImage picture(side, side, QImage::Format_ARGB32);
            picture.fill(qRgb(30, 120, 200));
            picture.setPixel(side - 1, side - 1, qRgba(0, 0, 0, 0));
            QVERIFY(picture.save(path, "PNG"));
        }
        QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
        if (!clearRefs.open(QIODevice::WriteOnly) || clearRefs.write("5") != 1) {
            QSKIP("the peak memory cannot be reset here");
        }
        clearRefs.close();
        const qint64 before = statusKiB("VmRSS");
        const int32_t number = MakeRGNFromPictureFile(path, 0);
        const qint64 peak = statusKiB("VmHWM");
        QVERIFY(number != 0);
        QCOMPARE(shapeOf(number),
                 QRegion(0, 0, side, side - 1) + QRegion(0, side - 1, side - 1, 1));
        const double copies = double(peak - before) * 1024 / (double(side) * side * 4);
        qInfo("peak while loading: %.2f copies of the picture", copies);
        // Two copies, and an eighth more for each under AddressSanitizer.
        QVERIFY2(copies < 2.6, qPrintable(QString::number(copies)));
        frm_RGN_Picture::instance().reset();
    }

    void testPhotographIsTooDetailed()
    {
        // Every pixel differs from its neighbours: a run for every other pixel, just
        // beyond the rectangles a picture's shape may have.
        const int side = 2897;
        QVERIFY(int64_t(side) * ((side + 1) / 2) > int64_t(MaxPictureShapeRects));
        QImage picture(side, side, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < picture.width(); ++x) {
                row[x] = (x + y) % 2 == 0 ? qRgb(250, 250, 250) : qRgb(40, 90, 20);
            }
        }
        const QString path = dir->filePath(QStringLiteral("photo.png"));
        QVERIFY(picture.save(path, "PNG"));
        QCOMPARE(MakeRGNFromPictureFile(path, 0), 0);
        QCOMPARE(state->messages.size(), 1);
        const QStringList lines = state->messages[0].split(QLatin1Char('\n'));
        QCOMPARE(lines.value(0), QStringLiteral("画像サイズが大きすぎます。"));
        QCOMPARE(state->messages[0], pictureTooDetailedMessage());
        QVERIFY(lines.size() == 2 && lines[1].contains(QStringLiteral("背景が一色")));
    }
};

DESKWORD_TEST_MAIN(PictureFileShapeTest)
#include "PictureFileShapeTest.moc"
