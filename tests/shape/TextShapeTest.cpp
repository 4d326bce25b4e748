#include "ProgramState.h"
#include "TestMain.h"

#include "region/RegionNumbers.h"
#include "shape/RGNDataStore.h"
#include "shape/ShapeBuilder.h"
#include "shape/frm_RGN_Picture.h"
#include "window/Gdi.h"

#include <QTest>
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
};

DESKWORD_TEST_MAIN(TextShapeTest)
#include "TextShapeTest.moc"
