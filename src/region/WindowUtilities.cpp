#include "WindowUtilities.h"

#include "forms/Form.h"
#include "forms/NestedLoopGuard.h"
#include "forms/Window.h"
#include "platform/DesktopWindow.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWindow>

namespace {

// Follows the mouse with the widget until the left button is released: a child
// moves within its parent, a top-level window on the desktop.
class DragFollower : public QObject
{
public:
    DragFollower(QWidget* widget, QPoint grabOffset) : m_widget(widget), m_offset(grabOffset)
    {
        QGuiApplication::instance()->installEventFilter(this);
    }
    ~DragFollower() override { QGuiApplication::instance()->removeEventFilter(this); }
    DragFollower(const DragFollower&) = delete;
    DragFollower& operator=(const DragFollower&) = delete;

    void run()
    {
        if (QGuiApplication::mouseButtons() & Qt::LeftButton) {
            m_loop.exec();
        }
    }
    void stop() { m_loop.quit(); }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (m_widget == nullptr) {
            m_loop.quit();
            return false;
        }
        if (event->type() == QEvent::MouseMove) {
            follow(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            follow(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            m_loop.quit();
            return true;
        }
        return false;
    }

private:
    void follow(QPoint global)
    {
        QPoint topLeft = global - m_offset;
        if (QWidget* parent = m_widget->parentWidget(); parent && !m_widget->isWindow()) {
            topLeft = parent->mapFromGlobal(topLeft);
        }
        m_widget->move(topLeft);
    }

    QPointer<QWidget> m_widget;
    QPoint m_offset;
    QEventLoop m_loop;
};

} // namespace

void WindowDrag(Window* window)
{
    if (window == nullptr) {
        return;
    }
    const QPoint offset = window->lastPressPosition();
    if (window->isWindow() && !DesktopWindow::movesItself(window)) {
        // The window manager moves the window with the pointer from where the pointer
        // is when the move starts, which may already be past the press. Put the
        // grabbed pixel under the pointer first; this also brings Qt's idea of the
        // window's place, which can lag behind the window manager's after a show, up
        // to date.
        if (window->lastPressGlobalPosition() != QPoint()) {
            const QPoint grabbed = QCursor::pos() - offset;
            if (grabbed != window->pos()) {
                window->move(grabbed);
            }
        }
        if (QWindow* handle = window->windowHandle(); handle && handle->startSystemMove()) {
            return;
        }
    }
    // The window's form stays alive until the drag has returned, and a form that
    // goes away (it is closed during the drag) ends the drag.
    const NestedLoopGuard guard(window);
    DragFollower follower(window, offset);
    if (Form* form = guard.form()) {
        QObject::connect(form, &Form::hidden, &follower, &DragFollower::stop);
    }
    follower.run();
}

void WindowTopMost(Window* window)
{
    if (window == nullptr) {
        return;
    }
    if (!(window->windowFlags() & Qt::WindowStaysOnTopHint)) {
        window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
    window->show();
    window->raise();
}

void UnloadOtherWindows(const QString& name)
{
    for (Form* form : Form::Forms()) {
        if (form->Name() != name) {
            Form::Unload(form);
        }
    }
}
