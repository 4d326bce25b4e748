// The yardstick for Deskword's start-up: the least a Qt Widgets program does to show
// the same figure. Shows one frameless, always-on-top window titled "shaped_minimal"
// at X, Y, painted with PICTURE (the figure as Deskword drew it) and shaped by the
// rectangles of SHAPE ("x y w h" a line, window coordinates, as xshape_dump prints
// them) through QWidget::setMask; runs until it is closed or killed.
//
//   shaped_minimal PICTURE SHAPE X Y
#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QRegion>
#include <QTextStream>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

class Figure : public QWidget
{
public:
    explicit Figure(const QPixmap& picture)
        : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool),
          m_picture(picture)
    {
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawPixmap(0, 0, m_picture);
    }

private:
    QPixmap m_picture;
};

bool readShape(const QString& path, QRegion& shape)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return false;
    }
    std::vector<QRect> rects;
    QTextStream in(&file);
    int x = 0, y = 0, w = 0, h = 0;
    while (!in.atEnd()) {
        in >> x >> y >> w >> h;
        if (in.status() != QTextStream::Ok) {
            break;
        }
        rects.emplace_back(x, y, w, h);
        in.skipWhiteSpace();
    }
    shape.setRects(rects.data(), static_cast<int>(rects.size()));
    return !rects.empty();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: shaped_minimal PICTURE SHAPE X Y\n");
        return 2;
    }
    const QPixmap picture(QString::fromLocal8Bit(argv[1]));
    QRegion shape;
    if (picture.isNull() || !readShape(QString::fromLocal8Bit(argv[2]), shape)) {
        std::fprintf(stderr, "shaped_minimal: cannot read %s or %s\n", argv[1], argv[2]);
        return 1;
    }
    Figure window(picture);
    window.setWindowTitle(QStringLiteral("shaped_minimal"));
    window.setGeometry(std::atoi(argv[3]), std::atoi(argv[4]), picture.width(), picture.height());
    window.setMask(shape);
    window.show();
    return app.exec();
}
