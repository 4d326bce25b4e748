#include "TestMain.h"

#include "forms/Window.h"
#include "forms/WindowRgn.h"
#include "graphics/Gdi.h"
#include "graphics/Screen.h"

#include <QTest>

// The offscreen test screen is what every other test relies on: check it once.
class ScreenTest : public QObject
{
    Q_OBJECT

private slots:
    void testScreenIs1280x1024At96Dpi()
    {
        QCOMPARE(Screen::TwipsPerPixelX(), 15.0);
        QCOMPARE(Screen::TwipsPerPixelY(), 15.0);
        QCOMPARE(Screen::Width(), 1280 * 15);
        QCOMPARE(Screen::Height(), 1024 * 15);
    }

    void testEmptyRegionHidesWholeWindowButNoRegionShowsIt()
    {
        Window window;
        window.resize(100, 50);
        const gdi::HRGN empty = gdi::CreateRectRgn(0, 0, 0, 0);
        QCOMPARE(gdi::SetWindowRgn(&window, empty, true), 1);
        QVERIFY(!window.mask().isEmpty());
        QVERIFY((window.mask() & window.rect()).isEmpty());
        QCOMPARE(gdi::SetWindowRgn(&window, 0, true), 1);
        QVERIFY(window.mask().isEmpty());
        QVERIFY(!gdi::isRegion(empty)); // the window released the region it owned
    }
};

DESKWORD_TEST_MAIN(ScreenTest)
#include "ScreenTest.moc"
