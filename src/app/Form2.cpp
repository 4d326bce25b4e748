#include "Form2.h"

#include "Form1.h"
#include "Settings.h"
#include "frmMenu.h"
#include "region/WindowUtilities.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

namespace {

// The part of the window that must stay reachable: a corner of its text.
constexpr int ReachableSize = 32;

// How long a dragged window must stay still before its place counts as the drop.
constexpr int DropSettleMilliseconds = 300;

QString singleText(int twips)
{
    return QString::number(static_cast<double>(static_cast<float>(twips)), 'g', 7);
}

} // namespace

Form2::Form2() : Form(QStringLiteral("Form2"))
{
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                   Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QStringLiteral("Form2"));
    resize(twipsToPixelsX(1995), twipsToPixelsY(1125));
    connect(this, &Window::mouseDown, this, &Form2::onMouseDown);
    m_dropTimer.setSingleShot(true);
    m_dropTimer.setInterval(DropSettleMilliseconds);
    connect(&m_dropTimer, &QTimer::timeout, this, &Form2::storeDroppedPosition);
}

Form2* Form2::instance()
{
    return Find<Form2>();
}

void Form2::bringBackOnScreen()
{
    const QRect reachable(pos(), QSize(ReachableSize, ReachableSize));
    const QList<QScreen*> screens = QGuiApplication::screens();
    QRect nearest;
    qint64 nearestDistance = -1;
    for (const QScreen* screen : screens) {
        const QRect area = screen->geometry();
        if (area.intersects(reachable)) {
            return;
        }
        const QPoint inside(std::clamp(pos().x(), area.left(), area.right()),
                            std::clamp(pos().y(), area.top(), area.bottom()));
        const qint64 distance = (inside - pos()).manhattanLength();
        if (nearestDistance < 0 || distance < nearestDistance) {
            nearest = area;
            nearestDistance = distance;
        }
    }
    if (nearestDistance >= 0) {
        const int x = std::clamp(pos().x(), nearest.left(), nearest.right() - ReachableSize + 1);
        const int y = std::clamp(pos().y(), nearest.top(), nearest.bottom() - ReachableSize + 1);
        move(x, y);
    }
}

void Form2::onMouseDown(int button, int, int, int)
{
    if (button == 1) {
        m_dragged = true;
        WindowDrag(this);
        // Back here the drag has ended, or the window manager moves the window from
        // now on: the place is stored once the window has come to rest.
        m_dropTimer.start();
    } else if (button == 2) {
        // Without a system tray the text itself opens the menu, so the program can
        // always be reached and ended.
        const Form1* host = Form1::instance();
        if (host != nullptr && !host->hasTray()) {
            if (frmMenu* menu = frmMenu::instance()) {
                menu->popUp();
            }
        }
    }
}

void Form2::moveEvent(QMoveEvent* event)
{
    Form::moveEvent(event);
    if (m_dragged) {
        m_dropTimer.start();
    }
}

void Form2::storeDroppedPosition()
{
    if (pos() != m_storedPosition) {
        storePosition();
    }
}

void Form2::storePosition()
{
    m_dropTimer.stop();
    m_storedPosition = pos();
    WriteIniValues(QStringLiteral("DATA"), {{QStringLiteral("XPOS"), singleText(Left())},
                                            {QStringLiteral("YPOS"), singleText(Top())}});
}

void Form2::Form_Unload()
{
    storePosition();
}

void Form2::closeEvent(QCloseEvent* event)
{
    event->ignore();
}
