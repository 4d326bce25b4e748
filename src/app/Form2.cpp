#include "Form2.h"

#include "FigurePlacement.h"
#include "Settings.h"
#include "frmMenu.h"
#include "graphics/Units.h"
#include "platform/DesktopWindow.h"
#include "platform/Platform.h"
#include "region/WindowUtilities.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

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
    // The program's name, with the desktop entry's id as the Wayland app id: what a
    // compositor rule names to keep the text floating on every workspace.
    setWindowTitle(QStringLiteral("Deskword"));
    resize(TwipToNearestPixelX(1995), TwipToNearestPixelY(1125));
    DesktopWindow::attach(this, [this] { remakeNativeWindow(); });
    // Screen-sized as the program sees it, but only as large as its figure on the
    // desktop, so that its memory follows the text and not the screen. Where the
    // compositor places windows (Wayland) a window that changes its size may be
    // placed anew, so there it stays whole.
    setSizedToFigure(Platform::placesWindows());
    connect(this, &Window::mouseDown, this, &Form2::onMouseDown);
    m_dropTimer.setSingleShot(true);
    m_dropTimer.setInterval(DropSettleMilliseconds);
    connect(&m_dropTimer, &QTimer::timeout, this, &Form2::storeDroppedPosition);
    watchScreens();
}

void Form2::watchScreens()
{
    // After a monitor is unplugged, moved or resized, the figure comes back onto the
    // monitors once Qt's list of them is up to date.
    const auto recover = [this] { QTimer::singleShot(0, this, &Form2::bringBackOnScreen); };
    const auto watch = [this, recover](QScreen* screen) {
        connect(screen, &QScreen::geometryChanged, this, recover);
    };
    for (QScreen* screen : QGuiApplication::screens()) {
        watch(screen);
    }
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [watch, recover](QScreen* screen) {
        watch(screen);
        recover();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, recover);
}

Form2* Form2::instance()
{
    return Find<Form2>();
}

QRect Form2::figureBounds() const
{
    // The shape's bounds; before there is a shape, a corner of the text.
    const RegionData* shape = gdi::regionData(windowRegion());
    const QRect bounds = shape != nullptr ? shape->toQRegion().boundingRect() : QRect();
    if (bounds.isEmpty()) {
        return QRect(pos(), QSize(ReachableSize, ReachableSize));
    }
    return bounds.translated(pos());
}

void Form2::bringBackOnScreen()
{
    if (!Platform::placesWindows()) {
        return; // the compositor keeps its windows where they can be seen
    }
    QList<QRect> monitors;
    for (const QScreen* screen : QGuiApplication::screens()) {
        monitors.append(screen->geometry());
    }
    const QRect figure = figureBounds();
    if (const std::optional<QPoint> at = FigurePlacement::recovered(figure, monitors)) {
        move(pos() + (*at - figure.topLeft()));
    }
}

void Form2::onMouseDown(int button, int, int, int)
{
    if (button == 1) {
        if (DesktopWindow::movesItself(this)) {
            // The program moves the window itself: back here the button is released
            // and the window is where it was dropped.
            WindowDrag(this);
            storeDroppedPosition();
            return;
        }
        m_dragged = true;
        WindowDrag(this);
        // The window manager moves the window from now on: the place is stored once
        // the window has come to rest.
        m_dropTimer.start();
    } else if (button == 2) {
        // The text itself opens the menu whatever tray there is, so the program can
        // always be reached and ended.
        if (frmMenu* menu = frmMenu::instance()) {
            menu->popUp();
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
    // The drag is over: later moves (a recovery after a change of monitors) are not
    // drops and store nothing.
    m_dragged = false;
    if (pos() != m_storedPosition) {
        storePosition();
    }
}

void Form2::storePosition()
{
    m_dropTimer.stop();
    // Where the platform does not say where the window is, the stored place stays.
    if (!Platform::placesWindows()) {
        return;
    }
    m_storedPosition = pos();
    WriteIniValues(DataSection, {{QStringLiteral("XPOS"), singleText(Left())},
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
