#include "DesktopWindow.h"

#include "DesktopWindowX11.h"
#include "Platform.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>

void DesktopWindow::attach(QWidget* window, Remake remake)
{
    if (window == nullptr) {
        return;
    }
    // Per-pixel alpha: where nothing is painted, the desktop shows, even where the
    // platform does not cut the window to its mask. On X11 only while a compositor
    // runs (DesktopWindowX11).
    window->setAttribute(Qt::WA_TranslucentBackground);
    if (Platform::isX11()) {
        window->setWindowFlag(Qt::BypassWindowManagerHint, true);
        DesktopWindowX11::attach(window, std::move(remake));
    }
}

bool DesktopWindow::movesItself(const QWidget* window)
{
    return window != nullptr && window->isWindow() &&
           window->windowFlags().testFlag(Qt::BypassWindowManagerHint);
}

void DesktopWindow::catchUp()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return;
    }
    if (Platform::isX11()) {
        DesktopWindowX11::sync();
    }
    processEventsWithoutInput();
}

void DesktopWindow::processEventsWithoutInput()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (Platform::isX11()) {
        DesktopWindowX11::wakeWhenIdle();
    }
}
