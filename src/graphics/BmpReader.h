#pragma once

#include <QByteArray>
#include <QImage>
#include <optional>

// Windows bitmaps that Qt's reader refuses, or would decode into pixels that are not
// defined, are prepared here before any pixel reaches the surface.
namespace bmpreader {

// A bitmap whose colour masks sit inside its info header (the 52- and 56-byte
// headers, and BI_ALPHABITFIELDS with a 40-byte header followed by four masks),
// rewritten with the 108-byte header of the same meaning that Qt's reader knows.
// Every other file comes back as it is.
QByteArray widenInfoHeader(const QByteArray& file);

// Decodes a run-length compressed bitmap (RLE8 or RLE4) into an opaque image: pixels
// the file leaves unset (skipped by a delta or an early end of line or bitmap) are
// the background colour, indexes beyond the colour table are black. nullopt when the
// file is not run-length compressed; a null image when its headers are broken.
std::optional<QImage> decodeRunLength(const QByteArray& file, QRgb background);

// Gives an indexed picture a colour table with an entry for every possible index,
// the added entries opaque black, so that no pixel names a colour that is not there.
void padColourTable(QImage& picture);

} // namespace bmpreader
