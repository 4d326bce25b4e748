#include "BmpReader.h"

#include <QtEndian>
#include <algorithm>
#include <cstdint>

namespace bmpreader {
namespace {

constexpr qsizetype FileHeaderBytes = 14;
constexpr uint32_t Version4HeaderBytes = 108;
constexpr uint32_t CompressionRle8 = 1;
constexpr uint32_t CompressionRle4 = 2;
constexpr uint32_t CompressionBitfields = 3;
constexpr uint32_t CompressionAlphaBitfields = 6;
constexpr QRgb Black = 0xFF000000;

uint32_t byteAt(const QByteArray& bytes, qsizetype at)
{
    return static_cast<uint8_t>(bytes[at]);
}

bool isBitmap(const QByteArray& file, qsizetype least)
{
    return file.size() >= least && file.startsWith("BM");
}

// The colour table of an indexed bitmap, as opaque colours.
QList<QRgb> colourTable(const QByteArray& file, uint32_t infoSize, int bits)
{
    const qsizetype start = FileHeaderBytes + infoSize;
    const uint32_t used = infoSize >= 36 ? qFromLittleEndian<uint32_t>(file.constData() + 46) : 0;
    const qsizetype wanted = used != 0 ? std::min<uint32_t>(used, 1u << bits) : (1 << bits);
    const qsizetype pixelsAt = qFromLittleEndian<uint32_t>(file.constData() + 10);
    const qsizetype tableEnd = std::min(file.size(), pixelsAt > start ? pixelsAt : file.size());
    const qsizetype entries = std::clamp<qsizetype>((tableEnd - start) / 4, 0, wanted);
    QList<QRgb> table;
    table.reserve(entries);
    for (qsizetype i = 0; i < entries; ++i) {
        const qsizetype at = start + 4 * i; // blue, green, red, reserved
        table.append(qRgb(static_cast<int>(byteAt(file, at + 2)),
                          static_cast<int>(byteAt(file, at + 1)),
                          static_cast<int>(byteAt(file, at))));
    }
    return table;
}

// Follows the runs of RLE8 or RLE4 data, bottom row first, into the image.
class RunLengthDecoder
{
public:
    RunLengthDecoder(QImage& image, const QList<QRgb>& table, int bits)
        : m_image(image), m_table(table), m_bits(bits), m_y(image.height() - 1)
    {
    }

    void decode(const QByteArray& file, qsizetype at)
    {
        while (at + 1 < file.size() && m_y >= 0) {
            const uint32_t count = byteAt(file, at);
            const uint32_t value = byteAt(file, at + 1);
            at += 2;
            if (count > 0) { // a run of one index (RLE4: two alternating)
                for (uint32_t i = 0; i < count; ++i) {
                    put(m_bits == 8 ? value : nibble(value, i));
                }
            } else if (value == 0) { // end of line
                m_x = 0;
                --m_y;
            } else if (value == 1) { // end of bitmap
                return;
            } else if (value == 2) { // delta: skip right and up
                if (at + 1 >= file.size()) {
                    return;
                }
                m_x += byteAt(file, at);
                m_y -= static_cast<int64_t>(byteAt(file, at + 1));
                at += 2;
            } else { // absolute: value indexes follow, padded to a 16-bit boundary
                const qsizetype bytes = m_bits == 8 ? value : (value + 1) / 2;
                for (uint32_t i = 0; i < value; ++i) {
                    const qsizetype from = at + (m_bits == 8 ? i : i / 2);
                    if (from >= file.size()) {
                        return;
                    }
                    const uint32_t packed = byteAt(file, from);
                    put(m_bits == 8 ? packed : nibble(packed, i));
                }
                at += bytes + (bytes & 1);
            }
        }
    }

private:
    static uint32_t nibble(uint32_t packed, uint32_t i)
    {
        return (i % 2 == 0) ? packed >> 4 : packed & 0x0F;
    }

    void put(uint32_t index)
    {
        if (m_x < m_image.width() && m_y >= 0) {
            auto* row = reinterpret_cast<QRgb*>(m_image.scanLine(static_cast<int>(m_y)));
            row[m_x] = index < static_cast<uint32_t>(m_table.size()) ? m_table[index] : Black;
        }
        ++m_x;
    }

    QImage& m_image;
    const QList<QRgb>& m_table;
    int m_bits;
    int64_t m_x = 0;
    int64_t m_y;
};

} // namespace

QByteArray widenInfoHeader(const QByteArray& file)
{
    if (!isBitmap(file, FileHeaderBytes + 40)) {
        return file;
    }
    uint32_t infoSize = qFromLittleEndian<uint32_t>(file.constData() + 14);
    const uint32_t compression = qFromLittleEndian<uint32_t>(file.constData() + 30);
    if (infoSize == 40 && compression == CompressionAlphaBitfields) {
        infoSize = 56; // the four masks follow the header: the 56-byte layout
    } else if (infoSize != 52 && infoSize != 56) {
        return file;
    }
    if (file.size() < FileHeaderBytes + infoSize) {
        return file;
    }
    // Red, green, blue (and alpha) masks are where the 108-byte header has them; the
    // colour space fields that follow are left zero.
    const uint32_t added = Version4HeaderBytes - infoSize;
    QByteArray widened = file.left(FileHeaderBytes + infoSize);
    widened.append(QByteArray(added, '\0'));
    widened.append(file.mid(FileHeaderBytes + infoSize));
    qToLittleEndian<uint32_t>(qFromLittleEndian<uint32_t>(file.constData() + 2) + added,
                              widened.data() + 2);
    qToLittleEndian<uint32_t>(qFromLittleEndian<uint32_t>(file.constData() + 10) + added,
                              widened.data() + 10);
    qToLittleEndian<uint32_t>(Version4HeaderBytes, widened.data() + 14);
    if (compression == CompressionAlphaBitfields) {
        qToLittleEndian<uint32_t>(CompressionBitfields, widened.data() + 30);
    }
    return widened;
}

std::optional<QImage> decodeRunLength(const QByteArray& file, QRgb background)
{
    if (!isBitmap(file, FileHeaderBytes + 20)) {
        return std::nullopt;
    }
    const uint32_t infoSize = qFromLittleEndian<uint32_t>(file.constData() + 14);
    if (infoSize < 20 || file.size() < FileHeaderBytes + 40) {
        return std::nullopt;
    }
    const uint32_t compression = qFromLittleEndian<uint32_t>(file.constData() + 30);
    const int bits = static_cast<int>(qFromLittleEndian<uint16_t>(file.constData() + 28));
    if (!(compression == CompressionRle8 && bits == 8) &&
        !(compression == CompressionRle4 && bits == 4)) {
        return std::nullopt;
    }
    const auto width = static_cast<int32_t>(qFromLittleEndian<uint32_t>(file.constData() + 18));
    const auto height = static_cast<int32_t>(qFromLittleEndian<uint32_t>(file.constData() + 22));
    if (width <= 0 || height <= 0) { // run-length data is always stored bottom-up
        return QImage();
    }
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) {
        return QImage();
    }
    image.fill(background | Black);
    RunLengthDecoder(image, colourTable(file, infoSize, bits), bits)
        .decode(file, qFromLittleEndian<uint32_t>(file.constData() + 10));
    return image;
}

void padColourTable(QImage& picture)
{
    if (picture.format() != QImage::Format_Indexed8 && picture.format() != QImage::Format_Mono &&
        picture.format() != QImage::Format_MonoLSB) {
        return;
    }
    const qsizetype entries = qsizetype(1) << std::min(picture.depth(), 8);
    QList<QRgb> table = picture.colorTable();
    if (table.size() >= entries) {
        return;
    }
    table.resize(entries, Black);
    picture.setColorTable(table);
}

} // namespace bmpreader
