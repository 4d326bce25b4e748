// Any file chosen as the picture: the loader's header checks and limits, Qt's readers
// by content (with the image format plugins), and the second read that keeps the
// alpha channel of a picture with transparent pixels.

#include "FuzzEnvironment.h"
#include "graphics/PictureFile.h"
#include "graphics/PictureSurface.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (fuzzsupport::declaresLargePicture(bytes)) {
        return -1;
    }
    QImage picture;
    const PictureSurface::LoadResult result =
        PictureFile::read(fuzzsupport::writeInputFile(data, size), picture);
    FUZZ_CHECK(result != PictureSurface::LoadResult::NotFound);
    if (result != PictureSurface::LoadResult::Loaded) {
        return 0;
    }
    FUZZ_CHECK(!picture.isNull());
    FUZZ_CHECK(PictureSurface::fitsSurface(picture.width(), picture.height()));
    // With its alpha channel only when some pixel is transparent, otherwise opaque.
    FUZZ_CHECK(picture.hasAlphaChannel() == PictureFile::hasTransparency(picture));
    return 0;
}
