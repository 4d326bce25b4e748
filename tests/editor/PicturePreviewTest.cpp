#include "EditorFixture.h"
#include "TestMain.h"

#include <QPointer>
#include <QScrollBar>
#include <QTimer>
#include <QWindow>
#include <limits>

// The picture preview over the text: placed at the picture offset, moved with the
// text, and dragged to a new offset.
class PicturePreviewTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<EditorFixture> fixture;

    // Opens the editor with a 20 x 12 picture at (300, 450) twips, on a text that
    // scrolls both ways.
    Form3* openWithPicture()
    {
        fixture->usePicture(20, 12);
        fixture->host->PicPosX = 300;
        fixture->host->PicPosY = 450;
        return fixture->openEditor(
            QStringList(80, QStringLiteral("a line of text ").repeated(8)).join(u"\r\n"));
    }
    int lineHeight() const { return fixture->surface.TextHeight(QStringLiteral("A")); }
    static QPoint at(const Window* preview) { return {preview->Left(), preview->Top()}; }

private slots:
    void init() { fixture = std::make_unique<EditorFixture>(); }
    void cleanup()
    {
        const std::unique_ptr<EditorFixture> done = std::move(fixture);
        QVERIFY(done->state.messages.isEmpty());
    }

    void testNoPictureHidesThePreview()
    {
        Form3* editor = fixture->openEditor(QStringLiteral("abc"));
        QVERIFY(editor != nullptr);
        QVERIFY(!editor->Picture1->isVisible());
        editor->resize(500, 400);
        QVERIFY(!editor->Picture1->isVisible());
    }

    void testDrag_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QPoint>("by");     // pixels
        QTest::addColumn<QPoint>("offset"); // twips
        QTest::newRow("10 px right") << Qt::LeftButton << QPoint(10, 0) << QPoint(450, 450);
        QTest::newRow("out at the top left")
            << Qt::LeftButton << QPoint(-30, -40) << QPoint(-150, -150);
        QTest::newRow("right button") << Qt::RightButton << QPoint(10, 10) << QPoint(300, 450);
        QTest::newRow("middle button") << Qt::MiddleButton << QPoint(10, 10) << QPoint(300, 450);
    }
    void testDrag()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(QPoint, by);
        QFETCH(QPoint, offset);
        Form3* editor = openWithPicture();
        QVERIFY(editor != nullptr);
        Window* preview = editor->Picture1;
        QCOMPARE(at(preview), QPoint(300, 450));
        QVERIFY((preview->mask() ^ QRegion(1, 1, 20, 12)).isEmpty());
        QCOMPARE(preview->backBuffer().pixel(5, 5), qRgb(200, 0, 0));

        QWindow* window = editor->windowHandle();
        const QPoint start = preview->mapTo(editor, QPoint(5, 5));
        bool released = false;
        QTimer::singleShot(0, editor, [&] { // inside the drag, which ends on the release
            QTest::mouseMove(window, start + by);
            QTest::mouseRelease(window, button, {}, start + by);
            released = true;
        });
        QTest::mousePress(window, button, {}, start);
        QTRY_VERIFY(released);
        QCOMPARE(QPoint(fixture->host->PicPosX, fixture->host->PicPosY), offset);
        QCOMPARE(at(preview), offset);
        const bool left = button == Qt::LeftButton;
        QCOMPARE(EditorFixture::setting("XPOS2"), left ? QString::number(offset.x()) : QString());
        QCOMPARE(EditorFixture::setting("YPOS2"), left ? QString::number(offset.y()) : QString());
    }

    // Closing the editor while its picture is dragged ends the drag; the editor is
    // deleted only after the drag and the press handler have returned
    // (AddressSanitizer reports any use of it after its deletion).
    void testClosingTheEditorDuringADrag()
    {
        QPointer<Form3> editor = openWithPicture();
        QVERIFY(editor != nullptr);
        editor->Text1->setPlainText(QStringLiteral("closed while dragging"));
        QWindow* window = editor->windowHandle();
        const QPoint start = editor->Picture1->mapTo(editor, QPoint(5, 5));
        bool closed = false;
        QTimer::singleShot(0, editor, [&] { // inside the drag
            QTest::mouseMove(window, start + QPoint(10, 0));
            editor->close(); // the window manager's close request
            closed = true;
            QTest::mouseRelease(window, Qt::LeftButton, {}, start + QPoint(10, 0));
        });
        QTest::mousePress(window, Qt::LeftButton, {}, start);
        QVERIFY(closed);
        QVERIFY(editor == nullptr || !editor->isLoaded());
        QTRY_VERIFY(editor == nullptr);
        // The closing applied the text, and the drag's offset was stored.
        QCOMPARE(EditorFixture::setting("TEXT"), QStringLiteral("closed while dragging"));
        QCOMPARE(fixture->host->PicPosX, 450);
        QCOMPARE(EditorFixture::setting("XPOS2"), QStringLiteral("450"));
    }

    void testScrolledThreeLinesAndDroppedAtTheTop()
    {
        PictureSurface& surface = frm_RGN_Picture::instance().pWPicture;
        for (double points = 6; points < 30 && lineHeight() != 16; points += 0.25) {
            surface.setFontSize(points);
        }
        if (lineHeight() != 16) {
            QSKIP("no font size gives a line height of 16 pixels");
        }
        Form3* editor = openWithPicture();
        QVERIFY(editor != nullptr);
        editor->Text1->verticalScrollBar()->setValue(3);
        QCOMPARE(editor->ScrollOffsetY, 720);
        QCOMPARE(at(editor->Picture1), QPoint(300, 450 - 720));
        editor->Picture1->setTop(0);
        editor->Picture1_MouseDown(1, 0, 0, 0);
        QCOMPARE(fixture->host->PicPosY, 720);
        QCOMPARE(EditorFixture::setting("YPOS2"), QStringLiteral("720"));
    }

    void testScrollingEitherBoxMovesThePreview_data()
    {
        QTest::addColumn<bool>("fromText1");
        QTest::addColumn<bool>("vertical");
        QTest::newRow("Text1 down") << true << true;
        QTest::newRow("Text1 right") << true << false;
        QTest::newRow("Text2 down") << false << true;
        QTest::newRow("Text2 right") << false << false;
    }
    void testScrollingEitherBoxMovesThePreview()
    {
        QFETCH(bool, fromText1);
        QFETCH(bool, vertical);
        Form3* editor = openWithPicture();
        QVERIFY(editor != nullptr);
        QPlainTextEdit* box = fromText1 ? editor->Text1 : editor->Text2;
        QScrollBar* bar = vertical ? box->verticalScrollBar() : box->horizontalScrollBar();
        for (int step : {5, 6}) {
            bar->setValue(step);
            const QPoint scrolled = vertical ? QPoint(0, step * lineHeight()) : QPoint(step, 0);
            for (const QPlainTextEdit* each : {editor->Text1, editor->Text2}) {
                QCOMPARE(each->horizontalScrollBar()->value(), vertical ? 0 : step);
                QCOMPARE(each->verticalScrollBar()->value(), vertical ? step : 0);
            }
            QCOMPARE(QPoint(editor->ScrollOffsetX, editor->ScrollOffsetY), scrolled * 15);
            QCOMPARE(at(editor->Picture1), QPoint(300, 450) - scrolled * 15);
            // A resize puts it back at the unscrolled offset until the next scroll.
            editor->resize(editor->size() + QSize(10, 10));
            QCOMPARE(at(editor->Picture1), QPoint(300, 450));
        }
    }

    void testTypingThatScrollsMovesTheMirrorAndThePreview()
    {
        Form3* editor = openWithPicture();
        QVERIFY(editor != nullptr);
        editor->Text1->setPlainText(QStringLiteral("top"));
        editor->Text1->moveCursor(QTextCursor::End);
        QScrollBar* bar = editor->Text1->verticalScrollBar();
        for (int lines = 0; bar->value() == 0 && lines < 100; ++lines) {
            QTest::keyClick(editor->Text1, Qt::Key_Return);
            QCOMPARE(editor->Text2->verticalScrollBar()->value(), bar->value());
        }
        QCOMPARE(bar->value(), 1);
        QCOMPARE(at(editor->Picture1), QPoint(300, 450 - lineHeight() * 15));
        QTest::keyClicks(editor->Text1, QStringLiteral("more"));
        QCOMPARE(editor->Text2->verticalScrollBar()->value(), 1);
    }

    void testOffsetsStopAtTheEndsOfTheirRange()
    {
        Form3* editor = openWithPicture();
        QVERIFY(editor != nullptr);
        fixture->host->PicPosY = std::numeric_limits<int32_t>::min() + 20;
        editor->Text1->horizontalScrollBar()->setValue(40);
        editor->Text1->verticalScrollBar()->setValue(10);
        QVERIFY(editor->Picture1->Top() < 0); // not wrapped round
        editor->Picture1->setLeft(std::numeric_limits<int32_t>::max() - 100);
        editor->Picture1_MouseDown(1, 0, 0, 0);
        QCOMPARE(fixture->host->PicPosX, std::numeric_limits<int32_t>::max());
        QCOMPARE(EditorFixture::setting("XPOS2"), QStringLiteral("2147483647"));
    }
};

DESKWORD_TEST_MAIN(PicturePreviewTest)
#include "PicturePreviewTest.moc"
