#pragma once

#include <QFont>
#include <QImage>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <limits>

// An off-screen picture that can be drawn on, loaded from a BMP or GIF file, read
// pixel by pixel and copied: the scratch surface the shapes are built from. Its
// coordinates are pixels; colours are 0x00BBGGRR values. Text is drawn without
// antialiasing, so every pixel is either the text colour or untouched.
class PictureSurface
{
public:
    enum class LoadResult
    {
        Loaded,
        NotFound,
        Undecodable,
        TooLarge,
    };

    // The largest surface: each side fits the scan's 16-bit column numbers, and the
    // area stays within 64 Mi pixels (256 MiB of image memory).
    static constexpr int MaxSide = 32767;
    static constexpr int64_t MaxPixels = int64_t(1) << 26;
    static bool fitsSurface(int64_t width, int64_t height);
    // A picture as a scaled screen shows it: every pixel becomes scale x scale device
    // pixels (the logical DPI over 96; sizes rounded), by nearest neighbour, so no
    // colour or alpha value is made up. shownSize is the size that gives.
    static QSize shownSize(const QSize& size);
    static QImage shownAtScreenScale(const QImage& picture);

    PictureSurface();

    int ScaleWidth() const { return m_image.width(); }
    int ScaleHeight() const { return m_image.height(); }
    // Resizes the drawable area, keeping what fits and filling the rest with the
    // background colour. Refuses (returns false) sizes beyond the limits above.
    bool setSizePixels(int width, int height);
    // Makes the drawable area width x height pixels of background (as setSizePixels
    // and then Cls, without keeping anything) and puts the drawing position at (0, 0);
    // false, with the surface unchanged, for sizes beyond the limits above.
    bool clearToSize(int width, int height);
    // Gives back the image's memory: the surface becomes one pixel of background.
    void releaseImage();

    const QFont& Font() const { return m_font; }
    void setFont(const QFont& font);
    QString FontName() const { return m_font.family(); }
    double FontSize() const { return m_font.pointSizeF(); }
    bool FontBold() const { return m_font.bold(); }
    bool FontItalic() const { return m_font.italic(); }
    bool FontUnderline() const { return m_font.underline(); }
    bool FontStrikethru() const { return m_font.strikeOut(); }
    void setFontName(const QString& name);
    // Sizes of 0 or less (and NaN) are ignored; sizes above a font of 16383 pixels
    // are capped there, where Qt's font metrics still hold.
    void setFontSize(double points);
    void setFontBold(bool on);
    void setFontItalic(bool on);
    void setFontUnderline(bool on);
    void setFontStrikethru(bool on);

    uint32_t ForeColor() const { return m_foreColor; }
    void setForeColor(uint32_t bgr) { m_foreColor = bgr & 0xFFFFFF; }
    uint32_t BackColor() const { return m_backColor; }
    void setBackColor(uint32_t bgr) { m_backColor = bgr & 0xFFFFFF; }

    int CurrentX = 0;
    int CurrentY = 0;

    // Fills the whole surface with the background colour and puts the drawing
    // position at (0, 0).
    void Cls();

    // Lines of a text: separated by CR LF (a lone CR or LF also ends a line).
    static QStringList splitLines(const QString& text);
    // Width of the widest line and height of all lines (line spacing times lines),
    // capped at the largest int.
    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;

    // Qt lays text out in 26.6 fixed-point numbers of 32 bits, which wrap at 2^25
    // pixels: a line wider than this (half of that, to keep clear of the edge) cannot
    // be measured or drawn truly.
    static constexpr int64_t MaxLineWidth = int64_t(1) << 24;
    struct TextExtent
    {
        int64_t width = 0;  // the widest of the measured lines
        int64_t height = 0; // all lines: line spacing times lines
    };
    // Measures in 64 bits. Only the lines that start above visibleHeight are measured
    // for the width (the others would not be drawn), and of a line written left to
    // right only its start up to a little beyond visibleWidth; a line too wide to
    // measure gives a width above MaxLineWidth.
    TextExtent measureText(const QString& text, int64_t visibleHeight,
                           int64_t visibleWidth = std::numeric_limits<int64_t>::max()) const;

    // Draws the text at the drawing position; each line starts at CurrentX, each
    // following line one line height lower. Lines that start below the surface are
    // not drawn, nor what a line written left to right has beyond the surface's right
    // edge. Afterwards CurrentY is below the text (capped at the largest int).
    void Print(const QString& text);

    // Colour of one pixel, or -1 outside the surface.
    int32_t Point(int x, int y) const;

    // Decodes a picture file once, by content, whatever its extension: BMP and GIF
    // headers are checked first (a cut or oversized file is refused), any other
    // format Qt reads is decoded as it is. A GIF gives its first frame (the images
    // shown together before the first delay); pixels the file leaves unset (run-length
    // gaps, outside a GIF's images) have the background colour. The picture keeps its
    // alpha channel and comes back as a scaled screen shows it (shownAtScreenScale).
    LoadResult readPicture(const QString& path, QImage& picture) const;
    // Loads a picture file as readPicture decodes it. The surface takes the picture's
    // size; transparent pixels show the background colour. On failure the surface is
    // unchanged.
    LoadResult LoadPicture(const QString& path);
    // Takes an already decoded picture as the surface's content, opaque, at its own
    // size; false (surface unchanged) for a picture beyond the limits above. A picture
    // handed over with std::move is not copied when it is RGB32 already.
    bool setPicture(QImage picture);

    const QImage& Image() const { return m_image; }

private:
    void applyDotsPerInch(QImage& image) const;

    QImage m_image;
    QFont m_font;
    uint32_t m_foreColor = 0;
    uint32_t m_backColor = 0xFFFFFF;
};
