#include "XWaylandShape.h"

#include "Platform.h"
#include "XcbAtoms.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

namespace {

// How long the window must have been still before it is mapped again: a text being
// built paints many times in a row.
constexpr int StillMs = 200;
// How long the window must have been still after the expose of its new mapping before
// XWayland may show its contents, and how long that may take at most.
constexpr int MappedStillMs = 100;
constexpr int MappedAtMostMs = 2000;

using Xcb::connection;

} // namespace

void XWaylandShape::attach(QWidget* window)
{
    if (window != nullptr && Platform::isXWayland()) {
        new XWaylandShape(window);
    }
}

XWaylandShape::XWaylandShape(QWidget* window) : QObject(window), m_window(window)
{
    m_still.setSingleShot(true);
    m_still.setInterval(StillMs);
    connect(&m_still, &QTimer::timeout, this, &XWaylandShape::remap);
    m_mappedStill.setSingleShot(true);
    m_mappedStill.setInterval(MappedStillMs);
    connect(&m_mappedStill, &QTimer::timeout, this, &XWaylandShape::mapped);
    m_mappedAtMost.setSingleShot(true);
    m_mappedAtMost.setInterval(MappedAtMostMs);
    connect(&m_mappedAtMost, &QTimer::timeout, this, &XWaylandShape::mapped);
    window->installEventFilter(this);
}

bool XWaylandShape::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::WinIdChange:
        // The native window's expose events bring contents without a paint.
        if (watched == m_window && m_window->windowHandle() != nullptr) {
            m_window->windowHandle()->installEventFilter(this);
        }
        break;
    case QEvent::Paint:
    case QEvent::Show:
    case QEvent::Resize:
    case QEvent::Expose:
        if (m_mappedAtMost.isActive()) {
            // The expose and paints that the new mapping asks for are its first
            // contents.
            if (event->type() == QEvent::Expose || m_mappedStill.isActive()) {
                m_mappedStill.start();
            }
        } else {
            m_still.start();
        }
        break;
    case QEvent::Hide:
        m_still.stop();
        break;
    default:
        break;
    }
    return false;
}

void XWaylandShape::remap()
{
    xcb_connection_t* c = connection();
    if (c == nullptr || m_window == nullptr || !m_window->isVisible()) {
        return;
    }
    const auto native = static_cast<xcb_window_t>(m_window->internalWinId());
    if (native == 0) {
        return;
    }
    allowCommits(false);
    xcb_unmap_window(c, native);
    xcb_map_window(c, native);
    xcb_flush(c);
    m_mappedAtMost.start();
}

void XWaylandShape::mapped()
{
    m_mappedStill.stop();
    m_mappedAtMost.stop();
    allowCommits(true);
}

void XWaylandShape::allowCommits(bool allow)
{
    xcb_connection_t* c = connection();
    if (c == nullptr || m_window == nullptr) {
        return;
    }
    const auto native = static_cast<xcb_window_t>(m_window->internalWinId());
    if (native == 0) {
        return;
    }
    if (m_allowCommits == XCB_ATOM_NONE) {
        m_allowCommits = Xcb::atoms<1>(c, {"_XWAYLAND_ALLOW_COMMITS"})[0];
        if (m_allowCommits == XCB_ATOM_NONE) {
            return;
        }
    }
    const uint32_t value = allow ? 1 : 0;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, native, m_allowCommits, XCB_ATOM_CARDINAL, 32, 1,
                        &value);
    xcb_flush(c);
}
