#include "ProgramState.h"
#include "TestMain.h"

#include "forms/Window.h"
#include "graphics/Gdi.h"
#include "region/WindowShape.h"

#include <QPainter>
#include <QTemporaryDir>

namespace {

const QRgb red = qRgb(255, 0, 0);
const QRgb green = qRgb(0, 255, 0);
// The outline of the picture below: two blocks that touch at a corner.
const QRegion outline = QRegion(2, 2, 5, 7) | QRegion(7, 1, 4, 2);

int32_t pictureShape()
{
    QImage image(12, 10, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(2, 2, 5, 7, red);
    painter.fillRect(7, 1, 4, 2, Qt::blue);
    painter.end();
    QTemporaryDir dir;
    image.save(dir.filePath(QStringLiteral("p.bmp")), "BMP");
    return MakeRGNFromPicture(dir.filePath(QStringLiteral("p.bmp")), 0);
}

bool sameArea(const QRegion& a, const QRegion& b)
{
    return (a ^ b).isEmpty();
}
} // namespace

// RGNShapeWindow and RGNShape: one window takes the size, outline and picture of one
// region number.
class WindowShapeTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<ProgramState> state;
    std::unique_ptr<QWidget> parent;
    Window* window = nullptr;
    int32_t picture = 0;
    int regionsBefore = 0;

private slots:
    void init()
    {
        state = std::make_unique<ProgramState>();
        picture = pictureShape();
        QVERIFY(picture >= 10);
        regionsBefore = gdi::liveRegionCount();
        parent = std::make_unique<QWidget>();
        window = new Window(parent.get());
        window->setBackColor(0x00FF00);
        window->setGeometry(5, 5, 40, 40);
    }
    void cleanup()
    {
        parent.reset();
        state.reset(); // before the next test's, which would otherwise lose its handlers
        QCOMPARE(gdi::liveRegionCount(), regionsBefore);
    }

    void testShapeWindow_data()
    {
        QTest::addColumn<bool>("draw");
        QTest::newRow("drawn") << true;
        QTest::newRow("not drawn") << false;
    }
    void testShapeWindow()
    {
        QFETCH(bool, draw);
        for (int time = 0; time < 2; ++time) { // the second time replaces, not extends
            RGNShapeWindow(picture, window, draw);
            QVERIFY(window->AutoRedraw());
            QCOMPARE(window->size(), QSize(12, 10));
            QVERIFY(sameArea(window->mask(), outline));
            QCOMPARE(window->backBuffer().pixel(3, 3), draw ? red : green);
            QCOMPARE(gdi::liveRegionCount(), regionsBefore + 1);
        }
        QVERIFY(state->messages.isEmpty());
    }

    void testKeepUnitesTheOutlines()
    {
        RGNShape(picture, window, RGNShapeOutline, 0, 0, true); // nothing to keep yet
        RGNShape(picture, window, RGNShapeOutline | RGNShapePaint, 15 * 20, 0, true);
        QVERIFY(sameArea(window->mask(), outline | outline.translated(20, 0)));
        QCOMPARE(window->size(), QSize(40, 40));
        QCOMPARE(window->backBuffer().pixel(3 + 20, 3), red);
        QCOMPARE(window->backBuffer().pixel(3, 3), green); // cleared first
        QCOMPARE(gdi::liveRegionCount(), regionsBefore + 1);
    }

    void testARefusedOutlineEndsTheProgram()
    {
        RGNSetWindowShape(picture, nullptr, 0, 0, false);
        QCOMPARE(state->messages,
                 QStringList{QStringLiteral("It failed in plastic surgery of a window.")});
        QCOMPARE(state->endCodes, QList<int>{1});
    }
};

DESKWORD_TEST_MAIN(WindowShapeTest)
#include "WindowShapeTest.moc"
