#include "EditorFixture.h"
#include "TestMain.h"

#include "editor/ControlGeometry.h"
#include "graphics/Screen.h"
#include "graphics/Units.h"

#include <QPushButton>

namespace {

QRect twips(const QWidget* control)
{
    return QRect(twipLeft(control), twipTop(control), twipWidth(control), twipHeight(control));
}

} // namespace

// The editor window: what it takes over when it opens and how it lays itself out.
class EditorLayoutTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<EditorFixture> fixture;

private slots:
    void init() { fixture = std::make_unique<EditorFixture>(); }
    void cleanup() { fixture.reset(); }

    void testLayout_data()
    {
        QTest::addColumn<QSize>("client"); // pixels
        QTest::addColumn<bool>("laidOut");
        QTest::newRow("design size") << QSize(315, 206) << true;
        QTest::newRow("larger") << QSize(640, 480) << true;
        QTest::newRow("smallest laid out") << QSize(20, 49) << true;
        QTest::newRow("too narrow") << QSize(19, 300) << false;
        QTest::newRow("too low") << QSize(300, 48) << false;
        QTest::newRow("minimized") << QSize(500, 400) << false;
    }
    void testLayout()
    {
        QFETCH(QSize, client);
        QFETCH(bool, laidOut);
        Form3* editor = fixture->openEditor();
        QVERIFY(editor != nullptr);
        auto layout = [&] { return QList{twips(editor->Text2), twips(editor->Command1)}; };
        const QList<QRect> before = layout();
        if (QTest::currentDataTag() == QByteArray("minimized")) {
            editor->setWindowState(Qt::WindowMinimized);
        }
        editor->resize(client);
        if (!laidOut) {
            QCOMPARE(layout(), before);
            editor->setWindowState(Qt::WindowNoState); // laid out again once restored
            editor->resize(client.expandedTo(QSize(20, 49)));
        }
        // The text box fills the client's width above the row of buttons; the visible
        // edit box lies inside it, covered by the edit box that takes the typing.
        const QRect text2 = editor->Text2->geometry();
        QCOMPARE(text2.topLeft(), QPoint(0, 0));
        QCOMPARE(text2.width(), editor->width());
        // (united: at the smallest size the visible box has no area left)
        QCOMPARE(text2.united(editor->Frame1->geometry()), text2);
        const QRect text1 = editor->Text1->geometry();
        QCOMPARE(text1.united(editor->Frame1->rect()), text1);
        const QList<QPushButton*> row{editor->Command2, editor->Command1, editor->Command3,
                                      editor->Command4};
        int right = -1;
        for (const QPushButton* button : row) {
            const QRect box = button->geometry();
            QCOMPARE(box.top(), text2.bottom() + 2); // 1 px below the text box
            QVERIFY(box.bottom() < editor->height());
            QVERIFY2(box.left() >= right + 4, qPrintable(button->objectName())); // a gap
            QVERIFY(box.width() >= button->sizeHint().width());
            right = box.right() + 1;
        }
        if (client == QSize(315, 206)) { // the worked example
            QCOMPARE(twips(editor->Frame1), QRect(30, 30, 4425, 2355));
            QCOMPARE(twips(editor->Text1), QRect(-45, -45, 4725, 2655));
            QCOMPARE(twips(editor->Command1).top(), 2670);
        }
    }

    void testOpensOnTheDesktopText_data()
    {
        QTest::addColumn<QString>("desktopText");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("two lines") << QStringLiteral("ab\r\ncd") << QStringLiteral("ab\ncd");
    }
    void testOpensOnTheDesktopText()
    {
        QFETCH(QString, desktopText);
        QFETCH(QString, shown);
        PictureSurface& surface = frm_RGN_Picture::instance().pWPicture;
        surface.setFontName(QStringLiteral("DejaVu Serif"));
        surface.setFontSize(15);
        surface.setFontBold(true);
        surface.setForeColor(0x0000C0);
        Form3* editor = fixture->openEditor(desktopText);
        QVERIFY(editor != nullptr);
        QCOMPARE(editor->windowTitle(), QStringLiteral("Deskword"));
        // Centred, at the design height and wide enough for the four buttons.
        QCOMPARE(editor->size(), QSize(401, 206));
        QVERIFY(editor->Command4->geometry().right() < editor->width());
        QCOMPARE(editor->frameGeometry().topLeft(),
                 QPoint(TwipToNearestPixelX((Screen::Width() - 6015) / 2),
                        TwipToNearestPixelY((Screen::Height() - 3090) / 2)));
        QTRY_COMPARE(QApplication::focusWidget(), editor->Command1);
        for (const QPlainTextEdit* box : {editor->Text1, editor->Text2}) {
            QCOMPARE(box->toPlainText(), shown);
            QCOMPARE(box->font().family(), QStringLiteral("DejaVu Serif"));
            QCOMPARE(box->font().pointSizeF(), 15.0);
            QVERIFY(box->font().bold() && !box->font().italic());
            QCOMPARE(box->palette().color(QPalette::Text), QColor(0xC0, 0, 0));
        }
    }

    // Captions longer than the design's widen their buttons and push the next ones
    // right, so the row never overlaps.
    void testLongCaptionsKeepTheGap()
    {
        Form3* editor = fixture->openEditor();
        QVERIFY(editor != nullptr);
        editor->Command1->setText(QStringLiteral("A much longer caption for fonts"));
        const QList<QWidget*> row{editor->Command2, editor->Command1, editor->Command3,
                                  editor->Command4};
        const int right = keepRowApart(row, 4);
        QVERIFY(editor->Command1->width() >= editor->Command1->sizeHint().width());
        for (qsizetype i = 1; i < row.size(); ++i) {
            QVERIFY(row[i]->x() >= row[i - 1]->geometry().right() + 1 + 4);
        }
        QCOMPARE(right, editor->Command4->geometry().right() + 1);
    }

    void testOpeningAgainOnlyBringsItForward()
    {
        Form3* editor = fixture->openEditor(QStringLiteral("first"));
        QVERIFY(editor != nullptr);
        editor->Text1->setPlainText(QStringLiteral("being edited"));
        editor->showMinimized();
        QCOMPARE(Form3::open(), editor);
        QVERIFY(!editor->isMinimized());
        QCOMPARE(editor->Text2->toPlainText(), QStringLiteral("being edited"));
    }
};

DESKWORD_TEST_MAIN(EditorLayoutTest)
#include "EditorLayoutTest.moc"
