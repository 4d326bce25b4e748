#include "AlphaKey.h"

#include <cstdint>
#include <vector>

namespace {

// The colours of the inside pixels, one bit per 24-bit colour.
class ColourSet
{
public:
    ColourSet() : m_bits(size_t(1) << 18) {}

    void add(QRgb colour)
    {
        const uint32_t rgb = colour & 0xFFFFFF;
        m_bits[rgb >> 6] |= uint64_t(1) << (rgb & 63);
    }
    bool contains(QRgb colour) const
    {
        const uint32_t rgb = colour & 0xFFFFFF;
        return (m_bits[rgb >> 6] >> (rgb & 63) & 1) != 0;
    }

private:
    std::vector<uint64_t> m_bits;
};

// The first colour from magenta on (a colour pictures rarely use) that no inside pixel
// has. When every colour is taken (a picture of more than 16 million inside pixels
// that uses them all), magenta is returned and the caller changes the inside pixels of
// that colour.
QRgb unusedColour(const ColourSet& used)
{
    constexpr uint32_t first = 0xFF00FF;
    for (uint32_t step = 0; step <= 0xFFFFFF; ++step) {
        const QRgb candidate = qRgb(0, 0, 0) | ((first + step) & 0xFFFFFF);
        if (!used.contains(candidate)) {
            return candidate;
        }
    }
    return qRgb(255, 0, 255);
}

} // namespace

AlphaKeyed keyByAlpha(QImage picture)
{
    AlphaKeyed result;
    // The drawn picture is made in the picture's own pixels (an ARGB32 picture that is
    // handed over is not copied): with every alpha byte 255 they are RGB32 pixels too.
    picture.convertTo(QImage::Format_ARGB32);
    const int width = picture.width();
    const int height = picture.height();
    if (width == 0 || height == 0) {
        return result;
    }

    ColourSet used;
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            if (qAlpha(row[x]) >= AlphaInside) {
                used.add(row[x]);
            }
        }
    }
    result.key = unusedColour(used);
    // Only when every colour is taken does an inside pixel have the key colour; it
    // then takes the neighbouring colour, one step of blue away.
    const QRgb standIn = result.key ^ 1;
    result.extraRow = qAlpha(picture.pixel(0, 0)) >= AlphaInside;

    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            if (qAlpha(row[x]) < AlphaInside) {
                row[x] = result.key;
            } else {
                const QRgb opaque = row[x] | 0xFF000000;
                row[x] = opaque == result.key ? standIn : opaque;
            }
        }
    }
    picture.reinterpretAsFormat(QImage::Format_RGB32);
    result.drawn = std::move(picture);

    if (!result.extraRow) {
        result.scanned = result.drawn;
        return result;
    }
    result.scanned = QImage(width, height + 1, QImage::Format_RGB32);
    result.scanned.fill(result.key);
    for (int y = 0; y < height; ++y) {
        std::copy_n(reinterpret_cast<const QRgb*>(result.drawn.constScanLine(y)), width,
                    reinterpret_cast<QRgb*>(result.scanned.scanLine(y + 1)));
    }
    return result;
}
