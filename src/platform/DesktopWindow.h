#pragma once

#include <functional>

class QWidget;

// Makes a window part of the desktop rather than an application's window: no shadow,
// dimming or frame from a compositor, present on every workspace, above normal windows.
//
// On X11 the window is override-redirect and, while a compositor runs (one owns
// _NET_WM_CM_S0), has an alpha channel (a 32-bit visual):
// - xcompmgr's client-side shadows leave windows with an alpha channel alone;
// - picom's usual configuration excludes windows that carry _GTK_FRAME_EXTENTS from
//   shadows and counts override-redirect windows as focused, and a full
//   _NET_WM_WINDOW_OPACITY keeps its inactive-window opacity away;
// - the window manager neither frames nor manages it, so it is on every workspace; the
//   program moves it when it is dragged, and raises it again whenever a normal window
//   is mapped or restacked.
// Without a compositor the X server would itself blend a 32-bit window into the 24-bit
// desktop, and keeps a second copy of its pixels for that; the shape alone cuts the
// window then, so it is an ordinary 24-bit one. When a compositor starts or stops,
// the window is made anew with the other visual.
// Elsewhere (Wayland) the window is translucent: nothing outside its mask is drawn.
class DesktopWindow
{
public:
    // Makes the window's native window anew (QWidget::destroy and create), shown again
    // if it was shown: a native window's visual is chosen when it is made.
    using Remake = std::function<void()>;

    // Prepares the window; call before its native window exists (in its constructor).
    // Without REMAKE the window keeps the visual its native window was first made with.
    static void attach(QWidget* window, Remake remake = {});
    // Whether the program itself must move the window when it is dragged.
    static bool movesItself(const QWidget* window);
    // Handles what the window system has said about the program's windows up to now
    // (a move just made, for instance), with user input held back: clicks and keys
    // stay queued for the event loop.
    static void catchUp();
    // Handles the events waiting now except user input, which runs once control is
    // back in the event loop (in the order it came).
    static void processEventsWithoutInput();
};
