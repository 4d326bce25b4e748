// Scan and store only: a text's drawn pixels into a region, Deskword's way (the row
// scan of RowSpans::best() into a span buffer, BandedRegionBuilder joining rows with
// the same spans into bands) against a one-pass builder written for the comparison
// (one run-length pass over the 32-bit pixels that writes each run as a rectangle and
// joins a row to the band above when its runs are the same). Both run on the same
// pixels: 1, 10 and 100 lines at 12, 48 and 128 points, drawn as the program draws
// them on a 1920 x 1080 screen.
//
//   shape_store_benchmark [ROUNDS]     (default 31)
//
// Each round times both builders in turn (the order alternating from round to round),
// each over enough repetitions to last a few milliseconds; a round's ratio is
// Deskword's time over the one-pass builder's. Prints per text the median time per
// run of each, the median ratio and its interquartile range, and the load average.

#include "BenchScreen.h"
#include "forms/App.h"
#include "graphics/BandedRegionBuilder.h"
#include "platform/RowSpans.h"
#include "region/frm_RGN_Picture.h"
#include "shape/ShapeBuilder.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QStringList>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

QString text(int lines)
{
    QStringList all;
    for (int i = 0; i < lines; ++i) {
        all.append(QStringLiteral("The quick brown fox jumps over the lazy dog %1").arg(i));
    }
    return all.join(QStringLiteral("\r\n"));
}

QImage drawnText(int lines, double points)
{
    resetShapes();
    PictureSurface& surface = frm_RGN_Picture::instance().pWPicture;
    surface.setFontName(QStringLiteral("DejaVu Sans"));
    surface.setFontSize(points);
    surface.setForeColor(0x000000);
    surface.setBackColor(0xFFFFFF);
    MakeRGNFromText(text(lines));
    return frm_RGN_Picture::instance().pPicture(TextShapeNumber)->Picture;
}

// Deskword's scan and store, as the shape builder runs it (without its pauses for events).
RegionData deskwordBuild(const QImage& image)
{
    static const RowSpans::Scan scanRow = RowSpans::best();
    const uint32_t key = image.pixel(0, 0);
    const int width = image.width();
    std::vector<int32_t> spans(static_cast<size_t>(width) + 1);
    BandedRegionBuilder bands;
    for (int y = 0; y < image.height(); ++y) {
        const int values = scanRow(reinterpret_cast<const uint32_t*>(image.constScanLine(y)), width,
                                   key, spans.data());
        bands.addRow(y, spans.data(), static_cast<size_t>(values));
    }
    return bands.take();
}

// The one-pass builder: runs straight into rectangles, a row joined to the band above
// when it has the same runs.
std::vector<RgnRect> onePassBuild(const QImage& image)
{
    const uint32_t key = image.pixel(0, 0);
    const int width = image.width();
    std::vector<RgnRect> rects;
    size_t bandStart = 0;
    size_t bandEnd = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        const size_t rowStart = rects.size();
        int x = 0;
        while (x < width) {
            while (x < width && row[x] == key) {
                ++x;
            }
            if (x == width) {
                break;
            }
            const int left = x;
            while (x < width && row[x] != key) {
                ++x;
            }
            rects.push_back({left, y, x, y + 1});
        }
        const size_t count = rects.size() - rowStart;
        if (count == 0) {
            continue;
        }
        const bool joins = bandEnd == rowStart && bandEnd - bandStart == count &&
                           rects[bandStart].bottom == y &&
                           std::equal(rects.begin() + static_cast<ptrdiff_t>(bandStart),
                                      rects.begin() + static_cast<ptrdiff_t>(bandEnd),
                                      rects.begin() + static_cast<ptrdiff_t>(rowStart),
                                      [](const RgnRect& a, const RgnRect& b) {
                                          return a.left == b.left && a.right == b.right;
                                      });
        if (joins) {
            for (size_t i = bandStart; i < bandEnd; ++i) {
                rects[i].bottom = y + 1;
            }
            rects.resize(rowStart);
        } else {
            bandStart = rowStart;
            bandEnd = rects.size();
        }
    }
    return rects;
}

int64_t runsOf(const QImage& image)
{
    const uint32_t key = image.pixel(0, 0);
    int64_t runs = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        bool inside = false;
        for (int x = 0; x < image.width(); ++x) {
            const bool set = row[x] != key;
            runs += set && !inside ? 1 : 0;
            inside = set;
        }
    }
    return runs;
}

template <class Build> double secondsFor(int repetitions, Build build)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < repetitions; ++i) {
        build();
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
           repetitions;
}

double quantile(std::vector<double> values, double q)
{
    std::sort(values.begin(), values.end());
    const double at = q * static_cast<double>(values.size() - 1);
    const auto low = static_cast<size_t>(at);
    const size_t high = std::min(low + 1, values.size() - 1);
    return values[low] + (values[high] - values[low]) * (at - static_cast<double>(low));
}

QByteArray loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readLine().trimmed() : QByteArray("?");
}

} // namespace

int main(int argc, char* argv[])
{
    useBenchScreen();
    QApplication app(argc, argv);
    App::setMessageBoxHandler([](const QString&) {});
    const int rounds = argc > 1 ? std::max(3, atoi(argv[1])) : 31;
    std::printf("load average before: %s\n", loadAverage().constData());
    std::printf("%-12s %8s %12s %12s %8s %15s\n", "text", "runs", "deskword ns", "one-pass ns",
                "ratio", "ratio IQR");
    for (const int lines : {1, 10, 100}) {
        for (const double points : {12.0, 48.0, 128.0}) {
            const QImage image = drawnText(lines, points);
            const int64_t runs = std::max<int64_t>(runsOf(image), 1);
            const std::vector<RgnRect> reference = onePassBuild(image);
            if (deskwordBuild(image).rects() != reference) {
                std::printf("%d lines at %g pt: the builders disagree\n", lines, points);
                return 1;
            }
            // Enough repetitions for about 5 ms a timing.
            const double once = secondsFor(1, [&] { onePassBuild(image); });
            const int repetitions =
                std::clamp(static_cast<int>(0.005 / std::max(once, 1e-9)), 1, 100000);
            std::vector<double> ours;
            std::vector<double> theirs;
            std::vector<double> ratios;
            for (int round = 0; round < rounds; ++round) {
                double a = 0;
                double b = 0;
                const auto timeOurs = [&] {
                    a = secondsFor(repetitions, [&] { deskwordBuild(image); });
                };
                const auto timeTheirs = [&] {
                    b = secondsFor(repetitions, [&] { onePassBuild(image); });
                };
                if (round % 2 == 0) {
                    timeOurs();
                    timeTheirs();
                } else {
                    timeTheirs();
                    timeOurs();
                }
                ours.push_back(a);
                theirs.push_back(b);
                ratios.push_back(a / b);
            }
            const double perRun = 1e9 / static_cast<double>(runs);
            std::printf("%3d x %3g pt %8lld %12.2f %12.2f %8.3f %7.3f-%7.3f\n", lines, points,
                        static_cast<long long>(runs), quantile(ours, 0.5) * perRun,
                        quantile(theirs, 0.5) * perRun, quantile(ratios, 0.5),
                        quantile(ratios, 0.25), quantile(ratios, 0.75));
        }
    }
    std::printf("load average after: %s\n", loadAverage().constData());
    return 0;
}
