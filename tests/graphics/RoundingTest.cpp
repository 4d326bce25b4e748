#include "TestMain.h"

#include "graphics/Rounding.h"

#include <QTest>
#include <cfenv>
#include <cmath>
#include <limits>

// Halves go to the even neighbour everywhere the program rounds, and texts count
// by their leading number.
class RoundingTest : public QObject
{
    Q_OBJECT

private slots:
    void testRoundHalfEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("expected");
        constexpr int max = std::numeric_limits<int32_t>::max();
        constexpr int min = std::numeric_limits<int32_t>::min();
        QTest::newRow("0.5") << 0.5 << 0;
        QTest::newRow("1.5") << 1.5 << 2;
        QTest::newRow("2.5") << 2.5 << 2;
        QTest::newRow("7.5") << 7.5 << 8;
        QTest::newRow("-0.5") << -0.5 << 0;
        QTest::newRow("-1.5") << -1.5 << -2;
        QTest::newRow("-2.5") << -2.5 << -2;
        QTest::newRow("2.4999") << 2.4999 << 2;
        QTest::newRow("2.5001") << 2.5001 << 3;
        QTest::newRow("-7.6") << -7.6 << -8;
        QTest::newRow("largest int") << 2147483647.0 << max;
        QTest::newRow("above int range") << 2147483647.5 << max;
        QTest::newRow("3e9") << 3e9 << max;
        QTest::newRow("smallest int") << -2147483648.0 << min;
        QTest::newRow("-2147483648.5 (even)") << -2147483648.5 << min;
        QTest::newRow("-3e9") << -3e9 << min;
        QTest::newRow("+inf") << std::numeric_limits<double>::infinity() << max;
        QTest::newRow("-inf") << -std::numeric_limits<double>::infinity() << min;
        QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << 0;
    }

    void testRoundHalfEven()
    {
        QFETCH(double, value);
        QFETCH(int, expected);
        QCOMPARE(roundHalfEven(value), expected);
        // The answer must not depend on the floating-point rounding mode of the
        // moment, and the mode must be left as it was.
        for (int mode : {FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
            std::fesetround(mode);
            const int32_t rounded = roundHalfEven(value);
            const int after = std::fegetround();
            std::fesetround(FE_TONEAREST);
            QCOMPARE(rounded, expected);
            QCOMPARE(after, mode);
        }
    }

    void testLeadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("1.5") << "1.5" << 1.5;
        QTest::newRow("blanks, sign, trailing letter") << "  -3x" << -3.0;
        QTest::newRow("tab before") << "\t12.25 pt" << 12.25;
        QTest::newRow("letters") << "abc" << 0.0;
        QTest::newRow("fraction only") << ".5" << 0.5;
        QTest::newRow("negative fraction only") << "-.5" << -0.5;
        QTest::newRow("point after digits") << "5." << 5.0;
        QTest::newRow("plus sign") << "+7" << 7.0;
        QTest::newRow("no exponent") << "1e5" << 1.0;
        QTest::newRow("comma ends the number") << "1,5" << 1.0;
        QTest::newRow("second point ends the number") << "1.2.3" << 1.2;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("sign only") << "-" << 0.0;
        QTest::newRow("sign and point") << "-." << 0.0;
        QTest::newRow("two signs") << "--1" << 0.0;
        QTest::newRow("blank after sign") << "- 1" << 0.0;
        QTest::newRow("non-ASCII digits") << QString::fromUtf8("\u0661\u0662") << 0.0;
        QTest::newRow("full-width digits") << QString::fromUtf8("\uFF11\uFF12") << 0.0;
    }

    void testLeadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(leadingNumber(text), expected);
    }

    // Numbers too long for a double still count as very large (or very small)
    // values, so that a stored number far outside the integer range is clamped,
    // not taken as 0.
    void testOverlongNumbersSaturate()
    {
        const QString digits = QStringLiteral("9").repeated(400);
        QCOMPARE(roundHalfEven(leadingNumber(digits)), std::numeric_limits<int32_t>::max());
        QCOMPARE(roundHalfEven(leadingNumber(QStringLiteral("-") + digits + QStringLiteral("x"))),
                 std::numeric_limits<int32_t>::min());
        QCOMPARE(leadingNumber(QStringLiteral("123456789012345678901234567890.5")),
                 1.2345678901234568e29);
        QCOMPARE(leadingNumber(QStringLiteral("0.") + QString(400, u'0') + QStringLiteral("1")),
                 0.0);
    }
};

DESKWORD_TEST_MAIN(RoundingTest)
#include "RoundingTest.moc"
