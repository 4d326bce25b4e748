#include "WindowMaskX11.h"
#include "XcbAtoms.h"

#include <QEvent>
#include <QGuiApplication>
#include <QObject>
#include <QRegion>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <climits>
#include <optional>
#include <vector>
#include <xcb/shape.h>
#include <xcb/xcb.h>

namespace {

// The most rectangles one ShapeRectangles request holds in the core protocol's
// request length (65,535 four-byte words: 16 bytes, then 8 for each rectangle).
// Larger shapes go in several requests rather than one BIG-REQUESTS request, which
// not every server takes for SHAPE.
constexpr std::size_t RectanglesPerRequest = 32765;

xcb_rectangle_t toXcb(const QRect& r)
{
    return {static_cast<int16_t>(std::clamp(r.x(), SHRT_MIN, SHRT_MAX)),
            static_cast<int16_t>(std::clamp(r.y(), SHRT_MIN, SHRT_MAX)),
            static_cast<uint16_t>(std::clamp(r.width(), 0, USHRT_MAX)),
            static_cast<uint16_t>(std::clamp(r.height(), 0, USHRT_MAX))};
}

// Sets the window's bounding shape to the rectangles: the first batch replaces what
// the window had, the others are added to it. The server keeps the union in its own
// canonical form, the same whatever the batches.
void sendBounding(xcb_connection_t* c, xcb_window_t window, const QRegion& shape)
{
    std::vector<xcb_rectangle_t> rects;
    rects.reserve(static_cast<std::size_t>(shape.rectCount()));
    for (const QRect& r : shape) {
        rects.push_back(toXcb(r));
    }
    std::size_t sent = 0;
    uint8_t operation = XCB_SHAPE_SO_SET;
    do {
        const std::size_t count = std::min(rects.size() - sent, RectanglesPerRequest);
        xcb_shape_rectangles(c, operation, XCB_SHAPE_SK_BOUNDING, XCB_CLIP_ORDERING_UNSORTED,
                             window, 0, 0, static_cast<uint32_t>(count), rects.data() + sent);
        sent += count;
        operation = XCB_SHAPE_SO_UNION;
    } while (sent < rects.size());
}

} // namespace

// The shape of one top-level window, kept so that a new native window of the same
// widget gets it too.
class X11WindowShape : public QObject
{
    Q_OBJECT

public:
    explicit X11WindowShape(QWidget* window) : QObject(window), m_window(window)
    {
        window->installEventFilter(this);
    }

    void set(std::optional<QRegion> shape)
    {
        m_shape = std::move(shape);
        send();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window && event->type() == QEvent::WinIdChange) {
            send();
        }
        return false;
    }

private:
    void send() const
    {
        const auto window = static_cast<xcb_window_t>(m_window->internalWinId());
        xcb_connection_t* c = Xcb::connection();
        if (window == 0 || c == nullptr) {
            return; // sent when the native window is created
        }
        if (m_shape) {
            sendBounding(c, window, *m_shape);
            // Clicks reach the window exactly where it shows.
            xcb_shape_combine(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, XCB_SHAPE_SK_BOUNDING,
                              window, 0, 0, window);
        } else {
            xcb_shape_mask(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, window, 0, 0, XCB_NONE);
            xcb_shape_mask(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, window, 0, 0, XCB_NONE);
        }
        xcb_flush(c);
    }

    QWidget* m_window;
    std::optional<QRegion> m_shape;
};

namespace {

X11WindowShape* shapeOf(QWidget* window)
{
    auto* shape = window->findChild<X11WindowShape*>(QString(), Qt::FindDirectChildrenOnly);
    return shape != nullptr ? shape : new X11WindowShape(window);
}

} // namespace

bool WindowMaskX11::available()
{
    xcb_connection_t* c = Xcb::connection();
    if (c == nullptr) {
        return false;
    }
    const xcb_query_extension_reply_t* shape = xcb_get_extension_data(c, &xcb_shape_id);
    return shape != nullptr && shape->present != 0;
}

bool WindowMaskX11::set(QWidget* window, const QRegion& shape)
{
    if (!available()) {
        return false;
    }
    shapeOf(window)->set(shape);
    return true;
}

bool WindowMaskX11::clear(QWidget* window)
{
    if (!available()) {
        return false;
    }
    shapeOf(window)->set(std::nullopt);
    return true;
}

#include "WindowMask_x11.moc"
