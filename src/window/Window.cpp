#include "Window.h"

#include "Colors.h"
#include "Rounding.h"
#include "Screen.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>

int twipsToPixelsX(double twips)
{
    return roundHalfEven(twips / Screen::TwipsPerPixelX());
}

int twipsToPixelsY(double twips)
{
    return roundHalfEven(twips / Screen::TwipsPerPixelY());
}

int pixelsToTwipsX(double pixels)
{
    return roundHalfEven(pixels * Screen::TwipsPerPixelX());
}

int pixelsToTwipsY(double pixels)
{
    return roundHalfEven(pixels * Screen::TwipsPerPixelY());
}

Window::Window(QWidget* parent) : QWidget(parent) {}

Window::~Window()
{
    if (m_windowRegion != 0) {
        gdi::DeleteObject(m_windowRegion);
    }
}

int Window::Left() const
{
    return pixelsToTwipsX(pos().x());
}

int Window::Top() const
{
    return pixelsToTwipsY(pos().y());
}

int Window::Width() const
{
    return pixelsToTwipsX(isTopLevel() ? frameGeometry().width() : width());
}

int Window::Height() const
{
    return pixelsToTwipsY(isTopLevel() ? frameGeometry().height() : height());
}

void Window::setLeft(int twips)
{
    move(twipsToPixelsX(twips), pos().y());
}

void Window::setTop(int twips)
{
    move(pos().x(), twipsToPixelsY(twips));
}

void Window::setWidth(int twips)
{
    const int frame = isTopLevel() ? frameGeometry().width() - width() : 0;
    resize(std::max(0, twipsToPixelsX(twips) - frame), height());
}

void Window::setHeight(int twips)
{
    const int frame = isTopLevel() ? frameGeometry().height() - height() : 0;
    resize(width(), std::max(0, twipsToPixelsY(twips) - frame));
}

int Window::ScaleWidth() const
{
    return pixelsToTwipsX(width());
}

int Window::ScaleHeight() const
{
    return pixelsToTwipsY(height());
}

void Window::setAutoRedraw(bool on)
{
    // The back-buffer follows the window's size when it is next drawn on or shown,
    // so preparing a screen-sized window allocates it once, not at every step.
    m_autoRedraw = on;
    update();
}

void Window::setBackColor(uint32_t bgr)
{
    m_backColor = bgr & 0xFFFFFF;
    update();
}

QSize Window::backBufferSize() const
{
    // The back-buffer grows with the window and never shrinks, so that what was drawn
    // beyond a smaller size comes back when the window grows again.
    return size().expandedTo(m_backBuffer.size()).expandedTo(QSize(1, 1));
}

void Window::ensureBackBufferSize()
{
    const QSize wanted = backBufferSize();
    if (m_backBuffer.size() == wanted) {
        return;
    }
    QImage grown(wanted, QImage::Format_RGB32);
    grown.fill(colorFromBgr(m_backColor));
    if (!m_backBuffer.isNull()) {
        QPainter p(&grown);
        p.drawImage(0, 0, m_backBuffer);
    }
    m_backBuffer = std::move(grown);
}

void Window::Cls()
{
    // Everything is cleared, so a buffer that must grow is not copied or filled first.
    const QSize wanted = backBufferSize();
    if (m_backBuffer.size() != wanted) {
        m_backBuffer = QImage(wanted, QImage::Format_RGB32);
    }
    m_backBuffer.fill(colorFromBgr(m_backColor));
    updateShown(rect());
}

void Window::PaintPicture(const QImage& picture, int xTwips, int yTwips)
{
    ensureBackBufferSize();
    QPainter p(&m_backBuffer);
    if (m_clip) {
        p.setClipRegion(*m_clip);
    }
    const QRect target(twipsToPixelsX(xTwips), twipsToPixelsY(yTwips), picture.width(),
                       picture.height());
    p.drawImage(target.topLeft(), picture);
    p.end();
    updateShown(m_clip ? *m_clip & target : QRegion(target));
}

void Window::SelectClipRgn(gdi::HRGN region)
{
    const RegionData* shape = gdi::regionData(region);
    if (shape == nullptr) {
        m_clip.reset();
    } else {
        m_clip = shape->toQRegion();
    }
}

void Window::FillRgn(gdi::HRGN region, uint32_t bgr)
{
    const RegionData* shape = gdi::regionData(region);
    if (shape == nullptr) {
        return;
    }
    ensureBackBufferSize();
    QPainter p(&m_backBuffer);
    p.setClipRegion(shape->toQRegion());
    p.fillRect(m_backBuffer.rect(), colorFromBgr(bgr));
    p.end();
    updateShown(shape->toQRegion());
}

void Window::updateShown(const QRegion& changed)
{
    // Only what the shape lets through is ever seen: a screen-sized window whose
    // shape is a few letters repaints just those letters.
    update(m_windowRegion != 0 ? changed & mask() : changed);
}

void Window::takeWindowRegion(gdi::HRGN region, bool redraw)
{
    if (m_windowRegion != 0 && m_windowRegion != region) {
        gdi::DeleteObject(m_windowRegion);
    }
    m_windowRegion = region;
    const RegionData* shape = gdi::regionData(region);
    if (shape == nullptr) {
        clearMask();
    } else if (shape->isEmpty()) {
        // An empty mask would mean "no mask" to Qt and show the whole window;
        // a one-pixel mask outside the window leaves nothing of it visible.
        setMask(QRegion(-1, -1, 1, 1));
    } else {
        setMask(shape->toQRegion());
    }
    if (redraw) {
        update();
    }
}

void Window::paintEvent(QPaintEvent* event)
{
    if (m_autoRedraw) {
        ensureBackBufferSize();
    }
    QPainter p(this);
    if (m_autoRedraw) {
        // Only the shape is drawn: where the platform does not cut the window to its
        // mask (Wayland), a translucent window shows the desktop everywhere else.
        const QRegion shown = m_windowRegion != 0 ? event->region() & mask() : event->region();
        for (const QRect& area : shown) {
            p.drawImage(area.topLeft(), m_backBuffer, area);
        }
    } else {
        p.fillRect(rect(), colorFromBgr(m_backColor));
    }
}

void Window::mousePressEvent(QMouseEvent* event)
{
    int button = 0;
    switch (event->button()) {
    case Qt::LeftButton:
        button = 1;
        break;
    case Qt::RightButton:
        button = 2;
        break;
    case Qt::MiddleButton:
        button = 4;
        break;
    default:
        break;
    }
    int shift = 0;
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (mods & Qt::ShiftModifier) {
        shift |= 1;
    }
    if (mods & Qt::ControlModifier) {
        shift |= 2;
    }
    if (mods & Qt::AltModifier) {
        shift |= 4;
    }
    const QPointF at = event->position();
    m_lastPress = at.toPoint();
    m_lastPressGlobal = event->globalPosition().toPoint();
    const QPointer<Window> self(this);
    emit mouseDown(button, shift, pixelsToTwipsX(at.x()), pixelsToTwipsY(at.y()));
    if (self != nullptr) {
        QWidget::mousePressEvent(event);
    }
}
