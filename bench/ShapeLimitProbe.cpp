// Shows one frameless window whose shape is N one-pixel rectangles (a checkerboard
// 4096 pixels wide), set through Qt, prints "window <id> rects <N>" and ends after
// eight seconds. bench/shape_limit.sh reads back what the X server holds.
#include <QApplication>
#include <QRegion>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const long count = argc > 1 ? std::atol(argv[1]) : 0;
    const int width = 4096;
    std::vector<QRect> rects;
    for (long i = 0; i < count; ++i) {
        const int y = static_cast<int>(i / (width / 2));
        rects.emplace_back(static_cast<int>(i % (width / 2)) * 2 + y % 2, y, 1, 1);
    }
    QRegion region;
    region.setRects(rects.data(), static_cast<int>(rects.size()));
    QWidget window;
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.setGeometry(0, 0, width, static_cast<int>(count / (width / 2)) + 2);
    window.setMask(region);
    window.show();
    QTimer::singleShot(0, &window, [&] {
        std::printf("window %llu rects %d\n", static_cast<unsigned long long>(window.winId()),
                    region.rectCount());
        std::fflush(stdout);
    });
    QTimer::singleShot(8000, &app, &QApplication::quit);
    return app.exec();
}
