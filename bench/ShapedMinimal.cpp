// The yardstick for Deskword's start-up: the least a Qt Widgets program does to show
// the same figure. Shows one frameless, always-on-top window titled "shaped_minimal"
// at X, Y, painted with PICTURE (the figure as Deskword drew it) and shaped by the
// rectangles of SHAPE ("x y w h" a line, window coordinates, as xshape_dump prints
// them) through QWidget::setMask; runs until it is closed or killed. With TEXT it
// also draws those lines ("\n" between them) over the picture at the window's origin
// in bold 28 pt DejaVu Sans, black: the same text as the figure's, so that it loads
// and renders fonts as a program showing text must.
//
//   shaped_minimal PICTURE SHAPE X Y [TEXT]
#include <QApplication>
#include <QFile>
#include <QFont>
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
    Figure(const QPixmap& picture, const QString& text)
        : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool),
          m_picture(picture), m_text(text)
    {
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawPixmap(0, 0, m_picture);
        if (!m_text.isEmpty()) {
            QFont font(QStringLiteral("DejaVu Sans"), 28);
            font.setBold(true);
            painter.setFont(font);
            painter.setPen(Qt::black);
            painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop, m_text);
        }
    }

private:
    QPixmap m_picture;
    QString m_text;
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
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr, "usage: shaped_minimal PICTURE SHAPE X Y [TEXT]\n");
        return 2;
    }
    const QPixmap picture(QString::fromLocal8Bit(argv[1]));
    QRegion shape;
    if (picture.isNull() || !readShape(QString::fromLocal8Bit(argv[2]), shape)) {
        std::fprintf(stderr, "shaped_minimal: cannot read %s or %s\n", argv[1], argv[2]);
        return 1;
    }
    const QString text = argc == 6 ? QString::fromUtf8(argv[5]) : QString();
    Figure window(picture, text);
    window.setWindowTitle(QStringLiteral("shaped_minimal"));
    window.setGeometry(std::atoi(argv[3]), std::atoi(argv[4]), picture.width(), picture.height());
    window.setMask(shape);
    window.show();
    return app.exec();
}
