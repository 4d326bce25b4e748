#include "forms/Window.h"
#include "platform/DesktopWindow.h"

#include <QApplication>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPoint>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>
#include <xcb/xcb.h>

// The text window's X11 side on a real X server of the test's own (Xvfb), read back
// through a second X connection as another program (a compositor, a window manager)
// would see it.
namespace {

struct Free
{
    void operator()(void* p) const { std::free(p); }
};
template <class T> using Reply = std::unique_ptr<T, Free>;

class XReader
{
public:
    XReader() : m_c(xcb_connect(nullptr, nullptr)) {}
    ~XReader() { xcb_disconnect(m_c); }
    XReader(const XReader&) = delete;
    XReader& operator=(const XReader&) = delete;

    bool ok() const { return xcb_connection_has_error(m_c) == 0; }
    xcb_connection_t* connection() const { return m_c; }
    xcb_window_t root() const { return xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root; }

    xcb_atom_t atom(const char* name) const
    {
        const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
            m_c, xcb_intern_atom(m_c, 0, uint16_t(std::strlen(name)), name), nullptr));
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    std::vector<uint32_t> cardinals(xcb_window_t window, const char* name) const
    {
        const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            m_c, xcb_get_property(m_c, 0, window, atom(name), XCB_ATOM_CARDINAL, 0, 16), nullptr));
        if (!reply || reply->format != 32) {
            return {};
        }
        const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
        return {values, values + xcb_get_property_value_length(reply.get()) / 4};
    }

    std::optional<bool> overrideRedirect(xcb_window_t window) const
    {
        const Reply<xcb_get_window_attributes_reply_t> reply(
            xcb_get_window_attributes_reply(m_c, xcb_get_window_attributes(m_c, window), nullptr));
        if (!reply) {
            return std::nullopt;
        }
        return reply->override_redirect != 0;
    }

    int depth(xcb_window_t window) const
    {
        const Reply<xcb_get_geometry_reply_t> reply(
            xcb_get_geometry_reply(m_c, xcb_get_geometry(m_c, window), nullptr));
        return reply ? reply->depth : 0;
    }

    // Where the window is on the desktop (the root's child) and whether it is viewable.
    std::optional<QPoint> shownAt(xcb_window_t window) const
    {
        const Reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(m_c, xcb_get_window_attributes(m_c, window), nullptr));
        const Reply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(m_c, xcb_get_geometry(m_c, window), nullptr));
        if (!attributes || !geometry || attributes->map_state != XCB_MAP_STATE_VIEWABLE) {
            return std::nullopt;
        }
        return QPoint(geometry->x, geometry->y);
    }

    // A compositor's claim: an unmapped window of this connection owns _NET_WM_CM_S0.
    // Destroying the window ends the claim.
    xcb_window_t claimCompositorSelection() const
    {
        const xcb_window_t owner = xcb_generate_id(m_c);
        xcb_create_window(m_c, XCB_COPY_FROM_PARENT, owner, root(), 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_set_selection_owner(m_c, owner, atom("_NET_WM_CM_S0"), XCB_CURRENT_TIME);
        xcb_flush(m_c);
        return owner;
    }

    // The root's children, bottom first.
    std::vector<xcb_window_t> stacking() const
    {
        const Reply<xcb_query_tree_reply_t> reply(
            xcb_query_tree_reply(m_c, xcb_query_tree(m_c, root()), nullptr));
        if (!reply) {
            return {};
        }
        const xcb_window_t* children = xcb_query_tree_children(reply.get());
        return {children, children + xcb_query_tree_children_length(reply.get())};
    }

    // A window of another program, mapped at once.
    xcb_window_t mapWindow(bool overrideRedirect) const
    {
        const xcb_window_t window = xcb_generate_id(m_c);
        const uint32_t values[] = {overrideRedirect ? 1u : 0u};
        xcb_create_window(m_c, XCB_COPY_FROM_PARENT, window, root(), 0, 0, 200, 200, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                          XCB_CW_OVERRIDE_REDIRECT, values);
        xcb_map_window(m_c, window);
        xcb_flush(m_c);
        return window;
    }

    bool above(xcb_window_t upper, xcb_window_t lower) const
    {
        const std::vector<xcb_window_t> order = stacking();
        const auto position = [&order](xcb_window_t w) {
            for (size_t i = 0; i < order.size(); ++i) {
                if (order[i] == w) {
                    return int(i);
                }
            }
            return -1;
        };
        return position(upper) > position(lower) && position(lower) >= 0;
    }

private:
    xcb_connection_t* m_c;
};

class PressCounter : public QWidget
{
public:
    int presses = 0;
    QEventLoop* waiting = nullptr;

protected:
    void mousePressEvent(QMouseEvent*) override
    {
        ++presses;
        if (waiting != nullptr) {
            waiting->quit();
        }
    }
};

} // namespace

class DesktopWindowX11Test : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_x.ok()); }

    // What compositors and window managers read is in place before the first map.
    void testPropertiesBeforeMap()
    {
        QWidget window;
        DesktopWindow::attach(&window);
        QVERIFY(DesktopWindow::movesItself(&window));
        const auto native = static_cast<xcb_window_t>(window.winId());
        QApplication::sync();
        QCOMPARE(m_x.overrideRedirect(native), std::optional<bool>(true));
        QCOMPARE(m_x.depth(native), 24); // no compositor runs
        QCOMPARE(m_x.cardinals(native, "_GTK_FRAME_EXTENTS"), (std::vector<uint32_t>{0, 0, 0, 0}));
        QCOMPARE(m_x.cardinals(native, "_NET_WM_WINDOW_OPACITY"),
                 (std::vector<uint32_t>{0xFFFFFFFF}));
    }

    // The window has an alpha channel only while a compositor runs: when one starts, it
    // is made anew with one, where it was, shown, with its properties; when it stops,
    // again without. A window made while one runs has it from the start.
    void testVisualFollowsCompositor()
    {
        Window window;
        DesktopWindow::attach(&window, [&window] { window.remakeNativeWindow(); });
        window.setGeometry(30, 40, 100, 80);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const auto native = [&window] { return static_cast<xcb_window_t>(window.winId()); };
        QCOMPARE(m_x.depth(native()), 24);

        const xcb_window_t compositor = m_x.claimCompositorSelection();
        QTRY_COMPARE(m_x.depth(native()), 32);
        QTRY_COMPARE(m_x.shownAt(native()), std::optional<QPoint>(QPoint(30, 40)));
        QCOMPARE(m_x.overrideRedirect(native()), std::optional<bool>(true));
        QCOMPARE(m_x.cardinals(native(), "_NET_WM_WINDOW_OPACITY"),
                 (std::vector<uint32_t>{0xFFFFFFFF}));
        {
            QWidget later;
            DesktopWindow::attach(&later);
            QCOMPARE(m_x.depth(static_cast<xcb_window_t>(later.winId())), 32);
        }

        xcb_destroy_window(m_x.connection(), compositor);
        xcb_flush(m_x.connection());
        QTRY_COMPARE(m_x.depth(native()), 24);
        QTRY_COMPARE(m_x.shownAt(native()), std::optional<QPoint>(QPoint(30, 40)));
    }

    // A normal window mapped later goes under the text; a menu or tooltip (another
    // override-redirect window) mapped later stays above it.
    void testStaysAboveNormalWindows()
    {
        QWidget window;
        DesktopWindow::attach(&window);
        window.resize(100, 100);
        window.show();
        const auto native = static_cast<xcb_window_t>(window.winId());
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const xcb_window_t normal = m_x.mapWindow(false);
        QTRY_VERIFY(m_x.above(native, normal));

        // A menu maps above the text, and the text does not answer it with a raise;
        // the next normal window goes under the text again.
        const xcb_window_t menu = m_x.mapWindow(true);
        QTRY_VERIFY(m_x.above(menu, native));
        const xcb_window_t later = m_x.mapWindow(false);
        QTRY_VERIFY(m_x.above(native, later));
        for (const xcb_window_t w : {normal, menu, later}) {
            xcb_destroy_window(m_x.connection(), w);
        }
        xcb_flush(m_x.connection());
    }

    // Catching up with the window system before the end is stored runs what it sent
    // (moves, exposes) but leaves a click or key waiting for the event loop, as inside
    // any running command; back in the loop it runs without any further event (Qt
    // alone would hold it until the next X event came, the next mouse move).
    void testCatchingUpLeavesUserInputWaiting()
    {
        PressCounter window;
        window.resize(100, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // A real click (XTEST), sent and through the server when xdotool returns.
        const QPoint at = window.mapToGlobal(QPoint(10, 10));
        QCOMPARE(QProcess::execute(QStringLiteral("xdotool"),
                                   {QStringLiteral("mousemove"), QString::number(at.x()),
                                    QString::number(at.y()), QStringLiteral("click"),
                                    QStringLiteral("1")}),
                 0);
        DesktopWindow::catchUp();
        QCOMPARE(window.presses, 0);
        // The program's own event loop: it waits for events when it has nothing to do.
        QEventLoop loop;
        window.waiting = &loop;
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
        QCOMPARE(window.presses, 1);
    }

private:
    XReader m_x;
};

// Starts an X server of its own and runs the tests on Qt's xcb platform there.
int main(int argc, char* argv[])
{
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    QProcess xvfb;
    xvfb.start(QStringLiteral("Xvfb"),
               {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-screen"),
                QStringLiteral("0"), QStringLiteral("640x480x24")});
    if (!xvfb.waitForStarted(10000)) {
        qCritical("Xvfb did not start");
        return 1;
    }
    QByteArray display;
    while (!display.contains('\n') && xvfb.waitForReadyRead(20000)) {
        display += xvfb.readAllStandardOutput();
    }
    if (display.trimmed().isEmpty()) {
        qCritical("Xvfb gave no display number");
        return 1;
    }
    qputenv("DISPLAY", ":" + display.trimmed());
    qputenv("QT_QPA_PLATFORM", "xcb");
    int status = 0;
    {
        QApplication app(argc, argv);
        DesktopWindowX11Test test;
        status = QTest::qExec(&test, argc, argv);
    }
    xvfb.terminate();
    xvfb.waitForFinished(5000);
    return status;
}

#include "DesktopWindowX11Test.moc"
