#pragma once

#include "PictureSurface.h"

#include <QImage>
#include <QString>
#include <QStringList>

// Picture files the user chooses: any format that Qt's image readers decode here
// (PNG, JPEG, BMP, GIF and, with the image format plugins, WebP, TIFF and more).
namespace PictureFile {

// File-name patterns of every readable format ("*.png", "*.jpg", ...), for a file
// dialog's filter.
QStringList nameFilters();

// True when the file's name ends in one of the readable formats' suffixes.
bool looksReadable(const QString& path);

// Reads the file once, as the surface loader does (PictureSurface::readPicture: a cut
// or oversized file is refused). The picture comes back in ARGB32 when it has
// transparent pixels, otherwise in RGB32.
PictureSurface::LoadResult read(const QString& path, QImage& picture);

// True when some pixel of the picture is not fully opaque.
bool hasTransparency(const QImage& picture);

} // namespace PictureFile
