#include "PictureFile.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPixelFormat>

namespace PictureFile {

QStringList nameFilters()
{
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        patterns.append(QStringLiteral("*.") + QString::fromLatin1(format).toLower());
    }
    return patterns;
}

bool looksReadable(const QString& path)
{
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    return !suffix.isEmpty() && QImageReader::supportedImageFormats().contains(suffix);
}

PictureSurface::LoadResult read(const QString& path, QImage& picture)
{
    // The surface loader decodes any readable format by content and refuses what it
    // cannot hold; what it gives is the picture over an opaque background.
    PictureSurface probe;
    const PictureSurface::LoadResult loaded = probe.LoadPicture(path);
    if (loaded != PictureSurface::LoadResult::Loaded) {
        return loaded;
    }
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    // Formats that cannot hold transparency; an indexed picture can, in its colours.
    const QImage::Format format = reader.imageFormat();
    const bool indexed = format == QImage::Format_Indexed8 || format == QImage::Format_Mono ||
                         format == QImage::Format_MonoLSB;
    if (format != QImage::Format_Invalid && !indexed &&
        QImage::toPixelFormat(format).alphaUsage() == QPixelFormat::IgnoresAlpha) {
        picture = probe.Image(); // opaque by its format: nothing more to read
        return loaded;
    }
    // Read again, keeping the alpha channel (the loader lifted the reader's allocation
    // limit for pictures of a surface's size; so does this read).
    constexpr int surfaceMegabytes =
        static_cast<int>(PictureSurface::MaxPixels * 4 / (1024 * 1024)) + 1;
    const int allocationLimit = QImageReader::allocationLimit();
    if (allocationLimit != 0 && allocationLimit < surfaceMegabytes) {
        QImageReader::setAllocationLimit(surfaceMegabytes);
    }
    QImage withAlpha;
    const bool read = reader.read(&withAlpha);
    QImageReader::setAllocationLimit(allocationLimit);
    if (!read || PictureSurface::shownSize(withAlpha.size()) != probe.Image().size()) {
        return PictureSurface::LoadResult::Undecodable;
    }
    withAlpha = PictureSurface::shownAtScreenScale(withAlpha); // as the loader shows it
    picture = hasTransparency(withAlpha) ? withAlpha.convertToFormat(QImage::Format_ARGB32)
                                         : probe.Image();
    return loaded;
}

bool hasTransparency(const QImage& picture)
{
    if (!picture.hasAlphaChannel()) {
        return false;
    }
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(row[x]) != 255) {
                return true;
            }
        }
    }
    return false;
}

} // namespace PictureFile
