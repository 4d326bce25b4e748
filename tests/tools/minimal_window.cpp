// The smallest Qt Widgets program that shows a window: the yardstick for Deskword's
// start-up time. Shows one plain 640 x 480 top-level window titled "minimal_window"
// and runs until it is closed or killed.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("minimal_window"));
    window.resize(640, 480);
    window.show();
    return app.exec();
}
