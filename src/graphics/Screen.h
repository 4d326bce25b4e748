#pragma once

// The screen as the rest of the program sees it: sizes in twips (1440 per logical
// inch) and the twips per pixel of each axis, read afresh on every call so that a
// change of the screen's resolution is followed at once.
class Screen
{
public:
    static double TwipsPerPixelX();
    static double TwipsPerPixelY();
    // Top-left corner of the primary screen on the desktop, in twips.
    static int Left();
    static int Top();
    // Size of the primary screen in twips.
    static int Width();
    static int Height();
    // Height in pixels of the client area of a full-screen window (the available
    // desktop height less one caption), and the height of one caption, in pixels.
    static int FullScreenClientHeightPixels();
    static int CaptionHeightPixels();
};
