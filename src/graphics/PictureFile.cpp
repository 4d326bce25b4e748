#include "PictureFile.h"

#include <QFileInfo>
#include <QImageReader>

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
    // Decoded once, with the surface loader's checks and limits; the surface's
    // background colour fills what the file leaves unset.
    const PictureSurface::LoadResult loaded = PictureSurface().readPicture(path, picture);
    if (loaded != PictureSurface::LoadResult::Loaded) {
        return loaded;
    }
    // Converted in place wherever the pixel size allows (premultiplied or RGBA to
    // ARGB32, ARGB32 to RGB32): no second copy of a large picture.
    if (picture.hasAlphaChannel()) {
        picture.convertTo(QImage::Format_ARGB32);
        if (hasTransparency(picture)) {
            return loaded;
        }
    }
    picture.convertTo(QImage::Format_RGB32);
    return loaded;
}

bool hasTransparency(const QImage& picture)
{
    if (!picture.hasAlphaChannel()) {
        return false;
    }
    // No copy for an ARGB32 picture (what read gives).
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
