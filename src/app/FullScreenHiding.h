#pragma once

#include <QList>
#include <QObject>
#include <QRect>

class FullScreenWatch;

// The choice "hide over full-screen windows" (HIDEONFULLSCREEN): while it is on, the
// text window is to be hidden whenever the active window is full screen on the
// monitor that holds the text, and shown again as soon as that ends. Hiding and
// showing store nothing.
class FullScreenHiding : public QObject
{
    Q_OBJECT

public:
    explicit FullScreenHiding(QObject* parent = nullptr);

    // Whether the choice can be made: not on Wayland alone, where no program learns
    // which window is active.
    static bool available();

    // Starts or stops following the active window.
    void setOn(bool on);
    bool isOn() const { return m_watch != nullptr; }

    // True while the text, whose figure has these bounds on the desktop, is hidden.
    bool hides(const QRect& figure) const;

    // True when the full-screen area lies on the monitor that holds the figure: the
    // monitor with the largest part of the figure, and the one with the area's centre.
    static bool onSameMonitor(const QRect& figure, const QRect& fullScreen,
                              const QList<QRect>& monitors);

signals:
    // Whether the text is to be hidden may have changed.
    void changed();

private:
    FullScreenWatch* m_watch = nullptr;
};
