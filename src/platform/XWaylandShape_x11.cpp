#include "XWaylandShape.h"

#include "Platform.h"
#include "XcbAtoms.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <xcb/shape.h>
#include <xcb/xcb.h>

namespace {

// How long the window must have been still before its shape is handed on: a text
// being built paints many times in a row.
constexpr int StillMs = 200;
// How long the window manager may take to answer; one that never answers costs this
// per step.
constexpr int AnswerAtMostMs = 500;
// An answer within this shows the window manager handling its events as they come,
// Wayland requests included: it has handled the window's commits made before.
constexpr int PromptAnswerMs = 100;
// How often the steps start over for a slow answer before they are done anyway.
constexpr int SlowAnswersAtMost = 10;
// The steps run once more this long after they are done, on a quiet window manager:
// a commit of the window made before the first round is long handled then.
constexpr int AgainMs = 1000;

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
    connect(&m_still, &QTimer::timeout, this, &XWaylandShape::begin);
    m_answerAtMost.setSingleShot(true);
    m_answerAtMost.setInterval(AnswerAtMostMs);
    connect(&m_answerAtMost, &QTimer::timeout, this, &XWaylandShape::answered);
    window->installEventFilter(this);
    qGuiApp->installNativeEventFilter(this);
}

XWaylandShape::~XWaylandShape()
{
    if (qGuiApp != nullptr) {
        qGuiApp->removeNativeEventFilter(this);
    }
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
        if (m_step != Step::Idle) {
            m_painted = true;
        } else {
            m_again = true;
            m_still.start(StillMs);
        }
        break;
    case QEvent::Hide:
        stop();
        break;
    default:
        break;
    }
    return false;
}

bool XWaylandShape::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (m_unanswered == 0 || eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_SELECTION_NOTIFY) {
        return false;
    }
    const auto* notify = reinterpret_cast<const xcb_selection_notify_event_t*>(event);
    if (notify->requestor != nativeWindow() || notify->selection != m_wmSelection) {
        return false;
    }
    if (notify->property != XCB_ATOM_NONE) {
        if (xcb_connection_t* c = connection()) {
            xcb_delete_property(c, notify->requestor, notify->property);
            xcb_flush(c);
        }
    }
    // Answers come in the order asked: the last one answers every step before it.
    if (--m_unanswered == 0 && m_step != Step::Idle) {
        m_answerAtMost.stop();
        answered();
    }
    return true;
}

uint32_t XWaylandShape::nativeWindow() const
{
    return m_window != nullptr ? static_cast<xcb_window_t>(m_window->internalWinId()) : 0;
}

void XWaylandShape::begin()
{
    xcb_connection_t* c = connection();
    const xcb_window_t native = nativeWindow();
    if (c == nullptr || native == 0 || !m_window->isVisible()) {
        return;
    }
    m_painted = false;
    m_slowAnswers = 0;
    m_step = Step::Settling;
    if (!askWindowManager()) {
        setInputShape();
        finish();
    }
}

void XWaylandShape::answered()
{
    xcb_connection_t* c = connection();
    const xcb_window_t native = nativeWindow();
    if (m_step == Step::Idle) {
        return;
    }
    if (c == nullptr || native == 0 || m_painted) {
        // Start over once the window is still again.
        stop();
        m_again = true;
        m_still.start(StillMs);
        return;
    }
    if (m_asked.elapsed() > PromptAnswerMs && m_slowAnswers < SlowAnswersAtMost) {
        // A busy window manager may handle the X events of the steps before a commit
        // that was made earlier: ask until it answers promptly, then start again.
        ++m_slowAnswers;
        m_step = Step::Settling;
        if (askWindowManager()) {
            return;
        }
    }
    switch (m_step) {
    case Step::Settling:
        // The default input shape, the whole window, is clipped by the bounding
        // shape: the same clicks as the bounding shape set as input shape below.
        xcb_shape_mask(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, native, 0, 0, XCB_NONE);
        m_step = Step::InputUnset;
        if (askWindowManager()) {
            return;
        }
        break;
    case Step::InputUnset:
        setInputShape();
        m_step = Step::InputSet;
        if (askWindowManager()) {
            return;
        }
        break;
    case Step::InputSet:
    case Step::Idle:
        break;
    }
    setInputShape();
    finish();
}

// Clicks reach the window exactly where it shows, as the window's shape has it.
void XWaylandShape::setInputShape()
{
    xcb_connection_t* c = connection();
    const xcb_window_t native = nativeWindow();
    if (c != nullptr && native != 0) {
        xcb_shape_combine(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, XCB_SHAPE_SK_BOUNDING, native, 0,
                          0, native);
    }
}

void XWaylandShape::finish()
{
    touchShownPixels();
    stop();
    if (m_again) {
        m_again = false;
        m_still.start(AgainMs);
    }
}

void XWaylandShape::stop()
{
    m_answerAtMost.stop();
    m_still.stop();
    m_step = Step::Idle;
}

bool XWaylandShape::askWindowManager()
{
    xcb_connection_t* c = connection();
    const xcb_window_t native = nativeWindow();
    if (c == nullptr || native == 0) {
        return false;
    }
    if (m_wmSelection == XCB_ATOM_NONE) {
        // XWayland has one screen, and its window manager holds WM_S0.
        const auto atoms =
            Xcb::atoms<3>(c, {"WM_S0", "TIMESTAMP", "_DESKWORD_WINDOW_MANAGER_ANSWER"});
        if (atoms[0] == XCB_ATOM_NONE || atoms[1] == XCB_ATOM_NONE || atoms[2] == XCB_ATOM_NONE) {
            return false;
        }
        m_wmSelection = atoms[0];
        m_timestampTarget = atoms[1];
        m_answerProperty = atoms[2];
    }
    // Without an owner the server answers at once.
    xcb_convert_selection(c, native, m_wmSelection, m_timestampTarget, m_answerProperty,
                          XCB_CURRENT_TIME);
    xcb_flush(c);
    ++m_unanswered;
    m_asked.start();
    m_answerAtMost.start();
    return true;
}

void XWaylandShape::touchShownPixels()
{
    xcb_connection_t* c = connection();
    const xcb_window_t native = nativeWindow();
    if (c == nullptr || native == 0) {
        return;
    }
    // The window copied onto itself: drawing is clipped to the bounding shape, so only
    // the pixels it shows are touched (none, and no commit, while it shows nothing),
    // without reading the shape back from the server.
    const QSize size = m_window->size();
    const xcb_gcontext_t gc = xcb_generate_id(c);
    const uint32_t noExposures = 0;
    xcb_create_gc(c, gc, native, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    xcb_copy_area(c, native, native, gc, 0, 0, 0, 0, uint16_t(size.width()),
                  uint16_t(size.height()));
    xcb_free_gc(c, gc);
    xcb_flush(c);
}
