#include "FullScreenHiding.h"

#include "platform/FullScreenWatch.h"
#include "platform/Platform.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

// The index of the monitor with the largest part of the area, or -1 when none has any.
qsizetype largestPart(const QRect& area, const QList<QRect>& monitors)
{
    qsizetype best = -1;
    qint64 bestSize = 0;
    for (qsizetype i = 0; i < monitors.size(); ++i) {
        const QRect part = monitors[i].intersected(area);
        const qint64 size = qint64(part.width()) * part.height();
        if (size > bestSize) {
            best = i;
            bestSize = size;
        }
    }
    return best;
}

} // namespace

FullScreenHiding::FullScreenHiding(QObject* parent) : QObject(parent) {}

bool FullScreenHiding::available()
{
    return Platform::placesWindows();
}

void FullScreenHiding::setOn(bool on)
{
    if (on == isOn()) {
        return;
    }
    if (on) {
        m_watch = new FullScreenWatch(this);
        connect(m_watch, &FullScreenWatch::changed, this, &FullScreenHiding::changed);
    } else {
        delete m_watch;
        m_watch = nullptr;
    }
    emit changed();
}

bool FullScreenHiding::hides(const QRect& figure) const
{
    if (m_watch == nullptr || m_watch->fullScreenArea().isEmpty()) {
        return false;
    }
    QList<QRect> monitors;
    for (const QScreen* screen : QGuiApplication::screens()) {
        monitors.append(screen->geometry());
    }
    return onSameMonitor(figure, m_watch->fullScreenArea(), monitors);
}

bool FullScreenHiding::onSameMonitor(const QRect& figure, const QRect& fullScreen,
                                     const QList<QRect>& monitors)
{
    const qsizetype textMonitor = largestPart(figure, monitors);
    if (textMonitor < 0 || fullScreen.isEmpty()) {
        return false;
    }
    return monitors[textMonitor].contains(fullScreen.center());
}
