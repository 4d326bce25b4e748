#include "PictureFiles.h"
#include "TestMain.h"

#include "app/frm_Version.h"
#include "graphics/ImageFormats.h"
#include "graphics/PictureSurface.h"
#include "region/RegionNumbers.h"

#include <QBuffer>
#include <QFile>
#include <QIcon>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The image plugins this process has loaded, by file name ("libqgif.so").
QStringList loadedImagePlugins()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly)) {
        qFatal("cannot read /proc/self/maps");
    }
    QStringList plugins;
    static const QRegularExpression plugin(QStringLiteral("/imageformats/([^/\\s]+)"));
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const QRegularExpressionMatch match = plugin.match(QString::fromLocal8Bit(line));
        if (match.hasMatch() && !plugins.contains(match.captured(1))) {
            plugins.append(match.captured(1));
        }
    }
    return plugins;
}

} // namespace

// Pictures of the formats known by their first bytes are read by their own reader
// alone; every other picture is still found by its content. The tests run in order:
// the first one needs a process that has loaded no image plugin yet.
class ImageFormatsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        return picturefiles::write(m_dir.filePath(name), bytes);
    }

    static QByteArray resource(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void testStartUpPicturesLoadNoOtherImagePlugin()
    {
        QVERIFY(loadedImagePlugins().isEmpty());
        // What a start reads: the program icon, the busy badge, and a picture file
        // (a bitmap, a GIF, or a PNG chosen in the editor).
        const QIcon icon = frm_Version::programIcon();
        QCOMPARE(icon.availableSizes(), (QList<QSize>{QSize(32, 32), QSize(128, 128)}));
        QCOMPARE(busyBadgePicture().size(), QSize(59, 15));
        const QList<uint32_t> palette{0x0000FF, 0xFF0000};
        const QString bmp =
            writeFile(QStringLiteral("a.bmp"), picturefiles::bmp(8, 2, 1, palette, {1, 0}));
        const QString gif =
            writeFile(QStringLiteral("a.gif"), picturefiles::gif(2, 1, palette, {0, 1}));
        const QString png =
            writeFile(QStringLiteral("a.png"), resource(QStringLiteral(":/icon-32.png")));
        PictureSurface surface;
        QCOMPARE(surface.LoadPicture(bmp), PictureSurface::LoadResult::Loaded);
        QCOMPARE(surface.Point(0, 0), 0xFF0000);
        QCOMPARE(surface.LoadPicture(gif), PictureSurface::LoadResult::Loaded);
        QCOMPARE(surface.Point(1, 0), 0xFF0000);
        QCOMPARE(surface.LoadPicture(png), PictureSurface::LoadResult::Loaded);
        QCOMPARE(surface.ScaleWidth(), 32);
        // Bitmaps and PNG are Qt's own formats; GIF needs its plugin, and only it.
        QCOMPARE(loadedImagePlugins(), QStringList{QStringLiteral("libqgif.so")});
    }

    void testSignatures_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("bitmap") << QByteArray("BM\x36\x00\x00\x00", 6) << QByteArray("bmp");
        QTest::newRow("png") << QByteArray("\x89PNG\r\n\x1a\n") << QByteArray("png");
        QTest::newRow("gif 87a") << QByteArray("GIF87a") << QByteArray("gif");
        QTest::newRow("gif 89a") << QByteArray("GIF89a") << QByteArray("gif");
        QTest::newRow("jpeg") << QByteArray("\xFF\xD8\xFF\xE0") << QByteArray("jpeg");
        QTest::newRow("png cut short") << QByteArray("\x89PNG\r\n") << QByteArray();
        QTest::newRow("other gif version") << QByteArray("GIF88a") << QByteArray();
        QTest::newRow("tiff") << QByteArray("II*\x00", 4) << QByteArray();
        QTest::newRow("one byte") << QByteArray("B") << QByteArray();
        QTest::newRow("nothing") << QByteArray() << QByteArray();
    }

    void testSignatures()
    {
        QFETCH(QByteArray, head);
        QFETCH(QByteArray, format);
        QCOMPARE(imageformats::bySignature(head), format);
    }

    void testOtherPicturesAreFoundByTheirContent_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        // A portable pixmap has no signature of the four; its name says nothing.
        QTest::newRow("ppm") << QStringLiteral("b.gif")
                             << QByteArray("P6\n2 1\n255\n\xFF\x00\x00\x00\x00\xFF", 17);
        // A PNG by a bitmap's name is read as the PNG it is.
        QImage opaque(2, 1, QImage::Format_RGB32);
        opaque.setPixel(0, 0, qRgb(0, 0, 255));
        opaque.setPixel(1, 0, qRgb(255, 0, 0));
        QByteArray png;
        QBuffer buffer(&png);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && opaque.save(&buffer, "PNG"));
        QTest::newRow("png named .bmp") << QStringLiteral("c.bmp") << png;
    }

    void testOtherPicturesAreFoundByTheirContent()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QVERIFY(!bytes.isEmpty());
        const QString path = writeFile(name, bytes);
        QImage expected;
        QVERIFY(expected.loadFromData(bytes));
        PictureSurface surface;
        QCOMPARE(surface.LoadPicture(path), PictureSurface::LoadResult::Loaded);
        QCOMPARE(QSize(surface.ScaleWidth(), surface.ScaleHeight()), expected.size());
        QCOMPARE(surface.Point(0, 0), static_cast<int32_t>(qRed(expected.pixel(0, 0)) |
                                                           qGreen(expected.pixel(0, 0)) << 8 |
                                                           qBlue(expected.pixel(0, 0)) << 16));
    }

    void testFileWithASignatureItsReaderRefusesIsNotLoaded()
    {
        // JPEG's first bytes and nothing a JPEG reader can use: no other reader is
        // asked, and the surface stays as it was.
        const QString path = writeFile(QStringLiteral("d.jpg"), QByteArray("\xFF\xD8\xFF\xE0junk"));
        PictureSurface surface;
        QCOMPARE(surface.LoadPicture(path), PictureSurface::LoadResult::Undecodable);
        QCOMPARE(QSize(surface.ScaleWidth(), surface.ScaleHeight()), QSize(1, 1));
    }
};

DESKWORD_TEST_MAIN(ImageFormatsTest)
#include "ImageFormatsTest.moc"
