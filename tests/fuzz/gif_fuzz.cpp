// GIF files as the surface loads them: the walk over the blocks up to the first
// image's data, which refuses cut and oversized files, then Qt's decoder.

#include "FuzzEnvironment.h"
#include "graphics/PictureSurface.h"

#include <QByteArrayView>
#include <algorithm>

namespace {

bool isGif(const uint8_t* data, size_t size)
{
    const QByteArrayView magic(data, static_cast<qsizetype>(std::min<size_t>(size, 6)));
    return magic == "GIF87a" || magic == "GIF89a";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!isGif(data, size)) {
        return -1; // not the block walk: the picture target covers other files
    }
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (fuzzsupport::declaresLargePicture(bytes)) {
        return -1;
    }
    PictureSurface surface;
    const QImage before = surface.Image();
    const PictureSurface::LoadResult result =
        surface.LoadPicture(fuzzsupport::writeInputFile(data, size));
    if (result != PictureSurface::LoadResult::Loaded) {
        FUZZ_CHECK(surface.Image() == before); // a failed load leaves the surface as it was
        return 0;
    }
    const QImage& image = surface.Image();
    FUZZ_CHECK(image.format() == QImage::Format_RGB32);
    FUZZ_CHECK(PictureSurface::fitsSurface(image.width(), image.height()));
    FUZZ_CHECK(surface.Point(0, 0) >= 0);
    return 0;
}
