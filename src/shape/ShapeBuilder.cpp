#include "ShapeBuilder.h"

#include "PictureFileShape.h"
#include "RGNDataStore.h"
#include "frm_RGN_Picture.h"
#include "window/App.h"
#include "window/CommandGate.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <bit>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

int32_t TextRegionNumber = 0;
int32_t PictureRegionNumber = 0;

namespace {

// Pending events are handled between rows, at most this often, so that long scans
// keep the screen painted without spending more time on events than on pixels.
constexpr qint64 EventInterval = 10;

// Collects the rectangles of the scan as four-point polygons, up to the point limit.
class RunCollector
{
public:
    RunCollector()
    {
        m_points.reserve(PointLimit);
        m_counts.reserve(PointLimit / 4);
    }

    // Adds the rectangle of the pixels x0 .. x1 - 1 of row y; false once the list
    // has reached the point limit.
    bool add(int x0, int x1, int y)
    {
        m_points.push_back({x0, y});
        m_points.push_back({x1, y});
        m_points.push_back({x1, y + 1});
        m_points.push_back({x0, y + 1});
        m_counts.push_back(4);
        return static_cast<int32_t>(m_points.size()) < PointLimit;
    }

    gdi::HRGN createRegion() const
    {
        return gdi::CreatePolyPolygonRgn(m_points.data(), m_counts.data(),
                                         static_cast<int32_t>(m_counts.size()), gdi::WINDING);
    }

private:
    std::vector<gdi::POINT> m_points;
    std::vector<int32_t> m_counts;
};

// The first column from x on whose pixel equals the key (wantKey) or differs from it,
// or width when there is none. Compares four pixels at a time where the processor
// allows, since this search is where a scan spends its time.
int findColumn(const QRgb* row, int x, int width, QRgb key, bool wantKey)
{
#if defined(__SSE2__)
    const __m128i keys = _mm_set1_epi32(static_cast<int>(key));
    const int stopMask = wantKey ? 0 : 0xFFFF; // the movemask while nothing is found
    while (x + 4 <= width) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi32(pixels, keys));
        if (mask != stopMask) {
            const int found = wantKey ? mask : (~mask & 0xFFFF);
            return x + std::countr_zero(static_cast<unsigned>(found)) / 4;
        }
        x += 4;
    }
#endif
    while (x < width && (row[x] == key) != wantKey) {
        ++x;
    }
    return x;
}

// Scans the surface row by row; every run of pixels of another colour than the key
// becomes a one-pixel-high rectangle. The scan starts with an open run at column 0,
// which the key-coloured pixel (0, 0) closes at once: every scan yields at least the
// zero-width rectangle and so always a valid, possibly empty, region.
bool scanSurface(const PictureSurface& surface, RunCollector& runs)
{
    const QImage& image = surface.Image();
    const QRgb key = image.pixel(0, 0);
    const int rows = image.height();
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    int runStart = 0;
    for (int y = 0; y < rows; ++y) {
        if (sinceEvents.elapsed() >= EventInterval) {
            App::DoEvents();
            sinceEvents.restart();
        }
        if (y >= image.height()) {
            break;
        }
        const int width = image.width();
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        int x = 0;
        while (x < width) {
            if (runStart < 0) {
                x = findColumn(row, x, width, key, false);
                if (x < width) {
                    runStart = x;
                }
            } else {
                x = findColumn(row, x, width, key, true);
                if (x < width) {
                    if (!runs.add(runStart, x, y)) {
                        return false;
                    }
                    runStart = -1;
                }
            }
        }
        if (runStart >= 0) {
            if (!runs.add(runStart, width, y)) {
                return false;
            }
            runStart = -1;
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
    // Implicitly shared: the holder keeps this image when the surface changes later.
    holder->Picture = surface.Image();

    RunCollector runs;
    if (!scanSurface(surface, runs)) {
        App::MsgBox(number == TextShapeNumber ? tooLargeMessage() : pictureTooDetailedMessage());
        return 0;
    }
    const gdi::HRGN region = runs.createRegion();
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
