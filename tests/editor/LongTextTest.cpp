#include "EditorFixture.h"
#include "TestMain.h"

#include "editor/LongLines.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>

using namespace Qt::StringLiterals;

// Texts longer than an edit box can lay out at once: lines of any length are found
// and shortened without touching the rest, and the editor holds a text it cannot
// edit instead of losing any of it.
class LongTextTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<EditorFixture> fixture;

    static QString line(qsizetype length, char16_t c = u'x') { return QString(length, QChar(c)); }

private slots:
    void init()
    {
        fixture = std::make_unique<EditorFixture>();
        PictureSurface& style = frm_RGN_Picture::instance().pWPicture;
        style.setFontName(u"DejaVu Sans"_s);
        style.setFontSize(12);
    }
    void cleanup()
    {
        const std::unique_ptr<EditorFixture> done = std::move(fixture);
        QVERIFY(done->state.messages.isEmpty());
    }

    void testLongestLineAndShortening_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("longest");
        QTest::addColumn<QString>("shortened"); // at a limit of 3
        QTest::newRow("empty") << QString() << qsizetype(0) << QString();
        QTest::newRow("short lines") << u"ab\r\ncd"_s << qsizetype(2) << u"ab\r\ncd"_s;
        QTest::newRow("CR LF is one break")
            << u"abc\r\nabcd\r\n"_s << qsizetype(4) << u"abc\r\nabc…\r\n"_s;
        QTest::newRow("LF, CR, paragraph separator")
            << u"abcde\nab\rabcdef\u2029a"_s << qsizetype(6) << u"abc…\nab\rabc…\u2029a"_s;
        QTest::newRow("a line separator is no break")
            << u"ab\u2028cd"_s << qsizetype(5) << u"ab\u2028…"_s;
        QTest::newRow("never inside a surrogate pair")
            << u"ab\U0001F600c"_s << qsizetype(5) << u"ab…"_s;
    }
    void testLongestLineAndShortening()
    {
        QFETCH(QString, text);
        QFETCH(qsizetype, longest);
        QFETCH(QString, shortened);
        QCOMPARE(longestLineLength(text), longest);
        QCOMPARE(shortenLongLines(text, 3), shortened);
    }

    // A line the editor cannot lay out whole: shown shortened and read-only, with the
    // note; Execute and closing keep the whole text on the desktop and in the file.
    void testTooLongALineIsHeldWhole()
    {
        const QString text = u"first\r\n"_s + line(3 * EditableLineLength) + u"\r\nlast"_s;
        WriteIniValue(u"DATA"_s, u"TEXT"_s, encodeRGNText(text));
        Form3* editor = fixture->openEditor(text);
        QVERIFY(editor != nullptr);
        QVERIFY(editor->holdsText());
        QVERIFY(editor->Text1->isReadOnly());
        QVERIFY(editor->Label1->isVisible());
        QVERIFY(editor->Label1->text().contains(QLocale().toString(EditableLineLength)));
        // The note lies between the text box and the buttons, covering neither.
        QVERIFY(editor->Label1->geometry().top() > editor->Text2->geometry().bottom());
        QVERIFY(editor->Label1->geometry().bottom() < editor->Command1->geometry().top());
        QCOMPARE(editor->Text1->toPlainText(),
                 u"first\n"_s + line(EditableLineLength) + u"…\nlast"_s);

        // Typing at the caret, or over part of the text, changes nothing.
        QTest::keyClicks(editor->Text1, u"zz"_s);
        QTest::keyClick(editor->Text1, Qt::Key_End, Qt::ShiftModifier);
        QTest::keyClick(editor->Text1, Qt::Key_Delete);
        QVERIFY(editor->holdsText());

        editor->Command2_Click();
        QCOMPARE(fixture->host->RGNText, text);
        QCOMPARE(EditorFixture::setting("TEXT"), encodeRGNText(text));
        editor->close();
        QCOMPARE(fixture->host->RGNText, text);
        QCOMPARE(EditorFixture::setting("TEXT"), encodeRGNText(text));
    }

    // With the whole text selected, typing starts a new text that is stored as usual.
    void testTypingOverEverythingStartsANewText_data()
    {
        QTest::addColumn<QKeySequence>("firstKey");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("a letter") << QKeySequence(Qt::Key_N) << u"ew"_s << u"new"_s;
        QTest::newRow("Delete") << QKeySequence(Qt::Key_Delete) << u"new"_s << u"new"_s;
        QTest::newRow("Enter") << QKeySequence(Qt::Key_Return) << u"b"_s << u"%rb"_s;
    }
    void testTypingOverEverythingStartsANewText()
    {
        QFETCH(QKeySequence, firstKey);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        Form3* editor = fixture->openEditor(line(EditableLineLength + 1));
        QVERIFY(editor != nullptr);
        QVERIFY(editor->holdsText());
        const int textHeight = editor->Text2->height();
        editor->Text1->setFocus();
        QTest::keySequence(editor->Text1, QKeySequence::SelectAll);
        QTest::keySequence(editor->Text1, firstKey);
        QTest::keyClicks(editor->Text1, typed);
        QVERIFY(!editor->holdsText());
        QVERIFY(!editor->Text1->isReadOnly());
        QVERIFY(!editor->Label1->isVisible());
        QVERIFY(editor->Text2->height() > textHeight); // the note's room goes back to the text
        editor->Command2_Click();
        QCOMPARE(EditorFixture::setting("TEXT"), stored);
    }

    // Lines up to the limit are edited as always.
    void testLinesUpToTheLimitAreEditable()
    {
        Form3* editor = fixture->openEditor(line(EditableLineLength) + u"\r\nb"_s);
        QVERIFY(editor != nullptr);
        QVERIFY(!editor->holdsText());
        QVERIFY(!editor->Label1->isVisible());
        editor->Text1->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor->Text1, u"c"_s);
        editor->Command2_Click();
        QCOMPARE(fixture->host->RGNText, line(EditableLineLength) + u"\r\nbc"_s);
    }

    // A text as large as a settings file may hold opens whole: the mirror shows the
    // same lines and its scroll bars reach as far as the typing box's.
    void testTextOfManyLinesOpensWhole()
    {
        QStringList lines;
        for (int i = 0; i < 100000; ++i) {
            lines << u"%1 "_s.arg(i) + line(94);
        }
        const QString text = lines.join(u"\r\n");
        Form3* editor = fixture->openEditor(text);
        QVERIFY(editor != nullptr);
        QVERIFY(!editor->holdsText());
        QCOMPARE(editor->Text1->blockCount(), 100000);
        QCOMPARE(editor->Text2->toPlainText().size(), text.size() - (lines.size() - 1));
        QVERIFY(editor->Text2->document()->lastBlock().text().startsWith(u"99999 "_s));
        QScrollBar* bar = editor->Text1->verticalScrollBar();
        QCOMPARE(editor->Text2->verticalScrollBar()->maximum(), bar->maximum());
        bar->setValue(bar->maximum());
        QCOMPARE(editor->Text2->verticalScrollBar()->value(), bar->maximum());
        editor->close();
        QCOMPARE(fixture->host->RGNText, text);
    }
};

DESKWORD_TEST_MAIN(LongTextTest)
#include "LongTextTest.moc"
