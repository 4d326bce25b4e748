#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QRect>
#include <cstdint>

// Follows whether the desktop's active window is full screen, and where it is. On X11
// the root window's _NET_ACTIVE_WINDOW names the active window and that window's
// _NET_WM_STATE holds _NET_WM_STATE_FULLSCREEN while it is full screen; both are
// followed through their property events, without polling. Elsewhere (Wayland, or a
// build without X11) nothing is known and nothing is reported.
class FullScreenWatch : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    explicit FullScreenWatch(QObject* parent = nullptr);
    ~FullScreenWatch() override;
    FullScreenWatch(const FullScreenWatch&) = delete;
    FullScreenWatch& operator=(const FullScreenWatch&) = delete;

    // Whether the window system tells which window is active and full screen.
    static bool supported();

    // The active window's area on the desktop, in device pixels, while it is full
    // screen; an empty rectangle otherwise.
    QRect fullScreenArea() const { return m_area; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

signals:
    // The active window, or whether it is full screen, changed.
    void changed();

private:
    void followActiveWindow();
    void update();

    QRect m_area;
    uint32_t m_root = 0;
    uint32_t m_active = 0;
    bool m_activeIsForeign = false;
    uint32_t m_activeAtom = 0;
    uint32_t m_stateAtom = 0;
    uint32_t m_fullScreenAtom = 0;
};
