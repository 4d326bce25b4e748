#pragma once

class QWidget;

// Makes a window part of the desktop rather than an application's window: no shadow,
// dimming or frame from a compositor, present on every workspace, above normal windows.
//
// On X11 the window is override-redirect and has an alpha channel (a 32-bit visual):
// - xcompmgr's client-side shadows leave windows with an alpha channel alone;
// - picom's usual configuration excludes windows that carry _GTK_FRAME_EXTENTS from
//   shadows and counts override-redirect windows as focused, and a full
//   _NET_WM_WINDOW_OPACITY keeps its inactive-window opacity away;
// - the window manager neither frames nor manages it, so it is on every workspace; the
//   program moves it when it is dragged, and raises it again whenever a normal window
//   is mapped or restacked.
// Elsewhere (Wayland) the window is translucent: nothing outside its mask is drawn.
class DesktopWindow
{
public:
    // Prepares the window; call before its native window exists (in its constructor).
    static void attach(QWidget* window);
    // Whether the program itself must move the window when it is dragged.
    static bool movesItself(const QWidget* window);
};
