#include "TestMain.h"

#include "graphics/PictureSurface.h"

#include <QSet>
#include <QTest>
#include <cmath>
#include <limits>

namespace {

QSet<int32_t> coloursOn(const PictureSurface& surface)
{
    QSet<int32_t> colours;
    for (int y = 0; y < surface.ScaleHeight(); ++y) {
        for (int x = 0; x < surface.ScaleWidth(); ++x) {
            colours.insert(surface.Point(x, y));
        }
    }
    return colours;
}

} // namespace

// Measuring and drawing text on the scratch surface. Drawn text must be one bit
// deep: every pixel is the text colour or the background, as the window's shape is.
class PictureTextTest : public QObject
{
    Q_OBJECT

private slots:
    void testMultiLineTextMeasuresWidestLineAndAllLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("widest");
        QTest::addColumn<int>("lines");
        QTest::newRow("CR LF, longer line last") << "ab\r\nabcdef"
                                                 << "abcdef" << 2;
        QTest::newRow("LF, longer line first") << "abcdef\nab"
                                               << "abcdef" << 2;
        QTest::newRow("three lines, empty middle") << "Wide line\r\n\r\nab"
                                                   << "Wide line" << 3;
    }

    void testMultiLineTextMeasuresWidestLineAndAllLines()
    {
        QFETCH(QString, text);
        QFETCH(QString, widest);
        QFETCH(int, lines);
        PictureSurface surface;
        surface.setFontSize(20);
        const int lineHeight = surface.TextHeight(QStringLiteral("ab"));
        QVERIFY(lineHeight > 0);
        QVERIFY(surface.TextWidth(QStringLiteral("abcdef")) >
                surface.TextWidth(QStringLiteral("ab")));
        QCOMPARE(surface.TextWidth(text), surface.TextWidth(widest));
        QCOMPARE(surface.TextHeight(text), lines * lineHeight);
    }

    // A stored font size can be anything. Sizes that cannot be used keep the font's
    // size; huge ones give a huge text, never broken (negative) measurements.
    void testAbsurdFontSizes_data()
    {
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("huge");
        QTest::newRow("20000") << 20000.0 << true;
        QTest::newRow("1e300") << 1e300 << true;
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << true;
        QTest::newRow("0") << 0.0 << false;
        QTest::newRow("-12") << -12.0 << false;
        QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << false;
    }

    void testAbsurdFontSizes()
    {
        QFETCH(double, points);
        QFETCH(bool, huge);
        PictureSurface surface;
        surface.setFontSize(15);
        const int smallHeight = surface.TextHeight(QStringLiteral("Ag"));
        surface.setFontSize(points);
        if (!huge) {
            QCOMPARE(surface.FontSize(), 15.0);
            QCOMPARE(surface.TextHeight(QStringLiteral("Ag")), smallHeight);
            return;
        }
        QVERIFY(std::isfinite(surface.FontSize()));
        const int line = surface.TextHeight(QStringLiteral("Ag"));
        QVERIFY(line > 100 * smallHeight);
        QVERIFY(surface.TextWidth(QStringLiteral("Ag")) > 0);
        QCOMPARE(surface.TextHeight(QStringLiteral("Ag\r\nAg")), 2 * line);
        QVERIFY(surface.TextHeight(QStringLiteral("Ag\r\nAg")) > PictureSurface::MaxSide);
        // A whole font handed over (as the font chooser does) is held to the same size.
        PictureSurface other;
        QFont font = other.Font();
        font.setPointSizeF(points);
        other.setFont(font);
        QCOMPARE(other.FontSize(), surface.FontSize());
    }

    void testSpacesDrawNothing()
    {
        PictureSurface surface;
        QVERIFY(surface.setSizePixels(300, 120));
        surface.setBackColor(0x102030);
        surface.setForeColor(0x0000FF);
        surface.setFontSize(24);
        surface.Cls();
        const QString spaces = QStringLiteral("      \r\n   ");
        surface.Print(spaces);
        QCOMPARE(coloursOn(surface), QSet<int32_t>{0x102030});
        // The drawing position moves below what was printed, back at the left.
        QCOMPARE(surface.CurrentY, surface.TextHeight(spaces));
        QCOMPARE(surface.CurrentX, 0);
    }

    void testTextIsDrawnWithoutAntialiasing_data()
    {
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::newRow("regular") << false << false;
        QTest::newRow("bold") << true << false;
        QTest::newRow("italic") << false << true;
        QTest::newRow("bold italic") << true << true;
    }

    void testTextIsDrawnWithoutAntialiasing()
    {
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        PictureSurface surface;
        surface.setFontSize(24);
        surface.setFontBold(bold);
        surface.setFontItalic(italic);
        const QString text = QStringLiteral("Ag");
        QVERIFY(surface.setSizePixels(surface.TextWidth(text) + 20, surface.TextHeight(text)));
        surface.setBackColor(0xFFFFFF);
        surface.setForeColor(0x2080C0);
        surface.Cls();
        surface.CurrentX = 10;
        surface.Print(text);
        QCOMPARE(coloursOn(surface), (QSet<int32_t>{0xFFFFFF, 0x2080C0}));
        // Nothing is drawn left of the drawing position (10 columns of margin).
        for (int y = 0; y < surface.ScaleHeight(); ++y) {
            QCOMPARE(surface.Point(0, y), 0xFFFFFF);
        }
    }
};

DESKWORD_TEST_MAIN(PictureTextTest)
#include "PictureTextTest.moc"
