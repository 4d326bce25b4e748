#pragma once

class QWidget;

// Geometry of a plain control in twips, relative to its parent's client area.
int twipLeft(const QWidget* control);
int twipTop(const QWidget* control);
int twipWidth(const QWidget* control);
int twipHeight(const QWidget* control);
void setTwipGeometry(QWidget* control, int left, int top, int width, int height);
void setTwipTop(QWidget* control, int top);
