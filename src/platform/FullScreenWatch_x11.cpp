#include "FullScreenWatch.h"

#include "Platform.h"
#include "XcbAtoms.h"

#include <QWindow>

namespace {

// Adds the events to those this connection selects on the window, or, with none,
// stops selecting any. An error (the window is gone already) is taken and dropped:
// the window's end is followed through _NET_ACTIVE_WINDOW.
void selectEvents(xcb_connection_t* c, xcb_window_t window, uint32_t events)
{
    uint32_t mask = events;
    if (events != 0) {
        const XcbReply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
        if (!attributes) {
            return;
        }
        mask |= attributes->your_event_mask;
    }
    const xcb_void_cookie_t cookie =
        xcb_change_window_attributes_checked(c, window, XCB_CW_EVENT_MASK, &mask);
    const XcbReply<xcb_generic_error_t> error(xcb_request_check(c, cookie));
}

// True for a window of this program: Qt selects its events itself.
bool isOwnWindow(xcb_window_t window)
{
    for (const QWindow* own : QGuiApplication::allWindows()) {
        if (own->handle() != nullptr && own->winId() == window) {
            return true;
        }
    }
    return false;
}

// The window's one value of a 32-bit property, or 0.
uint32_t windowValue(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
{
    const XcbReply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, 1), nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4) {
        return 0;
    }
    return *static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
}

} // namespace

bool FullScreenWatch::supported()
{
    return Platform::isX11() && Xcb::connection() != nullptr;
}

FullScreenWatch::FullScreenWatch(QObject* parent) : QObject(parent)
{
    xcb_connection_t* c = Xcb::connection();
    if (!Platform::isX11() || c == nullptr) {
        return;
    }
    const auto [active, state, fullScreen] =
        Xcb::atoms<3>(c, {"_NET_ACTIVE_WINDOW", "_NET_WM_STATE", "_NET_WM_STATE_FULLSCREEN"});
    m_activeAtom = active;
    m_stateAtom = state;
    m_fullScreenAtom = fullScreen;
    m_root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    selectEvents(c, m_root, XCB_EVENT_MASK_PROPERTY_CHANGE);
    qGuiApp->installNativeEventFilter(this);
    followActiveWindow();
}

FullScreenWatch::~FullScreenWatch()
{
    if (m_root == 0 || qGuiApp == nullptr) {
        return;
    }
    qGuiApp->removeNativeEventFilter(this);
    xcb_connection_t* c = Xcb::connection();
    if (c != nullptr && m_activeIsForeign) {
        selectEvents(c, m_active, 0);
        xcb_flush(c);
    }
}

void FullScreenWatch::followActiveWindow()
{
    xcb_connection_t* c = Xcb::connection();
    if (c == nullptr) {
        return;
    }
    const uint32_t active = windowValue(c, m_root, m_activeAtom, XCB_ATOM_WINDOW);
    if (active != m_active) {
        if (m_activeIsForeign) {
            selectEvents(c, m_active, 0);
        }
        m_active = active;
        // A window of another program tells this one of its property changes only
        // when asked to.
        m_activeIsForeign = active != 0 && !isOwnWindow(active);
        if (m_activeIsForeign) {
            selectEvents(c, active, XCB_EVENT_MASK_PROPERTY_CHANGE);
        }
        xcb_flush(c);
    }
    update();
}

void FullScreenWatch::update()
{
    xcb_connection_t* c = Xcb::connection();
    QRect area;
    if (c != nullptr && m_active != 0) {
        const XcbReply<xcb_get_property_reply_t> state(xcb_get_property_reply(
            c, xcb_get_property(c, 0, m_active, m_stateAtom, XCB_ATOM_ATOM, 0, 64), nullptr));
        bool fullScreen = false;
        if (state && state->format == 32) {
            const auto* values =
                static_cast<const xcb_atom_t*>(xcb_get_property_value(state.get()));
            const int count = xcb_get_property_value_length(state.get()) / 4;
            for (int i = 0; i < count && !fullScreen; ++i) {
                fullScreen = values[i] == m_fullScreenAtom;
            }
        }
        if (fullScreen) {
            const XcbReply<xcb_get_geometry_reply_t> geometry(
                xcb_get_geometry_reply(c, xcb_get_geometry(c, m_active), nullptr));
            const XcbReply<xcb_translate_coordinates_reply_t> origin(
                xcb_translate_coordinates_reply(
                    c, xcb_translate_coordinates(c, m_active, m_root, 0, 0), nullptr));
            if (geometry && origin) {
                area = QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
            }
        }
    }
    if (area != m_area) {
        m_area = area;
        emit changed();
    }
}

bool FullScreenWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t" || message == nullptr) {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_PROPERTY_NOTIFY) {
        return false;
    }
    const auto* property = static_cast<const xcb_property_notify_event_t*>(message);
    if (property->window == m_root && property->atom == m_activeAtom) {
        followActiveWindow();
        return false; // Qt reads the root window's properties too
    }
    if (property->window == m_active && m_active != 0) {
        if (property->atom == m_stateAtom) {
            update();
        }
        // Another program's window reaches Qt only because of the events selected here.
        return m_activeIsForeign;
    }
    return false;
}
