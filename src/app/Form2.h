#pragma once

#include "forms/Form.h"

#include <QPoint>
#include <QTimer>

// The text window on the desktop: borderless, screen-sized and top-most, shaped to
// the composed text and picture. Dragging any visible pixel with the left button
// moves it; its position is stored when a drag ends and when it is unloaded.
class Form2 : public Form
{
    Q_OBJECT

public:
    Form2();

    static Form2* instance();

    // Moves the window so that its whole figure (text and picture) lies on the nearest
    // monitor when no part of it lies on any monitor. Nothing is stored.
    void bringBackOnScreen();

    // The bounds of the composed figure (text and picture) on the desktop.
    QRect figureBounds() const;

protected:
    void Form_Unload() override;
    // The window manager's close request is ignored: only the program closes it.
    void closeEvent(QCloseEvent* event) override;
    // After a drag, every move restarts the wait for the drop.
    void moveEvent(QMoveEvent* event) override;

private:
    void watchScreens();
    void onMouseDown(int button, int shift, int x, int y);
    void storeDroppedPosition();
    void storePosition();

    QTimer m_dropTimer;
    bool m_dragged = false;
    QPoint m_storedPosition{-1, -1};
};
