#include "EditorFixture.h"
#include "TestMain.h"

#include "app/SettingsFile.h"
#include "forms/CommandGate.h"
#include "graphics/Colors.h"

#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

using namespace Qt::StringLiterals;

using comdlg::ColorRequest;
using comdlg::FontRequest;
using comdlg::LogFont;

// The editor's commands: Execute, font and colour, and leaving the editor.
class EditorCommandsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<EditorFixture> fixture;

    QRect textWindowShape() const { return fixture->text->mask().boundingRect(); }

private slots:
    void init()
    {
        fixture = std::make_unique<EditorFixture>();
        PictureSurface& style = frm_RGN_Picture::instance().pWPicture;
        style.setFontName(QStringLiteral("DejaVu Sans"));
        style.setFontSize(12);
        style.setForeColor(0x00FF00);
    }
    void cleanup()
    {
        const std::unique_ptr<EditorFixture> done = std::move(fixture);
        QVERIFY(done->state.messages.isEmpty());
    }

    void testExecute_data()
    {
        QTest::addColumn<QKeySequence>("lineBreak");
        QTest::newRow("Enter") << QKeySequence(Qt::Key_Return);
        QTest::newRow("Shift+Enter") << QKeySequence(Qt::ShiftModifier | Qt::Key_Return);
    }
    void testExecute()
    {
        QFETCH(QKeySequence, lineBreak);
        Form3* editor = fixture->openEditor();
        QVERIFY(editor != nullptr);
        QTest::keyClicks(editor->Text1, QStringLiteral("ab"));
        QTest::keySequence(editor->Text1, lineBreak);
        QTest::keyClicks(editor->Text1, QStringLiteral("cd"));
        QTest::mouseClick(editor->Command2, Qt::LeftButton);
        QCOMPARE(fixture->host->RGNText, QStringLiteral("ab\r\ncd"));
        QCOMPARE(EditorFixture::setting("TEXT"), QStringLiteral("ab%rcd"));
        QCOMPARE(TextRegionNumber, TextShapeNumber);
        QVERIFY(fixture->text->isVisible());
        QVERIFY(textWindowShape().bottom() > fixture->surface.TextHeight(u"A"_s)); // two lines
    }

    // Text2 follows every kind of change of Text1 (it is given only what changed).
    void testMirrorFollowsEveryEdit()
    {
        Form3* editor = fixture->openEditor(QStringLiteral("first line\r\nsecond line"));
        QVERIFY(editor != nullptr);
        QPlainTextEdit* box = editor->Text1;
        const auto same = [&] { return editor->Text2->toPlainText() == box->toPlainText(); };
        QVERIFY(same());
        box->setFocus();
        box->moveCursor(QTextCursor::End);
        QTest::keyClicks(box, QStringLiteral("xyz"));
        QVERIFY(same());
        box->moveCursor(QTextCursor::Start);
        QTest::keyClick(box, Qt::Key_Right);
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClick(box, Qt::Key_Backspace);
        QVERIFY(same());
        QTextCursor selection = box->textCursor();
        selection.setPosition(3);
        selection.setPosition(15, QTextCursor::KeepAnchor); // across a line break
        box->setTextCursor(selection);
        QTest::keyClicks(box, QStringLiteral("Q"));
        QVERIFY(same());
        box->insertPlainText(QStringLiteral("pasted\nover\nlines"));
        QVERIFY(same());
        box->undo();
        box->undo();
        QVERIFY(same());
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QVERIFY(same());
        box->setPlainText(QStringLiteral("set by the program"));
        QVERIFY(same());
        QCOMPARE(editor->Text2->toPlainText(), QStringLiteral("set by the program"));
    }

    // The tray's right click and a menu command that arrive during an Execute (as
    // posted events do, from a tray over D-Bus) wait until it has stored the text.
    void testTrayAndMenuWaitForExecute()
    {
        Form3* editor = fixture->openEditor(QStringLiteral("old"));
        QVERIFY(editor != nullptr);
        editor->Text1->setPlainText(QStringLiteral("new"));
        QMenu* menu = fixture->menu->mpop;
        bool menuOpened = false;
        QString textWhenOpened;
        connect(menu, &QMenu::aboutToShow, this, [&] {
            menuOpened = true;
            textWhenOpened = EditorFixture::setting("TEXT");
            QTimer::singleShot(0, menu, &QMenu::close);
        });
        bool duringBuild = false;
        bool openedDuringBuild = true;
        int modeDuringBuild = -1;
        QTimer::singleShot(0, editor, [&] {
            duringBuild = CommandGate::busy();
            fixture->host->trayMouseMove(0, 0, 517 * 15, 0); // right button up
            fixture->menu->ga[2]->trigger();
            openedDuringBuild = menuOpened;
            modeDuringBuild = fixture->menu->displayMode();
        });
        editor->Command2_Click();
        QVERIFY(duringBuild);
        QVERIFY(!openedDuringBuild);
        QCOMPARE(modeDuringBuild, 0);
        QVERIFY(!fixture->menu->ga[2]->isChecked());
        QCOMPARE(EditorFixture::setting("TEXT"), QStringLiteral("new"));
        QTRY_VERIFY(menuOpened);
        QCOMPARE(textWhenOpened, QStringLiteral("new"));
        QTRY_COMPARE(EditorFixture::setting("PICTURE"), QStringLiteral("2"));
        QCOMPARE(fixture->menu->displayMode(), 2);
        QCOMPARE(CommandGate::waiting(), 0);
    }

    // Exit chosen during an Execute ends the program only after the text is stored.
    void testExitDuringExecuteStoresTheText()
    {
        Form3* editor = fixture->openEditor(QStringLiteral("old"));
        QVERIFY(editor != nullptr);
        editor->Text1->setPlainText(QStringLiteral("kept"));
        QTimer::singleShot(0, editor, [&] { fixture->menu->mend->trigger(); });
        editor->Command2_Click();
        QVERIFY(fixture->state.endCodes.isEmpty());
        QCOMPARE(EditorFixture::setting("TEXT"), QStringLiteral("kept"));
        QTRY_COMPARE(fixture->state.endCodes, QList<int>{0});
    }

    void testExecuteWithoutText_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("picture");
        QTest::newRow("picture in front") << 0 << true;
        QTest::newRow("picture behind") << 1 << true;
        QTest::newRow("picture hidden") << 2 << true;
        QTest::newRow("no picture") << 0 << false;
    }
    void testExecuteWithoutText()
    {
        QFETCH(int, mode);
        QFETCH(bool, picture);
        if (picture) {
            fixture->usePicture(8, 6);
        }
        fixture->host->PicPosX = 300;
        fixture->host->PicPosY = -150;
        fixture->menu->checkMode(mode);
        Form3* editor = fixture->openEditor(QStringLiteral("xyz"));
        QVERIFY(editor != nullptr);
        editor->Command2_Click();
        QVERIFY(fixture->text->isVisible());
        editor->Text1->clear();
        editor->Command2_Click();
        QCOMPARE(fixture->host->RGNText, QString());
        QCOMPARE(TextRegionNumber, 0);
        QVERIFY(fixture->settingsWritten() && EditorFixture::setting("TEXT").isEmpty());
        const bool shown = picture && mode != 2;
        QCOMPARE(fixture->text->isVisible(), shown);
        if (shown) { // the picture alone, at its offset
            QVERIFY((fixture->text->mask() ^ QRegion(21, -9, 8, 6)).isEmpty());
        }
    }

    void testLeavingTheEditorAppliesTheText_data()
    {
        QTest::addColumn<bool>("exit");
        QTest::newRow("close box") << false;
        QTest::newRow("exit from the menu") << true;
    }
    void testLeavingTheEditorAppliesTheText()
    {
        QFETCH(bool, exit);
        QPointer<Form3> editor = fixture->openEditor(QStringLiteral("old"));
        QVERIFY(editor != nullptr);
        editor->Text1->setPlainText(QStringLiteral("new\ntext"));
        const QPointer<Form2> text = fixture->text;
        if (exit) {
            fixture->menu->mend_Click(); // unloads every window in load order, then ends
            QCOMPARE(fixture->state.endCodes, QList<int>{0});
            QVERIFY(text.isNull() || !text->isVisible()); // not brought back
        } else {
            editor->close();
            QCOMPARE(fixture->host->RGNText, QStringLiteral("new\r\ntext"));
            QVERIFY(text->isVisible());
        }
        QCOMPARE(EditorFixture::setting("TEXT"), QStringLiteral("new%rtext"));
        QCOMPARE(Form::Find<Form3>(), nullptr);
        QTRY_VERIFY(editor.isNull());
    }

    void testFont_data()
    {
        QTest::addColumn<std::optional<LogFont>>("answer");
        QTest::addColumn<QStringList>("stored"); // bold, italic, name, size, strike, underline
        QTest::newRow("cancelled") << std::optional<LogFont>() << QStringList();
        QTest::newRow("unchanged")
            << std::optional<LogFont>({-16, 400, false, false, false, u"DejaVu Sans"_s})
            << QStringList{u"False"_s, u"False"_s, u"DejaVu Sans"_s,
                           u"12"_s,    u"False"_s, u"False"_s};
        QTest::newRow("all changed")
            << std::optional<LogFont>({-27, 700, true, true, true, u"DejaVu Serif"_s})
            << QStringList{u"True"_s, u"True"_s, u"DejaVu Serif"_s, u"20"_s, u"True"_s, u"True"_s};
        QTest::newRow("light is not bold")
            << std::optional<LogFont>({-13, 300, false, false, true, u"DejaVu Sans Light"_s})
            << QStringList{u"False"_s, u"False"_s, u"DejaVu Sans Light"_s,
                           u"10"_s,    u"True"_s,  u"False"_s};
    }
    void testFont()
    {
        QFETCH(std::optional<LogFont>, answer);
        QFETCH(QStringList, stored);
        QList<FontRequest> requests;
        comdlg::setFontHandler([&](QWidget*, const FontRequest& request) {
            requests.append(request);
            return answer;
        });
        Form3* editor = fixture->openEditor(QStringLiteral("abc"));
        QVERIFY(editor != nullptr);
        const QFont before = fixture->surface.Font();
        QFile settings(fixture->folder.filePath(QStringLiteral("deskword.ini")));
        QVERIFY(settings.open(QIODevice::WriteOnly) && settings.write("[DATA]\n") == 7);
        settings.close();
        const SettingsFile::Counts file = SettingsFile::counts();
        QTest::mouseClick(editor->Command1, Qt::LeftButton);
        // One choice is one write of all six keys, after one read of the file.
        QCOMPARE(SettingsFile::counts().writes - file.writes, answer ? 1 : 0);
        QCOMPARE(SettingsFile::counts().reads - file.reads, answer ? 1 : 0);
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests[0].logFont.faceName, QStringLiteral("DejaVu Sans"));
        QCOMPARE(requests[0].logFont.height, 16);
        const char* keys[] = {"FontBold", "FontItalic",        "FontName",
                              "FontSize", "FontStrikethrough", "FontUnderline"};
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(EditorFixture::setting(keys[i]), stored.value(i));
        }
        const QFont& font = fixture->surface.Font();
        QVERIFY(answer || font == before);
        QCOMPARE(font.family(), stored.value(2, before.family()));
        QCOMPARE(font.pointSizeF(), stored.value(3, u"12"_s).toDouble());
        QCOMPARE(font.bold(), stored.value(0) == QStringLiteral("True"));
        QCOMPARE(font.strikeOut(), stored.value(4) == QStringLiteral("True"));
        for (const QPlainTextEdit* box : {editor->Text1, editor->Text2}) {
            QFont shown = box->font();
            shown.setStyleStrategy(font.styleStrategy());
            shown.setKerning(false);
            QCOMPARE(shown, font);
        }
    }

    void testColour_data()
    {
        QTest::addColumn<std::optional<uint32_t>>("answer");
        QTest::addColumn<QString>("stored");
        QTest::newRow("cancelled") << std::optional<uint32_t>() << QString();
        QTest::newRow("red") << std::optional<uint32_t>(0x0000FF) << QStringLiteral("255");
        QTest::newRow("blue") << std::optional<uint32_t>(0xFF0000) << QStringLiteral("16711680");
        QTest::newRow("black") << std::optional<uint32_t>(0) << QStringLiteral("0");
    }
    void testColour()
    {
        QFETCH(std::optional<uint32_t>, answer);
        QFETCH(QString, stored);
        QList<uint32_t> initial;
        comdlg::setColorHandler([&](QWidget*, const ColorRequest& request) {
            initial.append(request.initial);
            return answer;
        });
        Form3* editor = fixture->openEditor(QStringLiteral("abc"));
        QVERIFY(editor != nullptr);
        QTest::mouseClick(editor->Command3, Qt::LeftButton);
        QCOMPARE(initial, QList<uint32_t>{0}); // black, whatever the colour is
        QCOMPARE(EditorFixture::setting("Color"), stored);
        QCOMPARE(fixture->settingsWritten(), answer.has_value());
        const uint32_t colour = answer.value_or(0x00FF00);
        QCOMPARE(fixture->surface.ForeColor(), colour);
        QCOMPARE(editor->Text1->palette().color(QPalette::Text), colorFromBgr(colour));
        QCOMPARE(editor->Text2->palette().color(QPalette::Text), colorFromBgr(colour));
    }

    void testDesktopKeepsTheOldFontUntilExecute()
    {
        comdlg::setFontHandler([](QWidget*, const FontRequest& request) {
            return std::optional<LogFont>(
                {-2 * request.logFont.height, 400, false, false, false, request.logFont.faceName});
        });
        Form3* editor = fixture->openEditor(QStringLiteral("Ab"));
        QVERIFY(editor != nullptr);
        editor->Command2_Click();
        const QRect before = textWindowShape();
        editor->Command1_Click();
        QCOMPARE(fixture->surface.FontSize(), 24.0);
        QCOMPARE(textWindowShape(), before);
        editor->Command2_Click();
        QVERIFY(textWindowShape().height() > before.height());
    }

    void testCommandsWaitForARunningExecute()
    {
        QList<bool> dialogsDuringExecute;
        comdlg::setFontHandler([&](QWidget* owner, const FontRequest&) {
            dialogsDuringExecute.append(static_cast<Form3*>(owner)->executing());
            return std::optional<LogFont>();
        });
        comdlg::setColorHandler([&](QWidget* owner, const ColorRequest&) {
            dialogsDuringExecute.append(static_cast<Form3*>(owner)->executing());
            return std::optional<uint32_t>();
        });
        QPointer<Form3> editor = fixture->openEditor(QStringLiteral("first"));
        QVERIFY(editor != nullptr);
        std::optional<bool> arrivedDuringExecute;
        QMetaObject::invokeMethod( // runs while the Execute below lets events through
            editor,
            [&] {
                arrivedDuringExecute = editor->executing();
                editor->Text1->setPlainText(QStringLiteral("second"));
                editor->Command1_Click();
                editor->Command3_Click();
                editor->Command2_Click();
                editor->close();
            },
            Qt::QueuedConnection);
        editor->Command2_Click();
        QCOMPARE(arrivedDuringExecute, std::optional<bool>(true));
        QCOMPARE(dialogsDuringExecute, (QList<bool>{false, false}));
        QCOMPARE(Form::Find<Form3>(), nullptr); // closed once the Execute was over
        QCOMPARE(EditorFixture::setting("TEXT"), QStringLiteral("second"));
    }
};

DESKWORD_TEST_MAIN(EditorCommandsTest)
#include "EditorCommandsTest.moc"
