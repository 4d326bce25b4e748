#pragma once

#include <QAbstractNativeEventFilter>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <cstdint>

class QWidget;

// Keeps a shaped window's shape in force for Wayland clients while the window lives in
// XWayland.
//
// A Wayland compositor routes the clicks of its own (Wayland) clients by the input
// area it keeps for each XWayland window; the X server routes X clicks by the X shape
// itself. GNOME Shell 43 (mutter 43) sets that area anew at every commit of the
// window's contents that XWayland makes: to the X shape when the shell has taken a
// new shape (or a new surface, or a new size) since the commit before, and to the
// whole window rectangle otherwise. It takes a shape when it handles the X server's
// ShapeNotify, and only when the shape it reads then differs from the one it holds.
// So after a repaint (a commit without a new shape) the whole rectangle catches the
// clicks, and a click between the glyphs never reaches a Wayland window below; and a
// commit that reaches the shell after a shape change but was made before it uses the
// change up (the shell handles X events before Wayland requests), so that the commit
// after it sets the whole rectangle again. The window's _XWAYLAND_ALLOW_COMMITS cannot
// hold commits back for this: the shell sets it itself when it maps and resizes a
// window.
//
// So, once the window has been still for a moment after its last paint, the window's
// next commit is made one that follows a new shape in the shell, and the last one:
// the window manager is asked a question until it answers promptly (a conversion of
// its WM_S0 selection, which it answers in the order of its X events; a prompt answer
// shows it handling its X events and Wayland requests as they come, so the window's
// earlier commits are handled); the input shape is taken away and set again to the
// window's bounding shape (two states that differ for the shell and mean the same
// clicks for everyone), each time waiting for the window manager's answer; then the
// window is copied onto itself (its shown pixels only), so that XWayland commits. The
// steps run once more a second later, on a window manager that has long handled the
// first round. A paint during the steps starts them over once the window is still
// again. Where the window manager does not answer, each question waits half a second.
class XWaylandShape : public QObject, public QAbstractNativeEventFilter
{
public:
    // Watches the window while it is on XWayland (Qt's xcb platform in a Wayland
    // session); elsewhere does nothing.
    static void attach(QWidget* window);
    ~XWaylandShape() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Where the steps stand: the window manager's answer awaited, to a question alone
    // or after the input shape was taken away or set again.
    enum class Step
    {
        Idle,
        Settling,
        InputUnset,
        InputSet
    };

    explicit XWaylandShape(QWidget* window);
    void begin();
    void answered();
    void finish();
    void stop();
    void setInputShape();
    bool askWindowManager();
    void touchShownPixels();
    uint32_t nativeWindow() const;

    QPointer<QWidget> m_window;
    QTimer m_still;
    QTimer m_answerAtMost;
    Step m_step = Step::Idle;
    // A paint came while the steps ran.
    bool m_painted = false;
    // The steps are to run once more when done.
    bool m_again = false;
    // Conversions asked of the window manager and not answered yet, when the last
    // was asked, and how many answers of these steps came late.
    int m_unanswered = 0;
    QElapsedTimer m_asked;
    int m_slowAnswers = 0;
    uint32_t m_wmSelection = 0;
    uint32_t m_timestampTarget = 0;
    uint32_t m_answerProperty = 0;
};
