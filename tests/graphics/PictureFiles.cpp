#include "PictureFiles.h"

#include <QFile>

#include <algorithm>

namespace picturefiles {

QString write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

namespace {

void put16(QByteArray& out, uint32_t v)
{
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>((v >> 8) & 0xFF));
}

void put32(QByteArray& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// Appends the two bitmap headers; the caller appends palette and pixel rows.
void bmpHeaders(QByteArray& out, int bitsPerPixel, int width, int height, int paletteSize,
                bool topDown)
{
    const uint32_t rowBytes = ((static_cast<uint32_t>(width) * bitsPerPixel + 31) / 32) * 4;
    const uint32_t pixelOffset = 14 + 40 + 4 * static_cast<uint32_t>(paletteSize);
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height);
    out.append("BM");
    put32(out, pixelOffset + imageBytes);
    put32(out, 0);
    put32(out, pixelOffset);
    put32(out, 40);
    put32(out, static_cast<uint32_t>(width));
    put32(out, static_cast<uint32_t>(topDown ? -height : height));
    put16(out, 1);
    put16(out, static_cast<uint32_t>(bitsPerPixel));
    put32(out, 0); // BI_RGB
    put32(out, imageBytes);
    put32(out, 3780); // 96 dots per inch
    put32(out, 3780);
    put32(out, static_cast<uint32_t>(paletteSize));
    put32(out, 0);
}

void gifScreenAndPalette(QByteArray& out, int width, int height, const QList<uint32_t>& palette,
                         int& tableBits)
{
    tableBits = 1;
    while ((1 << tableBits) < palette.size()) {
        ++tableBits;
    }
    out.append("GIF89a");
    put16(out, static_cast<uint32_t>(width));
    put16(out, static_cast<uint32_t>(height));
    out.append(static_cast<char>(0x80 | ((tableBits - 1) << 4) | (tableBits - 1)));
    out.append('\0'); // background index
    out.append('\0'); // aspect ratio
    for (int i = 0; i < (1 << tableBits); ++i) {
        const uint32_t bgr = i < palette.size() ? palette[i] : 0;
        out.append(static_cast<char>(bgr & 0xFF));
        out.append(static_cast<char>((bgr >> 8) & 0xFF));
        out.append(static_cast<char>((bgr >> 16) & 0xFF));
    }
}

void gifImageDescriptor(QByteArray& out, int width, int height, int left = 0, int top = 0)
{
    out.append(',');
    put16(out, static_cast<uint32_t>(left));
    put16(out, static_cast<uint32_t>(top));
    put16(out, static_cast<uint32_t>(width));
    put16(out, static_cast<uint32_t>(height));
    out.append('\0'); // no local colour table, not interlaced
}

// Appends the image data of a picture of colour indexes and the file's end. A clear
// code before every literal keeps the decoder's table empty, so the code width never
// grows. Codes are packed least significant bit first.
void gifImageData(QByteArray& out, int minCodeSize, const QList<int>& pixels)
{
    const int clear = 1 << minCodeSize;
    const int codeWidth = minCodeSize + 1;
    QByteArray data;
    uint32_t pending = 0;
    int pendingBits = 0;
    const auto write = [&](int code) {
        pending |= static_cast<uint32_t>(code) << pendingBits;
        for (pendingBits += codeWidth; pendingBits >= 8; pendingBits -= 8) {
            data.append(static_cast<char>(pending & 0xFF));
            pending >>= 8;
        }
    };
    for (int index : pixels) {
        write(clear);
        write(index);
    }
    write(clear + 1); // end of information
    if (pendingBits > 0) {
        data.append(static_cast<char>(pending & 0xFF));
    }
    out.append(static_cast<char>(minCodeSize));
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const QByteArray block = data.mid(at, 255);
        out.append(static_cast<char>(block.size()));
        out.append(block);
    }
    out.append('\0');
}

} // namespace

QByteArray bmp(int bitsPerPixel, int width, int height, const QList<uint32_t>& palette,
               const QList<uint32_t>& pixels, bool topDown)
{
    const bool indexed = bitsPerPixel <= 8;
    QByteArray out;
    bmpHeaders(out, bitsPerPixel, width, height, indexed ? static_cast<int>(palette.size()) : 0,
               topDown);
    if (indexed) {
        for (uint32_t bgr : palette) {
            // Stored as blue, green, red, reserved: the 0x00BBGGRR value byte-reversed.
            out.append(static_cast<char>((bgr >> 16) & 0xFF));
            out.append(static_cast<char>((bgr >> 8) & 0xFF));
            out.append(static_cast<char>(bgr & 0xFF));
            out.append('\0');
        }
    }
    const int rowBytes = ((width * bitsPerPixel + 31) / 32) * 4;
    for (int row = 0; row < height; ++row) {
        const int y = topDown ? row : height - 1 - row;
        QByteArray line(rowBytes, '\0');
        for (int x = 0; x < width; ++x) {
            const uint32_t v = pixels[y * width + x];
            if (indexed) {
                const int bit = x * bitsPerPixel;
                const int shift = 8 - bitsPerPixel - bit % 8; // leftmost pixel in the high bits
                line[bit / 8] = static_cast<char>(line[bit / 8] | (v << shift));
            } else {
                const int at = x * bitsPerPixel / 8;
                line[at] = static_cast<char>((v >> 16) & 0xFF);
                line[at + 1] = static_cast<char>((v >> 8) & 0xFF);
                line[at + 2] = static_cast<char>(v & 0xFF);
            }
        }
        out.append(line);
    }
    return out;
}

QByteArray gif(int width, int height, const QList<uint32_t>& palette, const QList<int>& pixels,
               int transparentIndex)
{
    QByteArray out;
    int tableBits = 0;
    gifScreenAndPalette(out, width, height, palette, tableBits);
    if (transparentIndex >= 0) {
        out.append("\x21\xF9\x04\x01", 4); // graphic control extension, transparency flag
        put16(out, 0);                     // delay
        out.append(static_cast<char>(transparentIndex));
        out.append('\0');
    }
    gifImageDescriptor(out, width, height);
    gifImageData(out, std::max(2, tableBits), pixels);
    out.append(';');
    return out;
}

QByteArray gifOfImages(int width, int height, const QList<uint32_t>& palette,
                       const QList<GifImage>& images)
{
    QByteArray out;
    int tableBits = 0;
    gifScreenAndPalette(out, width, height, palette, tableBits);
    for (const GifImage& image : images) {
        if (image.delay != 0) {
            out.append("\x21\xF9\x04\x00", 4); // graphic control extension
            put16(out, static_cast<uint32_t>(image.delay));
            out.append('\0');
            out.append('\0');
        }
        gifImageDescriptor(out, image.rect.width(), image.rect.height(), image.rect.x(),
                           image.rect.y());
        gifImageData(out, std::max(2, tableBits), image.pixels);
    }
    out.append(';');
    return out;
}

QByteArray bmpFromParts(int infoSize, int bitsPerPixel, uint32_t compression, int width, int height,
                        const QList<uint32_t>& masks, const QList<uint32_t>& palette,
                        const QByteArray& data)
{
    QByteArray info;
    put32(info, static_cast<uint32_t>(infoSize));
    put32(info, static_cast<uint32_t>(width));
    put32(info, static_cast<uint32_t>(height));
    put16(info, 1);
    put16(info, static_cast<uint32_t>(bitsPerPixel));
    put32(info, compression);
    put32(info, static_cast<uint32_t>(data.size()));
    put32(info, 3780);
    put32(info, 3780);
    put32(info, static_cast<uint32_t>(palette.size()));
    put32(info, 0);
    for (uint32_t mask : masks) {
        put32(info, mask);
    }
    while (info.size() < infoSize) {
        info.append('\0');
    }
    for (uint32_t bgr : palette) {
        info.append(static_cast<char>((bgr >> 16) & 0xFF));
        info.append(static_cast<char>((bgr >> 8) & 0xFF));
        info.append(static_cast<char>(bgr & 0xFF));
        info.append('\0');
    }
    QByteArray out("BM");
    const auto pixelOffset = static_cast<uint32_t>(14 + info.size());
    put32(out, pixelOffset + static_cast<uint32_t>(data.size()));
    put32(out, 0);
    put32(out, pixelOffset);
    out.append(info);
    out.append(data);
    return out;
}

QByteArray gifWithoutColourTable(int width, int height)
{
    QByteArray out("GIF89a");
    put16(out, static_cast<uint32_t>(width));
    put16(out, static_cast<uint32_t>(height));
    out.append('\0'); // no global colour table
    out.append('\0');
    out.append('\0');
    gifImageDescriptor(out, width, height);
    gifImageData(out, 2, QList<int>(qsizetype{width} * height, 0));
    out.append(';');
    return out;
}

QByteArray bmpHeaderOnly(int width, int height)
{
    QByteArray out;
    bmpHeaders(out, 24, width, height, 0, false);
    out.append(QByteArray(16, '\x7F'));
    return out;
}

QByteArray gifHeaderOnly(int width, int height)
{
    QByteArray out;
    int tableBits = 0;
    gifScreenAndPalette(out, width, height, {0x000000, 0xFFFFFF}, tableBits);
    gifImageDescriptor(out, width, height);
    out.append("\x02\x02\x4C\x01\x00;", 6);
    return out;
}

} // namespace picturefiles
