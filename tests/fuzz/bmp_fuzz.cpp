// Windows bitmaps before Qt's reader sees them: the info headers that are widened to
// the 108-byte one, the run-length decoder and the padding of short colour tables.

#include "FuzzEnvironment.h"
#include "graphics/BmpReader.h"
#include "graphics/PictureFile.h"

#include <QImage>
#include <QtEndian>

namespace {

constexpr QRgb Background = 0xFF123456;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray file =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (fuzzsupport::declaresLargePicture(file)) {
        return -1;
    }
    // The loader refuses sizes beyond a surface before the decoder runs; larger run-
    // length pictures only take longer.
    if (file.size() >= 26 &&
        int64_t(static_cast<int32_t>(qFromLittleEndian<uint32_t>(file.constData() + 18))) *
                static_cast<int32_t>(qFromLittleEndian<uint32_t>(file.constData() + 22)) >
            fuzzsupport::MaxDecodedPixels) {
        return -1;
    }

    const QByteArray widened = bmpreader::widenInfoHeader(file);
    if (widened != file) {
        // Only the header grew, to the 108-byte one; the pixels follow it unchanged.
        FUZZ_CHECK(widened.size() > file.size());
        FUZZ_CHECK(qFromLittleEndian<uint32_t>(widened.constData() + 14) == 108);
        FUZZ_CHECK(widened.endsWith(file.mid(14 + 108 - (widened.size() - file.size()))));
    }

    if (std::optional<QImage> decoded = bmpreader::decodeRunLength(widened, Background)) {
        if (!decoded->isNull()) {
            FUZZ_CHECK(decoded->width() ==
                       static_cast<int32_t>(qFromLittleEndian<uint32_t>(widened.constData() + 18)));
            FUZZ_CHECK(decoded->height() ==
                       static_cast<int32_t>(qFromLittleEndian<uint32_t>(widened.constData() + 22)));
            // Every pixel opaque: the alpha bytes taken as they are.
            QImage pixels = *decoded;
            pixels.reinterpretAsFormat(QImage::Format_ARGB32);
            FUZZ_CHECK(!PictureFile::hasTransparency(pixels));
        }
        return 0;
    }

    // What Qt's reader makes of the rest, with every index given a colour.
    QImage picture;
    if (picture.loadFromData(widened, "BMP")) {
        bmpreader::padColourTable(picture);
        const QImage::Format format = picture.format();
        if (format == QImage::Format_Indexed8 || format == QImage::Format_Mono ||
            format == QImage::Format_MonoLSB) {
            FUZZ_CHECK(picture.colorCount() >= (1 << picture.depth()));
        }
    }
    return 0;
}
