// Shows one frameless top-level Window whose shape is set through the window layer,
// so that a test can read the shape back from the X server.
//
//   shape_window            a shape of three rectangles, built from four overlapping
//                           and touching ones with CreateRectRgn and CombineRgn(RGN_OR)
//   shape_window --empty    a region without rectangles: nothing of the window shows
//   shape_window --none     region handle 0: the whole window shows, unshaped
//
// Prints "window <id>" (the X window id), then the region's rectangles as the layer
// holds them, "rect x y w h" a line in window coordinates, then "ready"; then runs
// until it is killed. The window is 200 x 160 pixels at (100, 100).
#include "forms/Window.h"
#include "forms/WindowRgn.h"
#include "graphics/Gdi.h"

#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <vector>

namespace {

gdi::HRGN buildShape()
{
    // A bar across the top, split in two touching halves, and two legs below it.
    const gdi::HRGN shape = gdi::CreateRectRgn(10, 40, 40, 140);
    const int parts[][4] = {{80, 40, 110, 140}, {10, 10, 60, 40}, {50, 10, 110, 40}};
    for (const auto& p : parts) {
        const gdi::HRGN part = gdi::CreateRectRgn(p[0], p[1], p[2], p[3]);
        gdi::CombineRgn(shape, shape, part, gdi::RGN_OR);
        gdi::DeleteObject(part);
    }
    return shape;
}

void printRegion(gdi::HRGN region)
{
    const uint32_t size = gdi::GetRegionData(region, 0, nullptr);
    if (size == 0) {
        return;
    }
    std::vector<unsigned char> data(size);
    gdi::GetRegionData(region, size, data.data());
    const auto get32 = [&](size_t at) {
        return static_cast<int32_t>(static_cast<uint32_t>(data[at]) |
                                    (static_cast<uint32_t>(data[at + 1]) << 8) |
                                    (static_cast<uint32_t>(data[at + 2]) << 16) |
                                    (static_cast<uint32_t>(data[at + 3]) << 24));
    };
    const int32_t count = get32(8);
    for (int32_t i = 0; i < count; ++i) {
        const size_t at = gdi::RGNDATA_HEADER_SIZE + gdi::RGNDATA_RECT_SIZE * i;
        const int32_t left = get32(at);
        const int32_t top = get32(at + 4);
        std::printf("rect %d %d %d %d\n", left, top, get32(at + 8) - left, get32(at + 12) - top);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();

    Window window;
    window.setWindowFlag(Qt::FramelessWindowHint);
    window.setWindowTitle(QStringLiteral("shape_window"));
    window.setGeometry(100, 100, 200, 160);
    window.setBackColor(0x0000FF);

    gdi::HRGN region = 0;
    if (args.contains(QStringLiteral("--empty"))) {
        region = gdi::CreateRectRgn(0, 0, 0, 0);
    } else if (!args.contains(QStringLiteral("--none"))) {
        region = buildShape();
    }
    if (gdi::SetWindowRgn(&window, region, true) == 0) {
        std::fprintf(stderr, "shape_window: SetWindowRgn failed\n");
        return 1;
    }
    window.show();
    std::printf("window %llu\n", static_cast<unsigned long long>(window.winId()));
    if (window.windowRegion() != 0) {
        printRegion(window.windowRegion());
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
