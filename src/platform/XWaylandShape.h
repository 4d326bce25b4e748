#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <cstdint>

class QWidget;

// Keeps a shaped window's shape in force for Wayland clients while the window lives in
// XWayland.
//
// A Wayland compositor routes the clicks of its own (Wayland) clients by the input
// area it keeps for each XWayland window, taken from the X window's shape; the X
// server routes X clicks by the shape itself. GNOME Shell 43 (mutter 43) takes the X
// shape into that area when the window is mapped, with the first contents it shows;
// contents the window shows later make the whole window rectangle catch the clicks, so
// a click between the glyphs never reaches a Wayland window below, and a later change
// of the shape is not taken reliably (the area may even miss the glyphs, so that a
// click on a glyph passes through).
//
// So, once the window has been still for a moment after its last paint, it is
// unmapped and mapped again, with XWayland holding back its contents (the window's
// _XWAYLAND_ALLOW_COMMITS) until the paints that the new mapping asks for are done:
// the compositor then gets the shape as it is and the window's contents in one go, and
// keeps that input area while the window shows nothing new. The window is
// override-redirect, so nothing but the compositor notices. Measured on GNOME Shell
// 43.9 this holds at almost every start and change, where without it the whole
// rectangle catches the clicks at nearly every one.
class XWaylandShape : public QObject
{
public:
    // Watches the window while it is on XWayland (Qt's xcb platform in a Wayland
    // session); elsewhere does nothing.
    static void attach(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit XWaylandShape(QWidget* window);
    void remap();
    void mapped();
    void allowCommits(bool allow);

    QPointer<QWidget> m_window;
    QTimer m_still;
    QTimer m_mappedStill;
    QTimer m_mappedAtMost;
    uint32_t m_allowCommits = 0;
};
