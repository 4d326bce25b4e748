#include "TestMain.h"

#include "app/FigurePlacement.h"
#include "app/FullScreenHiding.h"

#include <QTest>

// After a monitor change the whole figure comes back onto the nearest monitor, and a
// figure that still shows anywhere stays where it is.
class FigurePlacementTest : public QObject
{
    Q_OBJECT

private slots:
    void testRecovered_data()
    {
        QTest::addColumn<QRect>("figure");
        QTest::addColumn<QList<QRect>>("monitors");
        QTest::addColumn<bool>("moves");
        QTest::addColumn<QPoint>("expected");
        const QRect left(0, 0, 640, 1024);
        const QRect right(640, 0, 640, 1024);
        const QList<QRect> both{left, right};
        const QList<QRect> rightOnly{right};

        QTest::newRow("on a monitor") << QRect(100, 100, 200, 50) << both << false << QPoint();
        QTest::newRow("one pixel on the remaining monitor")
            << QRect(441, 100, 200, 50) << rightOnly << false << QPoint();
        QTest::newRow("left monitor gone: wholly onto the right one, same height")
            << QRect(100, 300, 200, 50) << rightOnly << true << QPoint(640, 300);
        QTest::newRow("below the bottom right corner")
            << QRect(1400, 1100, 200, 50) << rightOnly << true << QPoint(1080, 974);
        QTest::newRow("above and left of everything")
            << QRect(-500, -300, 80, 40) << both << true << QPoint(0, 0);
        QTest::newRow("figure wider than the monitor: its left part")
            << QRect(-900, 200, 800, 60) << rightOnly << true << QPoint(640, 200);
        // Nearest by straight-line distance: the upper monitor is 11 px away, the
        // lower one more than 250 px.
        QTest::newRow("nearest of two")
            << QRect(100, 1034, 50, 50)
            << QList<QRect>{QRect(0, 0, 640, 1024), QRect(500, 1334, 640, 480)} << true
            << QPoint(100, 974);
        QTest::newRow("no monitors")
            << QRect(100, 100, 10, 10) << QList<QRect>{} << false << QPoint();
        QTest::newRow("empty figure") << QRect() << rightOnly << false << QPoint();
    }

    void testRecovered()
    {
        QFETCH(QRect, figure);
        QFETCH(QList<QRect>, monitors);
        QFETCH(bool, moves);
        QFETCH(QPoint, expected);
        const std::optional<QPoint> at = FigurePlacement::recovered(figure, monitors);
        QCOMPARE(at.has_value(), moves);
        if (at) {
            QCOMPARE(*at, expected);
            const QRect placed(*at, figure.size());
            bool inside = false;
            for (const QRect& monitor : monitors) {
                inside = inside || monitor.contains(placed) ||
                         (figure.width() > monitor.width() && monitor.intersects(placed));
            }
            QVERIFY2(inside, "the recovered figure lies wholly on a monitor");
        }
    }

    // Over full-screen windows the text hides only when the full-screen window is on
    // the monitor that holds (the larger part of) the text.
    void testFullScreenOnTheTextsMonitor_data()
    {
        QTest::addColumn<QRect>("figure");
        QTest::addColumn<QRect>("fullScreen");
        QTest::addColumn<bool>("hides");
        const QRect left(0, 0, 640, 1024);
        const QRect right(640, 0, 640, 1024);
        QTest::newRow("same monitor") << QRect(100, 100, 200, 50) << left << true;
        QTest::newRow("the other monitor") << QRect(100, 100, 200, 50) << right << false;
        QTest::newRow("text mostly on the right") << QRect(600, 100, 200, 50) << right << true;
        QTest::newRow("text mostly on the left") << QRect(500, 100, 200, 50) << right << false;
        QTest::newRow("not yet at full size, on the right")
            << QRect(700, 100, 200, 50) << QRect(800, 200, 300, 300) << true;
        QTest::newRow("no full-screen window") << QRect(100, 100, 200, 50) << QRect() << false;
        QTest::newRow("text on no monitor") << QRect(-500, 100, 200, 50) << left << false;
    }
    void testFullScreenOnTheTextsMonitor()
    {
        QFETCH(QRect, figure);
        QFETCH(QRect, fullScreen);
        QFETCH(bool, hides);
        const QList<QRect> monitors{QRect(0, 0, 640, 1024), QRect(640, 0, 640, 1024)};
        QCOMPARE(FullScreenHiding::onSameMonitor(figure, fullScreen, monitors), hides);
    }
};

DESKWORD_TEST_MAIN(FigurePlacementTest)
#include "FigurePlacementTest.moc"
