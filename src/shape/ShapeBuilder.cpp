#include "ShapeBuilder.h"

#include "PictureFileShape.h"
#include "forms/App.h"
#include "forms/CommandGate.h"
#include "graphics/BandedRegionBuilder.h"
#include "platform/RowSpans.h"
#include "region/RGNDataStore.h"
#include "region/frm_RGN_Picture.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdint>
#include <vector>

int32_t TextRegionNumber = 0;
int32_t PictureRegionNumber = 0;

namespace {

// Pending events are handled between rows, at most this often, so that long scans
// keep the screen painted without spending more time on events than on pixels.
constexpr qint64 EventInterval = 10;
// The clock is read only after this many pixels, not on every row.
constexpr int PixelsPerClockRead = 1 << 16;

// Scans the surface row by row into a banded region: every run of pixels of another
// colour than pixel (0, 0) is a span of its row, and rows with the same spans join
// into bands as they come. False, with the region left incomplete, as soon as the
// region has more than maxRects rectangles.
bool scanSurface(const QImage& image, BandedRegionBuilder& bands, RowSpans::Scan scanRow,
                 size_t maxRects)
{
    const QRgb key = image.pixel(0, 0);
    std::vector<int32_t> spans;
    const int rows = image.height();
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    int pixelsSinceClock = 0;
    for (int y = 0; y < rows; ++y) {
        if (pixelsSinceClock >= PixelsPerClockRead) {
            pixelsSinceClock = 0;
            if (sinceEvents.elapsed() >= EventInterval) {
                App::DoEvents();
                sinceEvents.restart();
            }
        }
        if (y >= image.height()) {
            break;
        }
        const int width = image.width();
        pixelsSinceClock += width;
        spans.resize(static_cast<size_t>(width) + 1);
        const int values = scanRow(reinterpret_cast<const uint32_t*>(image.constScanLine(y)), width,
                                   key, spans.data());
        bands.addRow(y, spans.data(), static_cast<size_t>(values));
        if (bands.rectCount() > maxRects) {
            return false;
        }
    }
    return true;
}

QString describeFile(const QString& fileName)
{
    return QDir::toNativeSeparators(fileName);
}

} // namespace

int32_t MakeRGNFromPicture(const QString& fileName, int32_t index)
{
    const CommandGate::Hold building;
    frm_RGN_Picture& scratch = frm_RGN_Picture::instance();
    const QList<int16_t> holders = scratch.holderIndexes();
    const int32_t highest = holders.isEmpty() ? 0 : holders.last();
    const int32_t number = index < 10 ? GetFreePictureIndex() : index;
    if (number > INT16_MAX) {
        return 0;
    }
    if (highest <= number) {
        RGNDataStore::instance().growTo(number - 10);
    }
    LoadPictureHolder(number);
    PictureHolder* holder = scratch.pPicture(number);
    holder->Visible = true;

    PictureSurface& surface = scratch.pWPicture;
    if (!fileName.isEmpty()) {
        switch (surface.LoadPicture(fileName)) {
        case PictureSurface::LoadResult::Loaded:
            break;
        case PictureSurface::LoadResult::NotFound:
            return 0;
        case PictureSurface::LoadResult::TooLarge:
            App::MsgBox(tooLargeMessage() + QStringLiteral("\n") + describeFile(fileName));
            return 0;
        case PictureSurface::LoadResult::Undecodable:
            App::MsgBox(QCoreApplication::translate("mod_RGN_Proc_Plus",
                                                    "The picture file cannot be read:") +
                        QStringLiteral("\n") + describeFile(fileName));
            return 0;
        }
    }
    static const RowSpans::Scan scanRow = RowSpans::best();
    BandedRegionBuilder bands;
    const size_t maxRects = number == TextShapeNumber ? SIZE_MAX : size_t{MaxPictureShapeRects};
    if (!scanSurface(surface.Image(), bands, scanRow, maxRects)) {
        // Nothing of this build is kept: the holder and the record keep the previous
        // shape, and the surface gives back its memory.
        bands = BandedRegionBuilder();
        surface.releaseImage();
        App::MsgBox(pictureTooDetailedMessage());
        return 0;
    }
    // Implicitly shared: the holder keeps this image when the surface changes later.
    holder->Picture = surface.Image();
    const gdi::HRGN region = gdi::createRegion(bands.take());
    const gdi::HRGN copy = SaveRGNData(region, number - 10);
    gdi::DeleteObject(copy);
    gdi::DeleteObject(region);
    return number;
}

void resetShapes()
{
    TextRegionNumber = 0;
    PictureRegionNumber = 0;
    RGNDataStore::instance().clear();
    frm_RGN_Picture::instance().reset();
}
