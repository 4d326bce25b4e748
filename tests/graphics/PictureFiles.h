#pragma once

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QString>
#include <cstdint>

// Picture files written byte by byte, so that the loading tests know every byte
// they hand to the surface. Colours are 0x00BBGGRR values, as the surface reads them.
namespace picturefiles {

// Writes the bytes to the file at path (created or replaced) and returns the path;
// a test that cannot write its own file stops at once.
QString write(const QString& path, const QByteArray& bytes);

// An uncompressed Windows bitmap (14-byte file header, 40-byte info header).
// With 1, 4 or 8 bits per pixel, pixels are palette indexes; with 24 or 32 bits
// they are colours. Rows are stored bottom-up unless topDown is set.
QByteArray bmp(int bitsPerPixel, int width, int height, const QList<uint32_t>& palette,
               const QList<uint32_t>& pixels, bool topDown = false);

// A GIF89a with one image of palette indexes; transparentIndex >= 0 adds a graphic
// control extension that marks that index transparent. The image data is a valid
// LZW stream that sends every pixel as a literal code after a clear code.
QByteArray gif(int width, int height, const QList<uint32_t>& palette, const QList<int>& pixels,
               int transparentIndex = -1);

// One image of a GIF: its place on the logical screen, its palette indexes, and the
// delay (hundredths of a second) shown after it; a delay of 0 writes no graphic
// control extension.
struct GifImage
{
    QRect rect;
    QList<int> pixels;
    int delay = 0;
};

// A GIF89a of a logical screen of width x height (background index 0) with the
// images given, in order.
QByteArray gifOfImages(int width, int height, const QList<uint32_t>& palette,
                       const QList<GifImage>& images);

// A bitmap put together from its parts: an info header of infoSize bytes (40, 52
// or 56) with the compression given; the colour masks (red, green, blue, alpha)
// inside the header where it has room for them, else right after it; the palette
// (0x00BBGGRR) and the pixel data as given, byte for byte.
QByteArray bmpFromParts(int infoSize, int bitsPerPixel, uint32_t compression, int width, int height,
                        const QList<uint32_t>& masks, const QList<uint32_t>& palette,
                        const QByteArray& data);

// A GIF89a of the given size without any colour table, its pixels all index 0.
QByteArray gifWithoutColourTable(int width, int height);

// Only the headers of a picture of the given size, with a few bytes of data: enough
// for a reader to learn the size, far too little to hold the pixels.
QByteArray bmpHeaderOnly(int width, int height);
QByteArray gifHeaderOnly(int width, int height);

} // namespace picturefiles
