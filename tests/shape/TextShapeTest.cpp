#include "ProgramState.h"
#include "TestMain.h"

#include "graphics/Gdi.h"
#include "graphics/Screen.h"
#include "graphics/Units.h"
#include "region/RGNDataStore.h"
#include "region/RegionNumbers.h"
#include "region/frm_RGN_Picture.h"
#include "shape/ShapeBuilder.h"

#include <QTest>
#include <limits>
#include <memory>

namespace {

PictureSurface& surface()
{
    return frm_RGN_Picture::instance().pWPicture;
}

// The pixels of the stored text shape.
QRegion textShape()
{
    const gdi::HRGN region = RGNFromData(TextShapeNumber);
    const QRegion pixels = gdi::regionData(region)->toQRegion();
    gdi::DeleteObject(region);
    return pixels;
}

// The shape a picture should have, worked out pixel by pixel: every pixel of another
// colour than pixel (0, 0), as one-row runs united into the canonical form.
std::vector<RgnRect> pixelsUnlikeTopLeft(const QImage& picture)
{
    std::vector<RgnRect> runs;
    const QRgb key = picture.pixel(0, 0);
    for (int y = 0; y < picture.height(); ++y) {
        int start = -1;
        for (int x = 0; x <= picture.width(); ++x) {
            const bool set = x < picture.width() && picture.pixel(x, y) != key;
            if (set && start < 0) {
                start = x;
            } else if (!set && start >= 0) {
                runs.push_back({start, y, x, y + 1});
                start = -1;
            }
        }
    }
    return RegionData::fromRects(std::move(runs)).rects();
}

std::vector<RgnRect> storedTextRects()
{
    const gdi::HRGN region = RGNFromData(TextShapeNumber);
    std::vector<RgnRect> rects = gdi::regionData(region)->rects();
    gdi::DeleteObject(region);
    return rects;
}

QString linesOf(const QString& line, int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i) {
        lines.append(line + QString::number(i));
    }
    return lines.join(QStringLiteral("\r\n"));
}

QSize screenPixels()
{
    return QSize(TwipToPixelX(Screen::Width()), TwipToPixelY(Screen::Height()));
}

} // namespace

class TextShapeTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ProgramState> state;

private slots:
    void init()
    {
        state = std::make_unique<ProgramState>();
        ensureRGNDataInit();
        surface().setFontSize(20);
        surface().setForeColor(0x000000);
        surface().setBackColor(0xFFFFFF);
    }
    void cleanup() { state.reset(); }

    void testEmptyTextBuildsNothing()
    {
        QCOMPARE(MakeRGNFromText(QString()), 0);
        QCOMPARE(RGNDataStore::instance().size(), 0);
        QVERIFY(frm_RGN_Picture::instance().pPicture(TextShapeNumber) == nullptr);
    }

    void testSpacesGiveAnEmptyShape()
    {
        QCOMPARE(MakeRGNFromText(QStringLiteral("   ")), TextShapeNumber);
        QVERIFY(textShape().isEmpty());
        QVERIFY(state->messages.isEmpty());
    }

    void testTextInTheBackgroundColourGivesTheGlyphShape_data()
    {
        QTest::addColumn<uint32_t>("colour");
        QTest::newRow("white") << 0xFFFFFFu;
        QTest::newRow("grey") << 0x808080u;
    }
    void testTextInTheBackgroundColourGivesTheGlyphShape()
    {
        QFETCH(uint32_t, colour);
        const QString text = QStringLiteral("Hello");
        QCOMPARE(MakeRGNFromText(text), TextShapeNumber);
        const QRegion glyphs = textShape();
        QVERIFY(!glyphs.isEmpty());

        surface().setBackColor(colour);
        surface().setForeColor(colour);
        QCOMPARE(MakeRGNFromText(text), TextShapeNumber);
        QVERIFY((textShape() ^ glyphs).isEmpty());
        // The glyphs are drawn in the text colour; the surface keeps its colours.
        const QImage picture = frm_RGN_Picture::instance().pPicture(TextShapeNumber)->Picture;
        const QPoint inside = glyphs.begin()->topLeft();
        QCOMPARE(picture.pixel(inside) & 0xFFFFFF,
                 qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF) & 0xFFFFFF);
        QCOMPARE(surface().BackColor(), colour);
        QCOMPARE(surface().ForeColor(), colour);
        QVERIFY(state->messages.isEmpty());
    }

    void testSurfaceTakesTheSizeOfAllLines()
    {
        const QString first = QStringLiteral("ab");
        const QString second = QStringLiteral("abcdefgh");
        QCOMPARE(MakeRGNFromText(first + QStringLiteral("\r\n") + second), TextShapeNumber);
        QCOMPARE(surface().ScaleWidth(), surface().TextWidth(second));
        QCOMPARE(surface().ScaleHeight(), 2 * surface().TextHeight(first));
        const QImage picture = frm_RGN_Picture::instance().pPicture(TextShapeNumber)->Picture;
        QCOMPARE(picture.size(), QSize(surface().ScaleWidth(), surface().ScaleHeight()));
        // The first line starts at the top-left corner: glyph pixels in its half only
        // reach as far as the first line's width.
        const QRect shape = textShape().boundingRect();
        QVERIFY(shape.top() < surface().TextHeight(first));
        QVERIFY(shape.bottom() >= surface().TextHeight(first));
        QVERIFY(shape.right() > surface().TextWidth(first));
    }

    void testShorterTextLeavesNothingOfTheLongerOne()
    {
        const QString shortText = QStringLiteral("Hi");
        QCOMPARE(MakeRGNFromText(shortText), TextShapeNumber);
        const QRegion alone = textShape();
        QVERIFY(!alone.isEmpty());
        QCOMPARE(MakeRGNFromText(QStringLiteral("A much longer text\r\nover two lines")),
                 TextShapeNumber);
        QCOMPARE(MakeRGNFromText(shortText), TextShapeNumber);
        QVERIFY((textShape() ^ alone).isEmpty());
        QCOMPARE(surface().ScaleWidth(), surface().TextWidth(shortText));
    }

    void testManyLinesShowExactlyTheirDrawnPixels_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("points");
        QTest::newRow("10 lines at 48 pt") << 10 << 48;
        QTest::newRow("100 lines at 12 pt") << 100 << 12;
    }
    void testManyLinesShowExactlyTheirDrawnPixels()
    {
        QFETCH(int, lines);
        QFETCH(int, points);
        surface().setFontSize(points);
        const QString text = linesOf(QStringLiteral("The quick brown fox jumps over "), lines);
        QCOMPARE(MakeRGNFromText(text), TextShapeNumber);
        QVERIFY(state->messages.isEmpty());
        const QImage picture = frm_RGN_Picture::instance().pPicture(TextShapeNumber)->Picture;
        const std::vector<RgnRect> stored = storedTextRects();
        // Far more rectangles than the first platform's limit of 4000.
        QVERIFY2(stored.size() > 4000, qPrintable(QString::number(stored.size())));
        QCOMPARE(stored, pixelsUnlikeTopLeft(picture));
    }

    void testLongTextIsDrawnAsFarAsTheScreenShows()
    {
        surface().setFontSize(12);
        const QString text = linesOf(QStringLiteral("line "), 1000);
        QCOMPARE(MakeRGNFromText(text), TextShapeNumber);
        QVERIFY(state->messages.isEmpty());
        const QSize screen = screenPixels();
        QCOMPARE(surface().ScaleHeight(), screen.height());
        QVERIFY(surface().ScaleWidth() <= screen.width());
        // The lines reach down to the bottom edge: the last visible line is drawn.
        const int spacing = surface().TextHeight(QStringLiteral("x"));
        const QRect shape = textShape().boundingRect();
        QVERIFY2(shape.bottom() >= screen.height() - spacing,
                 qPrintable(QString::number(shape.bottom())));
        // A line wider than the screen is cut at the screen's edge.
        QCOMPARE(MakeRGNFromText(QString(2000, QLatin1Char('W'))), TextShapeNumber);
        QCOMPARE(surface().ScaleWidth(), screen.width());
        QCOMPARE(textShape().boundingRect().right(), screen.width() - 1);
    }

    void testOnlyWhatTheScreenShowsIsMeasuredAndDrawn()
    {
        // A font as large as the surface takes: a line of it far wider than Qt's text
        // layout can measure (it wraps past 2^25 pixels) is measured and drawn only as
        // far as the screen reaches, and shows.
        surface().setFontSize(1e9);
        const QString wide(5000, QLatin1Char('W'));
        QVERIFY(surface().measureText(wide, 1).width > PictureSurface::MaxLineWidth);
        const int64_t screenWidth = screenPixels().width();
        const int64_t measured = surface().measureText(wide, 1, screenWidth).width;
        QVERIFY(measured > screenWidth && measured <= PictureSurface::MaxLineWidth);
        QCOMPARE(MakeRGNFromText(wide), TextShapeNumber);
        QVERIFY(state->messages.isEmpty());
        QCOMPARE(surface().ScaleWidth(), screenPixels().width());

        // Ten million characters in one line, in an ordinary font: the same shape as
        // the line's first thousand characters.
        surface().setFontSize(12);
        QCOMPARE(MakeRGNFromText(QString(1000, QLatin1Char('W'))), TextShapeNumber);
        const QRegion start = textShape();
        QCOMPARE(MakeRGNFromText(QString(10'000'000, QLatin1Char('W'))), TextShapeNumber);
        QVERIFY(state->messages.isEmpty());
        QCOMPARE(textShape().boundingRect().right(), screenPixels().width() - 1);
        QCOMPARE(textShape(), start);

        // Lines whose total height passes the 32-bit range are measured in 64 bits
        // and drawn as far as the screen shows them.
        surface().setFontSize(1e9);
        const QString tall = linesOf(QStringLiteral("W"), 120000);
        const PictureSurface::TextExtent extent = surface().measureText(tall, 1);
        QVERIFY(extent.height > std::numeric_limits<int32_t>::max());
        QCOMPARE(surface().TextHeight(tall), std::numeric_limits<int>::max());
        QCOMPARE(MakeRGNFromText(tall), TextShapeNumber);
        QVERIFY(state->messages.isEmpty());
        QCOMPARE(surface().ScaleHeight(), screenPixels().height());
        QCOMPARE(
            storedTextRects(),
            pixelsUnlikeTopLeft(frm_RGN_Picture::instance().pPicture(TextShapeNumber)->Picture));
    }
};

DESKWORD_TEST_MAIN(TextShapeTest)
#include "TextShapeTest.moc"
