#include "Window.h"

#include "graphics/Colors.h"
#include "graphics/Units.h"
#include "platform/WindowMask.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>

Window::Window(QWidget* parent) : QWidget(parent) {}

Window::~Window()
{
    if (m_windowRegion != 0) {
        gdi::DeleteObject(m_windowRegion);
    }
}

int Window::Left() const
{
    return PixelToTwipX(pos().x());
}

int Window::Top() const
{
    return PixelToTwipY(pos().y());
}

int Window::Width() const
{
    if (m_sizedToFigure) {
        return PixelToTwipX(m_logicalSize.width());
    }
    return PixelToTwipX(isTopLevel() ? frameGeometry().width() : width());
}

int Window::Height() const
{
    if (m_sizedToFigure) {
        return PixelToTwipY(m_logicalSize.height());
    }
    return PixelToTwipY(isTopLevel() ? frameGeometry().height() : height());
}

void Window::setLeft(int twips)
{
    move(TwipToNearestPixelX(twips), pos().y());
}

void Window::setTop(int twips)
{
    move(pos().x(), TwipToNearestPixelY(twips));
}

void Window::setWidth(int twips)
{
    if (m_sizedToFigure) {
        m_logicalSize.setWidth(std::max(0, TwipToNearestPixelX(twips)));
        fitToFigure();
        return;
    }
    const int frame = isTopLevel() ? frameGeometry().width() - width() : 0;
    resize(std::max(0, TwipToNearestPixelX(twips) - frame), height());
}

void Window::setHeight(int twips)
{
    if (m_sizedToFigure) {
        m_logicalSize.setHeight(std::max(0, TwipToNearestPixelY(twips)));
        fitToFigure();
        return;
    }
    const int frame = isTopLevel() ? frameGeometry().height() - height() : 0;
    resize(width(), std::max(0, TwipToNearestPixelY(twips) - frame));
}

int Window::ScaleWidth() const
{
    return PixelToTwipX(logicalSize().width());
}

int Window::ScaleHeight() const
{
    return PixelToTwipY(logicalSize().height());
}

void Window::setSizedToFigure(bool on)
{
    if (on == m_sizedToFigure) {
        return;
    }
    m_logicalSize = size();
    m_sizedToFigure = on;
    if (on) {
        fitToFigure();
    } else {
        resize(m_logicalSize);
    }
}

void Window::fitToFigure()
{
    QSize extent = m_logicalSize;
    if (const RegionData* shape = gdi::regionData(m_windowRegion)) {
        const RgnRect bounds = shape->bounds();
        extent = shape->isEmpty() ? QSize(1, 1)
                                  : QSize(std::min(bounds.right, m_logicalSize.width()),
                                          std::min(bounds.bottom, m_logicalSize.height()));
    }
    extent = extent.expandedTo(QSize(1, 1));
    if (size() != extent) {
        resize(extent);
    }
    // Nothing beyond the extent is ever shown, so the back-buffer does not keep it.
    m_backBuffer.crop(extent);
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
    if (m_sizedToFigure) {
        // Drawing grows it as far as it reaches (coverWithBackBuffer).
        return m_backBuffer.size().expandedTo(QSize(1, 1));
    }
    // The back-buffer grows with the window and never shrinks, so that what was drawn
    // beyond a smaller size comes back when the window grows again.
    return size().expandedTo(m_backBuffer.size()).expandedTo(QSize(1, 1));
}

void Window::ensureBackBufferSize()
{
    growBackBuffer(backBufferSize());
}

void Window::growBackBuffer(QSize wanted)
{
    m_backBuffer.grow(wanted, colorFromBgr(m_backColor));
}

void Window::coverWithBackBuffer(const QRect& area)
{
    if (!m_sizedToFigure || area.isEmpty()) {
        ensureBackBufferSize();
        return;
    }
    const QSize reach(std::clamp(area.right() + 1, 1, std::max(m_logicalSize.width(), 1)),
                      std::clamp(area.bottom() + 1, 1, std::max(m_logicalSize.height(), 1)));
    growBackBuffer(reach.expandedTo(QSize(1, 1)));
}

void Window::Cls()
{
    m_backBuffer.clear(backBufferSize(), colorFromBgr(m_backColor));
    updateShown(rect());
}

void Window::PaintPicture(const QImage& picture, int xTwips, int yTwips)
{
    const QRect target(TwipToNearestPixelX(xTwips), TwipToNearestPixelY(yTwips), picture.width(),
                       picture.height());
    coverWithBackBuffer(m_clip ? m_clip->boundingRect() & target : target);
    const QRegion area = m_clip ? *m_clip & target : QRegion(target);
    m_backBuffer.drawPicture(picture, target.topLeft(), area);
    updateShown(area);
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
    const RgnRect bounds = shape->bounds();
    coverWithBackBuffer(
        QRect(QPoint(bounds.left, bounds.top), QPoint(bounds.right - 1, bounds.bottom - 1)));
    const QRegion area = shape->toQRegion();
    m_backBuffer.fill(area, colorFromBgr(bgr));
    updateShown(area);
}

void Window::updateShown(const QRegion& changed)
{
    // Only what the shape lets through is ever seen: a screen-sized window whose
    // shape is a few letters repaints just those letters.
    update(m_windowRegion != 0 ? changed & m_shape : changed);
}

void Window::takeWindowRegion(gdi::HRGN region, bool redraw)
{
    if (m_windowRegion != 0 && m_windowRegion != region) {
        gdi::DeleteObject(m_windowRegion);
    }
    m_windowRegion = region;
    const RegionData* shape = gdi::regionData(region);
    const QRegion shown = m_shape;
    m_shape = shape != nullptr ? shape->toQRegion() : QRegion();
    clearWhatTheShapeLeaves(shown);
    if (m_sizedToFigure) {
        fitToFigure();
    }
    if (shape == nullptr) {
        WindowMask::clear(this);
    } else {
        WindowMask::set(this, m_shape);
    }
    if (redraw) {
        update();
    }
}

void Window::clearWhatTheShapeLeaves(const QRegion& shown)
{
    // A translucent window keeps the pixels it showed where its shape no longer
    // reaches, and some compositors (XWayland's on sway) show the whole window,
    // shape or not. Where the shape is about to leave is painted transparent first,
    // while the old shape (shown) still lets the paint through; the paint draws only
    // inside the new shape.
    if (!testAttribute(Qt::WA_TranslucentBackground) || !isVisible() || shown.isEmpty()) {
        return;
    }
    const QRegion leaving = shown - shownArea();
    if (!leaving.isEmpty()) {
        repaint(leaving);
    }
}

void Window::remakeNativeWindow()
{
    if (!testAttribute(Qt::WA_WState_Created)) {
        return;
    }
    const bool shown = isVisible();
    destroy(true, true);
    // Qt gives the new native window the widget's geometry and flags; its shape is
    // sent again with it (WindowMask).
    create();
    if (shown) {
        show();
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
        // mask (Wayland), a translucent window shows the desktop everywhere else. The
        // shape is the one the window is taking, which the mask may not show yet.
        const QRegion shown = event->region() & shownArea();
        m_backBuffer.paint(p, shown);
        // A window sized to its figure may show more than its back-buffer holds
        // while it has no shape: the rest is background.
        for (const QRect& area : shown - QRect(QPoint(0, 0), m_backBuffer.size())) {
            p.fillRect(area, colorFromBgr(m_backColor));
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
    emit mouseDown(button, shift, PixelToTwipX(at.x()), PixelToTwipY(at.y()));
    if (self != nullptr) {
        QWidget::mousePressEvent(event);
    }
}
