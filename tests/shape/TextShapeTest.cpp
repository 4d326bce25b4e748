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

    void testInvisibleTextGivesAnEmptyShape_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<uint32_t>("colour");
        QTest::newRow("spaces") << QStringLiteral("   ") << 0x000000u;
        QTest::newRow("text in the background colour") << QStringLiteral("Hello") << 0xFFFFFFu;
    }
    void testInvisibleTextGivesAnEmptyShape()
    {
        QFETCH(QString, text);
        QFETCH(uint32_t, colour);
        surface().setForeColor(colour);
        QCOMPARE(MakeRGNFromText(text), TextShapeNumber);
        QVERIFY(textShape().isEmpty());
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
