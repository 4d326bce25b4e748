#pragma once

#include <QList>

class QWidget;

// Geometry of a plain control in twips, relative to its parent's client area.
int twipLeft(const QWidget* control);
int twipTop(const QWidget* control);
int twipWidth(const QWidget* control);
int twipHeight(const QWidget* control);
void setTwipGeometry(QWidget* control, int left, int top, int width, int height);
void setTwipTop(QWidget* control, int top);

// Keeps a row of controls, given left to right, apart: each grows to the width its
// caption needs (its size hint) and moves right where it would come closer than the
// least gap to the one before it. Returns the right edge of the last one, in pixels.
int keepRowApart(const QList<QWidget*>& row, int leastGapPixels);
