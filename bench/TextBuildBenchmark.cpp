// Building the text's shape: 1, 10 and 100 lines at 12, 48 and 128 points, as the
// program does it (measure, draw on the scratch surface, scan, store). Besides the
// time of a build each prints how many runs the drawn text has and the time per
// run, which compares builds whatever their size; "refused" counts builds that
// ended with the too-large message instead of a shape.

#include "BenchScreen.h"
#include "forms/App.h"
#include "region/frm_RGN_Picture.h"
#include "shape/ShapeBuilder.h"

#include <QApplication>
#include <QImage>
#include <QStringList>
#include <benchmark/benchmark.h>

namespace {

QString text(int lines)
{
    QStringList all;
    for (int i = 0; i < lines; ++i) {
        all.append(QStringLiteral("The quick brown fox jumps over the lazy dog %1").arg(i));
    }
    return all.join(QStringLiteral("\r\n"));
}

// Runs of pixels unlike pixel (0, 0) on the surface: what a scan emits.
int64_t runsOnSurface()
{
    const QImage& image = frm_RGN_Picture::instance().pWPicture.Image();
    const QRgb key = image.pixel(0, 0);
    int64_t runs = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        bool inside = false;
        for (int x = 0; x < image.width(); ++x) {
            const bool set = row[x] != key;
            runs += set && !inside ? 1 : 0;
            inside = set;
        }
    }
    return runs;
}

void BM_MakeRGNFromText(benchmark::State& state)
{
    const QString lines = text(static_cast<int>(state.range(0)));
    resetShapes();
    PictureSurface& surface = frm_RGN_Picture::instance().pWPicture;
    surface.setFontName(QStringLiteral("DejaVu Sans"));
    surface.setFontSize(static_cast<double>(state.range(1)));
    surface.setForeColor(0x000000);
    surface.setBackColor(0xFFFFFF);
    int refused = 0;
    App::setMessageBoxHandler([&refused](const QString&) { ++refused; });
    for (auto _ : state) {
        benchmark::DoNotOptimize(MakeRGNFromText(lines));
    }
    App::setMessageBoxHandler({});
    const int64_t runs = runsOnSurface();
    state.counters["runs"] = static_cast<double>(runs);
    state.counters["per_run"] = benchmark::Counter(static_cast<double>(runs),
                                                   benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
    state.counters["refused"] = refused > 0 ? 1 : 0;
}

BENCHMARK(BM_MakeRGNFromText)
    ->ArgNames({"lines", "pt"})
    ->ArgsProduct({{1, 10, 100}, {12, 48, 128}})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char* argv[])
{
    useBenchScreen();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
