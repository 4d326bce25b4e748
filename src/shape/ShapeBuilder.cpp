#include "ShapeBuilder.h"

#include "PictureFileShape.h"
#include "region/RGNDataStore.h"
#include "region/frm_RGN_Picture.h"
#include "window/App.h"
#include "window/BandedRegionBuilder.h"
#include "window/CommandGate.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <bit>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

int32_t TextRegionNumber = 0;
int32_t PictureRegionNumber = 0;

namespace {

// Pending events are handled between rows, at most this often, so that long scans
// keep the screen painted without spending more time on events than on pixels.
constexpr qint64 EventInterval = 10;
// The clock is read only after this many pixels, not on every row.
constexpr int PixelsPerClockRead = 1 << 16;

// Finders of the first column from x on whose pixel equals the key (WantKey) or
// differs from it, or width when there is none. This search is where a scan spends
// its time, so each compares as many pixels at once as its instructions allow.
struct PlainFinder
{
    template <bool WantKey> static int find(const QRgb* row, int x, int width, QRgb key)
    {
        while (x < width && (row[x] == key) != WantKey) {
            ++x;
        }
        return x;
    }
};

#if defined(__SSE2__)
struct Sse2Finder
{
    template <bool WantKey> static int find(const QRgb* row, int x, int width, QRgb key)
    {
        const __m128i keys = _mm_set1_epi32(static_cast<int>(key));
        while (x + 4 <= width) {
            const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
            const int equal = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(pixels, keys)));
            const int found = WantKey ? equal : (~equal & 0xF);
            if (found != 0) {
                return x + std::countr_zero(static_cast<unsigned>(found));
            }
            x += 4;
        }
        return PlainFinder::find<WantKey>(row, x, width, key);
    }
};
using PortableFinder = Sse2Finder;
#else
using PortableFinder = PlainFinder;
#endif

#if defined(__x86_64__) || defined(__i386__)
#define DESKWORD_SCAN_AVX2 1
struct Avx2Finder
{
    template <bool WantKey>
    [[gnu::target("avx2")]] static int find(const QRgb* row, int x, int width, QRgb key)
    {
        const __m256i keys = _mm256_set1_epi32(static_cast<int>(key));
        while (x + 8 <= width) {
            const __m256i pixels = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + x));
            const int equal =
                _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpeq_epi32(pixels, keys)));
            const int found = WantKey ? equal : (~equal & 0xFF);
            if (found != 0) {
                return x + std::countr_zero(static_cast<unsigned>(found));
            }
            x += 8;
        }
        return PlainFinder::find<WantKey>(row, x, width, key);
    }
};
#endif

// The runs of one row: every maximal run of pixels of another colour than the key is
// one span of the row. Inlined into each row scanner so that its finder is too.
template <class Finder>
[[gnu::always_inline]] inline void scanRowWith(const QRgb* row, int width, QRgb key,
                                               BandedRegionBuilder& bands)
{
    int x = 0;
    while (x < width) {
        const int start = Finder::template find<false>(row, x, width, key);
        if (start >= width) {
            break;
        }
        x = Finder::template find<true>(row, start + 1, width, key);
        bands.addSpan(start, x);
    }
}

using RowScan = void (*)(const QRgb* row, int width, QRgb key, BandedRegionBuilder& bands);

#if defined(DESKWORD_SCAN_AVX2)
[[gnu::target("avx2")]] void scanRowAvx2(const QRgb* row, int width, QRgb key,
                                         BandedRegionBuilder& bands)
{
    scanRowWith<Avx2Finder>(row, width, key, bands);
}
#endif

void scanRowPortable(const QRgb* row, int width, QRgb key, BandedRegionBuilder& bands)
{
    scanRowWith<PortableFinder>(row, width, key, bands);
}

// AVX2 where the processor has it, chosen once at run time.
RowScan chooseRowScan()
{
#if defined(DESKWORD_SCAN_AVX2)
    if (__builtin_cpu_supports("avx2")) {
        return scanRowAvx2;
    }
#endif
    return scanRowPortable;
}

// Scans the surface row by row into a banded region: every run of pixels of another
// colour than pixel (0, 0) is a span of its row, and rows with the same spans join
// into bands as they come. False, with the region left incomplete, as soon as the
// region has more rectangles than a window shape may have.
bool scanSurface(const QImage& image, BandedRegionBuilder& bands, RowScan scanRow)
{
    const QRgb key = image.pixel(0, 0);
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
        scanRow(reinterpret_cast<const QRgb*>(image.constScanLine(y)), width, key, bands);
        bands.endRow(y);
        if (bands.rectCount() > gdi::MaxWindowShapeRects) {
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
    static const RowScan scanRow = chooseRowScan();
    BandedRegionBuilder bands;
    if (!scanSurface(surface.Image(), bands, scanRow)) {
        // Nothing of this build is kept: the holder and the record keep the previous
        // shape, and the surface gives back its memory.
        bands = BandedRegionBuilder();
        surface.releaseImage();
        App::MsgBox(number == TextShapeNumber ? tooLargeMessage() : pictureTooDetailedMessage());
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
