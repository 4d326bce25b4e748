#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRegion>
#include <QSize>

class QPainter;

// A window's persistent drawing: everything drawn on it since it was last cleared,
// kept as the drawing steps (a picture drawn through a clip, an area filled with a
// colour) instead of as their pixels. Pictures are implicitly shared, so a step costs
// no pixels of its own: the window repaints any part of itself, as often as its
// platform asks, by painting the steps again, and the composed image is made only
// when someone asks for it.
//
// It has a size, as an image would: drawing beyond it is cut off, and every pixel
// nothing was drawn on shows the colour it was cleared to (or, where it grew, the
// colour it grew with).
class BackBuffer
{
public:
    QSize size() const { return m_size; }

    // Clears everything to a colour, at a size.
    void clear(QSize size, const QColor& background);
    // Grows to at least a size, keeping what was drawn; the new pixels show a colour.
    void grow(QSize size, const QColor& background);
    // Drops whatever lies beyond a smaller size, for good.
    void crop(QSize size);

    // Draws a picture with its top-left corner at a point, only inside an area.
    void drawPicture(const QImage& picture, QPoint at, const QRegion& area);
    // Fills an area with a colour.
    void fill(const QRegion& area, const QColor& colour);

    // Paints a part of it (within its size) exactly as the composed image holds it.
    void paint(QPainter& painter, const QRegion& part) const;
    // The composed image (RGB32; null while the size is empty).
    QImage toImage() const;

private:
    // A picture drawn at a point, or (picture null) a fill with a colour, inside an area.
    struct Step
    {
        QImage picture;
        QPoint at;
        QRegion area;
        QColor colour;
    };

    void add(Step step);
    QRect bounds() const { return QRect(QPoint(0, 0), m_size); }

    QSize m_size;
    QColor m_background;
    QList<Step> m_steps;
};
