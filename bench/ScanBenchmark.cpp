// Building a shape from a screen-sized picture: the builder against reading every
// pixel once (plainly, and comparing eight pixels at a time with AVX2, the least any
// scan must do), and against Qt's usual way from an image to a region.

#include "BenchScreen.h"
#include "TimesReporter.h"
#include "forms/App.h"
#include "region/frm_RGN_Picture.h"
#include "shape/ShapeBuilder.h"

#include <QApplication>
#include <QBitmap>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <immintrin.h>

namespace {

// 1920 x 1080, a plain background and one large filled ellipse: about a thousand runs.
QImage testPicture()
{
    QImage image(1920, 1080, QImage::Format_RGB32);
    image.fill(qRgb(255, 255, 255));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 30, 40));
    p.drawEllipse(QRect(300, 40, 1300, 1000));
    return image;
}

const QImage& picture()
{
    static const QImage image = testPicture();
    return image;
}

void BM_ReadEveryPixel(benchmark::State& state)
{
    const QImage& image = picture();
    const int width = image.width();
    const int height = image.height();
    for (auto _ : state) {
        uint64_t sum = 0;
        for (int y = 0; y < height; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < width; ++x) {
                sum += row[x];
            }
        }
        benchmark::DoNotOptimize(sum);
    }
}

// One AVX2 pass over the picture: every pixel compared with the key colour, the
// pixels equal to it counted (each equal lane adds one, as -1 subtracted).
[[gnu::target("avx2")]] uint64_t countKeyPixelsAvx2(const QImage& image, QRgb key)
{
    const __m256i keys = _mm256_set1_epi32(static_cast<int>(key));
    const int width = image.width();
    const int height = image.height();
    uint64_t count = 0;
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        __m256i counts = _mm256_setzero_si256();
        int x = 0;
        for (; x + 8 <= width; x += 8) {
            const __m256i pixels = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + x));
            counts = _mm256_sub_epi32(counts, _mm256_cmpeq_epi32(pixels, keys));
        }
        alignas(32) uint32_t lanes[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), counts);
        for (uint32_t lane : lanes) {
            count += lane;
        }
        for (; x < width; ++x) {
            count += row[x] == key ? 1 : 0;
        }
    }
    return count;
}

void BM_ReadEveryPixelAvx2(benchmark::State& state)
{
    if (!__builtin_cpu_supports("avx2")) {
        state.SkipWithError("this processor has no AVX2");
        return;
    }
    const QImage& image = picture();
    const QRgb key = image.pixel(0, 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(countKeyPixelsAvx2(image, key));
    }
}

void BM_MakeRGNFromPicture(benchmark::State& state)
{
    // Put the picture on the scratch surface once, through a file as the program does.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.bmp"));
    picture().save(path, "BMP");
    resetShapes();
    frm_RGN_Picture::instance().pWPicture.LoadPicture(path);
    for (auto _ : state) {
        benchmark::DoNotOptimize(MakeRGNFromPicture(QString(), 15));
    }
}

void BM_QtMaskRegion(benchmark::State& state)
{
    const QImage& image = picture();
    const QRgb key = image.pixel(0, 0);
    for (auto _ : state) {
        QRegion region(QBitmap::fromImage(image.createMaskFromColor(key, Qt::MaskInColor)));
        benchmark::DoNotOptimize(region.rectCount());
    }
}

BENCHMARK(BM_ReadEveryPixel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadEveryPixelAvx2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MakeRGNFromPicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QtMaskRegion)->Unit(benchmark::kMillisecond);

// Prints the usual table and remembers each benchmark's processor time per
// iteration (steadier than wall time on a busy machine; every benchmark runs on one
// thread).
} // namespace

int main(int argc, char* argv[])
{
    useBenchScreen();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double read = reporter.cpu("BM_ReadEveryPixel");
    const double avx2 = reporter.cpu("BM_ReadEveryPixelAvx2");
    const double build = reporter.cpu("BM_MakeRGNFromPicture");
    const double qt = reporter.cpu("BM_QtMaskRegion");
    if (read > 0 && build > 0 && qt > 0) {
        std::printf("shape build / reading every pixel: %.2f (target at most 4)\n", build / read);
        std::printf("Qt mask region / shape build: %.1f (target at least 10)\n", qt / build);
    }
    if (avx2 > 0 && build > 0) {
        std::printf("shape build / one AVX2 read: %.2f (target at most 1.2)\n", build / avx2);
    }
    benchmark::Shutdown();
    return 0;
}
