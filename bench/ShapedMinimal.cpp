// The yardstick for Deskword's start-up: the least a Qt Widgets program does to show
// the same figure. Shows one frameless, always-on-top window titled "shaped_minimal"
// at X, Y, painted with PICTURE (the figure as Deskword drew it) and shaped by the
// rectangles of SHAPE ("x y w h" a line, window coordinates, as xshape_dump prints
// them) through QWidget::setMask; runs until it is closed or killed. With TEXT it
// also draws those lines ("\n" between them) over the picture at the window's origin
// in bold 28 pt DejaVu Sans, black: the same text as the figure's, so that it loads
// and renders fonts as a program showing text must.
//
// By default the window is an ordinary one the window manager places. With
// --desktop-window it is the kind of window Deskword shows its figure in while a
// compositor runs: one the window manager leaves alone (override-redirect), with
// per-pixel alpha (a 32-bit visual), taking no focus; the X server then keeps the same
// kind of pixmaps for it. Without a compositor the X server blends such a window into
// the 24-bit desktop itself and holds a second copy of its pixels for that, which is
// why Deskword's window is 24-bit then.
//
//   shaped_minimal [--desktop-window] PICTURE SHAPE X Y [TEXT]
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
#include <cstring>
#include <vector>

namespace {

class Figure : public QWidget
{
public:
    Figure(const QPixmap& picture, const QString& text, bool desktopWindow)
        : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool),
          m_picture(picture), m_text(text)
    {
        if (desktopWindow) {
            setWindowFlag(Qt::WindowDoesNotAcceptFocus);
            setWindowFlag(Qt::BypassWindowManagerHint);
            setAttribute(Qt::WA_ShowWithoutActivating);
            setAttribute(Qt::WA_TranslucentBackground);
        }
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
    const bool desktopWindow = argc > 1 && std::strcmp(argv[1], "--desktop-window") == 0;
    char** const args = argv + (desktopWindow ? 2 : 1);
    const int count = argc - (desktopWindow ? 2 : 1);
    if (count != 4 && count != 5) {
        std::fprintf(stderr, "usage: shaped_minimal [--desktop-window] PICTURE SHAPE X Y [TEXT]\n");
        return 2;
    }
    const QPixmap picture(QString::fromLocal8Bit(args[0]));
    QRegion shape;
    if (picture.isNull() || !readShape(QString::fromLocal8Bit(args[1]), shape)) {
        std::fprintf(stderr, "shaped_minimal: cannot read %s or %s\n", args[0], args[1]);
        return 1;
    }
    const QString text = count == 5 ? QString::fromUtf8(args[4]) : QString();
    Figure window(picture, text, desktopWindow);
    window.setWindowTitle(QStringLiteral("shaped_minimal"));
    window.setGeometry(std::atoi(args[2]), std::atoi(args[3]), picture.width(), picture.height());
    window.setMask(shape);
    window.show();
    return app.exec();
}
