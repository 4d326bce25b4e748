#include "DesktopWindowX11.h"

#include "XWaylandShape.h"
#include "XcbAtoms.h"

#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QEvent>
#include <QGuiApplication>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <array>
#include <cstring>
#include <xcb/xcb.h>

namespace {

using Xcb::atoms;
using Xcb::connection;

void setCardinals(xcb_connection_t* c, uint32_t window, xcb_atom_t property, const uint32_t* values,
                  uint32_t count)
{
    if (property != XCB_ATOM_NONE) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, property, XCB_ATOM_CARDINAL, 32,
                            count, values);
    }
}

// The events a window's parent receives about it with SubstructureNotify: the parent
// and the window are the first two fields of each.
struct ChildEvent
{
    uint8_t response_type;
    uint8_t pad0;
    uint16_t sequence;
    xcb_window_t parent;
    xcb_window_t window;
};

// XFixes' selection-owner notification (XFixesSelectionNotify), as the X server sends
// it; Qt's xcb platform asks for it about _NET_WM_CM_S0 itself.
struct SelectionNotifyEvent
{
    uint8_t response_type;
    uint8_t subtype; // 0: a new owner; 1, 2: the owner's window or client went away
    uint16_t sequence;
    xcb_window_t window;
    xcb_window_t owner;
    xcb_atom_t selection;
    xcb_timestamp_t timestamp;
    xcb_timestamp_t selection_timestamp;
};

bool isChildEvent(uint8_t type)
{
    switch (type) {
    case XCB_CREATE_NOTIFY:
    case XCB_DESTROY_NOTIFY:
    case XCB_UNMAP_NOTIFY:
    case XCB_MAP_NOTIFY:
    case XCB_REPARENT_NOTIFY:
    case XCB_CONFIGURE_NOTIFY:
    case XCB_GRAVITY_NOTIFY:
    case XCB_CIRCULATE_NOTIFY:
        return true;
    default:
        return false;
    }
}

} // namespace

// The X11 side of a desktop window: its properties, set before it is mapped, and the
// watch on the root window that raises it again above normal windows.
class X11DesktopWindow : public QObject, public QAbstractNativeEventFilter
{
public:
    X11DesktopWindow(QWidget* window, DesktopWindow::Remake remake);
    ~X11DesktopWindow() override;
    X11DesktopWindow(const X11DesktopWindow&) = delete;
    X11DesktopWindow& operator=(const X11DesktopWindow&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchCompositor();
    void setComposited(bool composited);
    void nativeWindowCreated();
    void setProperties(uint32_t window);
    void watchStacking();
    void raise();

    QPointer<QWidget> m_window;
    DesktopWindow::Remake m_remake;
    uint32_t m_native = 0;
    uint32_t m_root = 0;
    bool m_watching = false;
    bool m_filtering = false;
    xcb_atom_t m_compositorSelection = XCB_ATOM_NONE;
    uint8_t m_selectionNotify = 0; // XFixesSelectionNotify's event type; 0 without XFixes
};

X11DesktopWindow::X11DesktopWindow(QWidget* window, DesktopWindow::Remake remake)
    : QObject(window), m_window(window), m_remake(std::move(remake))
{
    watchCompositor();
}

X11DesktopWindow::~X11DesktopWindow()
{
    if (m_filtering && qGuiApp != nullptr) {
        qGuiApp->removeNativeEventFilter(this);
    }
    if (!m_watching || qGuiApp == nullptr) {
        return;
    }
    // The root's children are no longer watched: a later desktop window of this
    // process finds the mask as it was and watches them itself.
    xcb_connection_t* c = connection();
    if (c == nullptr) {
        return;
    }
    const XcbReply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, m_root), nullptr));
    if (attributes) {
        const uint32_t mask =
            attributes->your_event_mask & ~uint32_t{XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY};
        xcb_change_window_attributes(c, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(c);
    }
}

void X11DesktopWindow::watchCompositor()
{
    xcb_connection_t* c = connection();
    if (c == nullptr) {
        return;
    }
    static constexpr char xfixes[] = "XFIXES";
    const xcb_query_extension_cookie_t extensionCookie =
        xcb_query_extension(c, sizeof xfixes - 1, xfixes);
    m_compositorSelection = atoms<1>(c, {"_NET_WM_CM_S0"})[0];
    const XcbReply<xcb_query_extension_reply_t> extension(
        xcb_query_extension_reply(c, extensionCookie, nullptr));
    if (extension && extension->present != 0) {
        m_selectionNotify = extension->first_event; // XCB_XFIXES_SELECTION_NOTIFY is 0
    }
    if (m_compositorSelection == XCB_ATOM_NONE) {
        return;
    }
    const XcbReply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        c, xcb_get_selection_owner(c, m_compositorSelection), nullptr));
    setComposited(owner && owner->owner != XCB_WINDOW_NONE);
    qGuiApp->installNativeEventFilter(this);
    m_filtering = true;
}

void X11DesktopWindow::setComposited(bool composited)
{
    if (m_window == nullptr ||
        composited == m_window->testAttribute(Qt::WA_TranslucentBackground)) {
        return;
    }
    const bool made = m_window->testAttribute(Qt::WA_WState_Created);
    if (made && !m_remake) {
        return; // the visual cannot change without making the window anew
    }
    m_window->setAttribute(Qt::WA_TranslucentBackground, composited);
    if (made) {
        m_remake();
    }
}

bool X11DesktopWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::WinIdChange) {
        nativeWindowCreated();
    }
    return false;
}

void X11DesktopWindow::nativeWindowCreated()
{
    // The native window exists but is not mapped yet: what a compositor reads when the
    // window appears is in place before it appears.
    if (m_window == nullptr) {
        return;
    }
    m_native = static_cast<uint32_t>(m_window->internalWinId());
    if (m_native == 0) {
        return;
    }
    setProperties(m_native);
    watchStacking();
}

void X11DesktopWindow::setProperties(uint32_t window)
{
    xcb_connection_t* c = connection();
    if (c == nullptr) {
        return;
    }
    const auto [frameExtents, opacity] =
        atoms<2>(c, {"_GTK_FRAME_EXTENTS", "_NET_WM_WINDOW_OPACITY"});
    // Frame extents of a window that draws its own frame: picom's usual configuration
    // draws no shadow under such a window.
    const std::array<uint32_t, 4> extents{0, 0, 0, 0};
    setCardinals(c, window, frameExtents, extents.data(), extents.size());
    // Fully opaque by the window's own request, whatever the focus.
    const uint32_t opaque = 0xFFFFFFFF;
    setCardinals(c, window, opacity, &opaque, 1);
    xcb_flush(c);
}

void X11DesktopWindow::watchStacking()
{
    xcb_connection_t* c = connection();
    if (c == nullptr || m_watching) {
        return;
    }
    const XcbReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, m_native), nullptr));
    if (!geometry) {
        return;
    }
    m_root = geometry->root;
    const XcbReply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, m_root), nullptr));
    if (!attributes) {
        return;
    }
    const uint32_t mask = attributes->your_event_mask;
    if ((mask & XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY) != 0) {
        return; // someone else in this process watches the root's children
    }
    // Added to the events this connection already selects on the root window.
    const uint32_t wanted = mask | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, m_root, XCB_CW_EVENT_MASK, &wanted);
    xcb_flush(c);
    if (!m_filtering) {
        qGuiApp->installNativeEventFilter(this);
        m_filtering = true;
    }
    m_watching = true;
}

bool X11DesktopWindow::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t" || message == nullptr) {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const uint8_t type = event->response_type & 0x7F;
    if (m_selectionNotify != 0 && type == m_selectionNotify) {
        const auto* notify = static_cast<const SelectionNotifyEvent*>(message);
        if (notify->selection == m_compositorSelection) {
            // A compositor started or stopped. The window is made anew once Qt is done
            // with this event, which it needs too.
            const bool composited = notify->subtype == 0 && notify->owner != XCB_WINDOW_NONE;
            QTimer::singleShot(0, this, [this, composited] { setComposited(composited); });
        }
        return false;
    }
    if (!m_watching || !isChildEvent(type)) {
        return false;
    }
    const auto* child = static_cast<const ChildEvent*>(message);
    if (child->parent != m_root || child->window == m_root) {
        return false;
    }
    // A normal (managed) window appeared or moved in the stacking order: the text goes
    // back on top. Override-redirect windows (menus, tooltips, this one) are left alone.
    if (type == XCB_MAP_NOTIFY) {
        const auto* map = static_cast<const xcb_map_notify_event_t*>(message);
        if (map->override_redirect == 0 && map->window != m_native) {
            raise();
        }
    } else if (type == XCB_CONFIGURE_NOTIFY) {
        const auto* configure = static_cast<const xcb_configure_notify_event_t*>(message);
        if (configure->override_redirect == 0 && configure->window != m_native) {
            raise();
        }
    }
    // These reach this connection only because of the mask added above; Qt would take
    // a configure event of the root window's child for one of the root window itself.
    return true;
}

void X11DesktopWindow::raise()
{
    xcb_connection_t* c = connection();
    if (c == nullptr || m_window == nullptr || !m_window->isVisible() || m_native == 0) {
        return;
    }
    const uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(c, m_native, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    xcb_flush(c);
}

void DesktopWindowX11::attach(QWidget* window, DesktopWindow::Remake remake)
{
    auto* desktop = new X11DesktopWindow(window, std::move(remake));
    window->installEventFilter(desktop);
    XWaylandShape::attach(window);
}

void DesktopWindowX11::sync()
{
    if (xcb_connection_t* c = connection()) {
        const XcbReply<xcb_get_input_focus_reply_t> reply(
            xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    }
}

namespace {

bool wakePending = false;
// An unmapped window of the program's own: an event sent to it goes to the program.
xcb_window_t wakeWindow = XCB_WINDOW_NONE;

void wake()
{
    xcb_connection_t* c = connection();
    if (!wakePending || c == nullptr) {
        return;
    }
    wakePending = false;
    if (wakeWindow == XCB_WINDOW_NONE) {
        wakeWindow = xcb_generate_id(c);
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        xcb_create_window(c, XCB_COPY_FROM_PARENT, wakeWindow, screen->root, -1, -1, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    }
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = wakeWindow;
    event.type = XCB_ATOM_NOTICE;
    xcb_send_event(c, 0, wakeWindow, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(c);
}

} // namespace

void DesktopWindowX11::wakeWhenIdle()
{
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (wakePending || dispatcher == nullptr || connection() == nullptr) {
        return;
    }
    wakePending = true;
    static const QMetaObject::Connection waiting =
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, &wake);
}
