#pragma once

#include "BackBuffer.h"
#include "graphics/Gdi.h"

#include <QImage>
#include <QRegion>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <optional>

// A window or control as the program drives it: geometry in twips relative to the
// parent's client area (top-level windows: the outer frame on the desktop), a name,
// a free Tag text, a persistent back-buffer (AutoRedraw) that drawing goes to and
// the window repaints from, and a shape given as a region handle.
class Window : public QWidget
{
    Q_OBJECT

public:
    explicit Window(QWidget* parent = nullptr);
    ~Window() override;

    QString Name() const { return objectName(); }
    void setName(const QString& name) { setObjectName(name); }

    QString Tag;

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void setLeft(int twips);
    void setTop(int twips);
    void setWidth(int twips);
    void setHeight(int twips);
    // Client area in twips.
    int ScaleWidth() const;
    int ScaleHeight() const;

    bool Visible() const { return !isHidden(); }
    void setVisibleTo(bool visible) { setVisible(visible); }

    // A window sized to its figure keeps its logical size (Width, Height, the client
    // area) while its native window, back-buffer and backing store cover only the
    // extent of its shape: from its origin to the shape's far edges, within the
    // logical size. Its memory then follows the figure, not the logical size.
    void setSizedToFigure(bool on);

    bool AutoRedraw() const { return m_autoRedraw; }
    void setAutoRedraw(bool on);
    uint32_t BackColor() const { return m_backColor; }
    void setBackColor(uint32_t bgr);

    // Clears the back-buffer to the background colour.
    void Cls();
    // Draws a picture into the back-buffer at a position in twips, at its natural
    // size, through the current clip region.
    void PaintPicture(const QImage& picture, int xTwips, int yTwips);
    // Sets (a copy of) the region as the back-buffer's clip; 0 removes the clip.
    void SelectClipRgn(gdi::HRGN region);
    // Fills the region on the back-buffer with a solid colour.
    void FillRgn(gdi::HRGN region, uint32_t bgr);
    // The back-buffer's pixels, composed anew at each call from what was drawn: the
    // window keeps the drawing steps, not a second copy of the pixels it shows.
    QImage backBuffer() const { return m_backBuffer.toImage(); }

    // Where the last mouse press on the window happened: relative to the window, and
    // on the desktop.
    QPoint lastPressPosition() const { return m_lastPress; }
    QPoint lastPressGlobalPosition() const { return m_lastPressGlobal; }

    gdi::HRGN windowRegion() const { return m_windowRegion; }
    // The part of the window its shape shows (all of it without a shape). On X11 a
    // top-level window's shape is not Qt's mask (see WindowMask).
    QRegion shownArea() const { return m_windowRegion != 0 ? m_shape : QRegion(rect()); }
    // Used by gdi::SetWindowRgn: owns the region from now on (0 = no shape).
    void takeWindowRegion(gdi::HRGN region, bool redraw);

    // Makes the native window anew where it is, with its shape, shown again if it was
    // shown: a native window's visual (whether it has an alpha channel) is chosen
    // when it is made.
    void remakeNativeWindow();

signals:
    // Mouse button codes: 1 left, 2 right, 4 middle; shift: 1 Shift, 2 Ctrl, 4 Alt;
    // positions in twips, relative to the window.
    void mouseDown(int button, int shift, int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QSize backBufferSize() const;
    void ensureBackBufferSize();
    // Grows the back-buffer to a size, keeping what it holds; every new pixel is
    // filled with the background colour once.
    void growBackBuffer(QSize wanted);
    // A window sized to its figure: grows the back-buffer to cover an area about to
    // be drawn, as far as the logical size reaches.
    void coverWithBackBuffer(const QRect& area);
    QSize logicalSize() const { return m_sizedToFigure ? m_logicalSize : size(); }
    // Gives the native window the extent of the shape, and drops what the
    // back-buffer holds beyond it.
    void fitToFigure();
    // Paints transparent, at once, what the old shape (shown) showed and the window's
    // new shape does not.
    void clearWhatTheShapeLeaves(const QRegion& shown);
    // Schedules a repaint of the changed part that the window's shape shows.
    void updateShown(const QRegion& changed);
    bool isTopLevel() const { return isWindow(); }

    bool m_autoRedraw = false;
    bool m_sizedToFigure = false;
    QSize m_logicalSize; // pixels; used when sized to the figure
    uint32_t m_backColor = 0xFFFFFF;
    BackBuffer m_backBuffer;
    std::optional<QRegion> m_clip;
    gdi::HRGN m_windowRegion = 0;
    QRegion m_shape; // the window region's area, while it has one
    QPoint m_lastPress;
    QPoint m_lastPressGlobal;
};
