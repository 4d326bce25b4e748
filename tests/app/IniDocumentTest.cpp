#include "TestMain.h"

#include "app/IniDocument.h"
#include "app/ShiftJis.h"

#include <QRandomGenerator>
#include <QStringDecoder>
#include <QTest>

// The INI text itself: arbitrary file contents never break reading or writing, and
// both Shift-JIS decoders read what a Japanese system writes.
class IniDocumentTest : public QObject
{
    Q_OBJECT

private:
    // Random file contents built from the pieces an INI file is made of, bits of
    // UTF-8 and Shift-JIS text, and arbitrary bytes.
    static QByteArray randomFile(QRandomGenerator& random)
    {
        static const QList<QByteArray> pieces = {
            "[",       "]",        "=",     ";",  "\r",           "\n",   "\r\n",
            " ",       "\t",       "\"",    "'",  "DATA",         "data", "TEXT",
            "text",    "FontBold", "Other", "%r", "\xEF\xBB\xBF", "日本", "\x93\xfa",
            "\x83\x5d"};
        QByteArray bytes;
        const int count = random.bounded(60);
        for (int i = 0; i < count; ++i) {
            if (random.bounded(4) == 0) {
                bytes += char(random.bounded(256));
            } else {
                bytes += pieces[random.bounded(pieces.size())];
            }
        }
        return bytes;
    }

    // A value that reads back as written once line breaks are spaces: no blanks or
    // quotes at its ends.
    static QString randomValue(QRandomGenerator& random)
    {
        static const QString characters = QStringLiteral("ab=[];%r\r\n \t\"'日本語");
        QString value = QStringLiteral("v");
        const int count = random.bounded(20);
        for (int i = 0; i < count; ++i) {
            value += characters[random.bounded(characters.size())];
        }
        return value + u'v';
    }

private slots:
    void testAnyFileCanBeReadAndWritten()
    {
        QRandomGenerator random(20240501);
        for (int round = 0; round < 5000; ++round) {
            const QByteArray file = randomFile(random);
            const IniDocument before = IniDocument::fromBytes(file);
            QCOMPARE(before.toBytes(), file); // every file comes back byte for byte
            const QString value = randomValue(random);
            IniDocument after = before;
            QVERIFY(after.setValue(u"DATA", u"TEXT", value));
            const IniDocument reread = IniDocument::fromBytes(after.toBytes());
            QString expected = value;
            expected.replace(u'\r', u' ').replace(u'\n', u' ');
            QCOMPARE(reread.value(u"data", u"text"), expected);
            QCOMPARE(reread.value(u"DATA", u"FontBold"), before.value(u"DATA", u"FontBold"));
            QCOMPARE(reread.value(u"Other", u"TEXT"), before.value(u"Other", u"TEXT"));
        }
    }

    // CR LF, LF and CR alone all end a line; a line is UTF-8 when it can be, else
    // Shift-JIS, whatever the other lines are.
    void testLinesAndEncodings()
    {
        const QByteArray sjisText = QByteArray::fromHex("93fa967b8cea"); // 日本語
        const IniDocument document = IniDocument::fromBytes(
            "[DATA]\rA=1\r\nB=\xE6\x97\xA5\nC=" + sjisText + "\rD=caf\xE9\r\rE=5");
        QCOMPARE(document.value(u"DATA", u"A"), QStringLiteral("1"));
        QCOMPARE(document.value(u"DATA", u"B"), QStringLiteral("日"));
        QCOMPARE(document.value(u"DATA", u"C"), QStringLiteral("日本語"));
        QCOMPARE(document.value(u"DATA", u"E"), QStringLiteral("5"));
    }

    void testShiftJis_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("kanji, kana, trail bytes 0x5C 0x5D 0x5B")
            << QByteArray::fromHex("93fa967b8cea8365834c83588367955c8ea6835d815b8393")
            << QStringLiteral("日本語テキスト表示ゾーン");
        QTest::newRow("half-width katakana, NEC extension")
            << QByteArray::fromHex("b6c0b6c58740") << QStringLiteral("ｶﾀｶﾅ①");
    }

    void testShiftJis()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(fromShiftJis(bytes), text);
    }
};

DESKWORD_TEST_MAIN(IniDocumentTest)
#include "IniDocumentTest.moc"
