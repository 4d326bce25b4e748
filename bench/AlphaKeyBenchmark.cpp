// What cutting a picture by its alpha channel adds to a shape build: making the
// opaque, key-coloured copy of a screen-sized picture with transparency, against
// building the shape from that copy.

#include "TimesReporter.h"
#include "region/frm_RGN_Picture.h"
#include "shape/AlphaKey.h"
#include "shape/ShapeBuilder.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

// 1920 x 1080, transparent, one large ellipse with soft edges in a gradient of colours.
QImage testPicture()
{
    QImage image(1920, 1080, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    QLinearGradient gradient(0, 0, 1920, 1080);
    gradient.setColorAt(0, QColor(200, 30, 40));
    gradient.setColorAt(1, QColor(20, 60, 220));
    p.setBrush(gradient);
    p.drawEllipse(QRect(300, 40, 1300, 1000));
    return image;
}

const QImage& picture()
{
    static const QImage image = testPicture();
    return image;
}

void BM_KeyByAlpha(benchmark::State& state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(keyByAlpha(picture()).scanned.constBits());
    }
}

void BM_BuildFromKeyedPicture(benchmark::State& state)
{
    resetShapes();
    frm_RGN_Picture::instance().pWPicture.setPicture(keyByAlpha(picture()).scanned);
    for (auto _ : state) {
        benchmark::DoNotOptimize(MakeRGNFromPicture(QString(), 15));
    }
}

BENCHMARK(BM_KeyByAlpha)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildFromKeyedPicture)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double keyTime = reporter.real("BM_KeyByAlpha");
    const double buildTime = reporter.real("BM_BuildFromKeyedPicture");
    if (keyTime > 0 && buildTime > 0) {
        std::printf("alpha keying / shape build: %.2f\n", keyTime / buildTime);
    }
    benchmark::Shutdown();
    return 0;
}
