#pragma once

#include <QByteArray>

// Deskword draws at the screen's device pixels on scaled X11 screens. Qt's own
// scaling would draw every window at logical pixels and magnify it, so glyphs and
// the window's shape would come out in blocks of 2 x 2 (or uneven at 1.5). Instead
// Qt's scaling is switched off and the scale becomes the logical DPI: point sizes
// then give glyphs rasterised at device resolution, the shape is in device pixels,
// and twips (1440 per logical inch) keep their physical size.
//
// Qt on X11 already takes Xft.dpi as the logical DPI once its scaling is off; a
// factor the user gave in QT_SCALE_FACTOR or QT_SCREEN_SCALE_FACTORS is carried
// into QT_FONT_DPI (that DPI times the factor) and removed, so Qt does not also
// magnify. X11 has one DPI per X screen and the text window is one window, so one
// factor serves the whole program: the first entry of QT_SCREEN_SCALE_FACTORS (Qt
// lists the primary screen first on X11), times QT_SCALE_FACTOR.
class DisplayScale
{
public:
    // The one factor of the two variables; 1 when neither gives a usable number.
    static double factor(const QByteArray& scaleFactor, const QByteArray& screenScaleFactors);
    // The logical DPI to give Qt: the base DPI (QT_FONT_DPI when set, else Xft.dpi,
    // else 96) times the factor, to whole dots; 0 when the factor is 1 and nothing
    // needs to change.
    static int fontDpi(double factor, const QByteArray& fontDpi, double xftDpi);
    // The value of Xft.dpi in the X resource text (the root window's
    // RESOURCE_MANAGER property); 0 when it has none.
    static double xftDpi(const QByteArray& resources);

    // Applies the above to the process's environment when Qt will run on X11; runs
    // before the application object and before any other thread exists.
    static void applyBeforeStart();
};
