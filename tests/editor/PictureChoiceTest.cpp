#include "EditorFixture.h"
#include "TestMain.h"

#include "app/DesktopPicture.h"
#include "dialogs/PictureDialog.h"
#include "graphics/RegionData.h"
#include "region/RGNDataStore.h"

#include <QContextMenuEvent>
#include <QMimeData>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>
#include <functional>

namespace {

// A 30 x 20 picture: transparent, with an opaque green figure of two blocks and a
// faint (alpha 100) block that stays outside the shape.
QImage figure()
{
    QImage image(30, 20, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.fillRect(2, 3, 10, 8, QColor(0, 160, 0));
    p.fillRect(12, 6, 12, 10, QColor(0, 160, 0, 200));
    p.fillRect(24, 0, 6, 20, QColor(0, 160, 0, 100));
    return image;
}

QRegion figureOutline()
{
    return QRegion(2, 3, 10, 8) + QRegion(12, 6, 12, 10);
}

} // namespace

// Choosing the picture in the editor: the Picture button and its dialog, a dropped
// file, and "No picture"; the choice is stored and shown at once.
class PictureChoiceTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<EditorFixture> fixture;
    QStringList startFolders;
    QList<QWidget*> owners;
    std::optional<QString> answer;

    QString writeFigure(const QString& name)
    {
        const QString path = fixture->folder.filePath(name);
        figure().save(path, "PNG");
        return path;
    }

private slots:
    void init()
    {
        fixture = std::make_unique<EditorFixture>();
        startFolders.clear();
        owners.clear();
        answer.reset();
        comdlg::setPictureHandler([this](QWidget* owner, const QString& folder) {
            owners.append(owner);
            startFolders.append(folder);
            return answer;
        });
    }
    void cleanup()
    {
        comdlg::setPictureHandler({});
        fixture.reset();
    }

    void testChosenPictureIsStoredShownAndApplied()
    {
        fixture->host->PicPosX = 150; // 10 px
        fixture->host->PicPosY = 300; // 20 px
        Form3* editor = fixture->openEditor();
        QVERIFY(editor != nullptr);
        QVERIFY(!editor->Picture1->isVisible());
        QCOMPARE(editor->Command4->text(), QStringLiteral("画像..."));

        answer = writeFigure(QStringLiteral("figure.png"));
        QTest::mouseClick(editor->Command4, Qt::LeftButton);
        QCOMPARE(startFolders.size(), 1);
        QCOMPARE(owners.value(0), editor);
        const QString chosen = QFileInfo(*answer).absoluteFilePath();
        const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        QCOMPARE(startFolders[0], QDir(pictures).exists() ? pictures : QDir::homePath());
        QCOMPARE(EditorFixture::setting("PICTUREFILE"), chosen);

        // The preview shows it at once, at the offset, cut by its alpha.
        QVERIFY(editor->Picture1->isVisible());
        QCOMPARE(QPoint(editor->Picture1->Left(), editor->Picture1->Top()), QPoint(150, 300));
        QVERIFY((editor->Picture1->mask() ^ figureOutline()).isEmpty());
        QCOMPARE(editor->Picture1->backBuffer().pixel(3, 4), qRgb(0, 160, 0));
        QVERIFY(!fixture->text->isVisible()); // the desktop waits for Execute

        editor->Command2_Click();
        QVERIFY(fixture->text->isVisible());
        QVERIFY((fixture->text->mask() ^ figureOutline().translated(10, 20)).isEmpty());
        QCOMPARE(fixture->text->backBuffer().pixel(13, 24), qRgb(0, 160, 0));

        // The next choice starts in the picture's folder; cancelling changes nothing.
        answer.reset();
        editor->Command4_Click();
        QCOMPARE(startFolders.value(1), fixture->folder.path());
        QVERIFY(editor->Picture1->isVisible());
        QCOMPARE(EditorFixture::setting("PICTUREFILE"), chosen);
        QVERIFY(fixture->state.messages.isEmpty());
    }

    void testChoosingAgainAndAgainKeepsTextAndPictureApart()
    {
        Form3* editor = fixture->openEditor();
        QVERIFY(editor != nullptr);
        const QString pictures[] = {writeFigure(QStringLiteral("figure.png")),
                                    writeFigure(QStringLiteral("figure2.png"))};
        // Each choice gives back the number of the picture it replaces: one holder
        // besides the badge's, and a store of the two numbers the choices take in turn.
        for (int i = 0; i < 50; ++i) {
            answer = pictures[i % 2];
            editor->Command4_Click();
            QVERIFY(PictureRegionNumber != TextShapeNumber);
            QCOMPARE(frm_RGN_Picture::instance().holderIndexes(),
                     (QList<int16_t>{0, static_cast<int16_t>(PictureRegionNumber)}));
            QVERIFY(RGNDataStore::instance().size() <= 2);
        }
        editor->Text1->setPlainText(QStringLiteral("text"));
        editor->Command2_Click();
        QVERIFY(TextRegionNumber == TextShapeNumber && PictureRegionNumber > 0);
        // The picture (at offset 0, 0) keeps its own outline beside the text's.
        QVERIFY((figureOutline() - fixture->text->mask()).isEmpty());
        QVERIFY(!(fixture->text->mask() - figureOutline()).isEmpty());
        QCOMPARE(fixture->text->backBuffer().pixel(3, 4), qRgb(0, 160, 0));
        QVERIFY(fixture->state.messages.isEmpty());
    }

    void testPictureCommandsWaitForARunningExecute()
    {
        QList<bool> dialogDuringExecute;
        comdlg::setPictureHandler([&](QWidget* owner, const QString&) {
            dialogDuringExecute.append(static_cast<Form3*>(owner)->executing());
            return std::optional<QString>(writeFigure(QStringLiteral("figure.png")));
        });
        Form3* editor = fixture->openEditor(QStringLiteral("text"));
        QVERIFY(editor != nullptr);
        std::optional<bool> arrivedDuringExecute;
        QMetaObject::invokeMethod( // runs while the Execute below lets events through
            editor,
            [&] {
                arrivedDuringExecute = editor->executing();
                editor->mNoPicture_Click();
                editor->Command4_Click();
            },
            Qt::QueuedConnection);
        editor->Command2_Click();
        QCOMPARE(arrivedDuringExecute, std::optional<bool>(true));
        QCOMPARE(dialogDuringExecute, QList<bool>{false});
        QVERIFY(PictureRegionNumber > 0 && PictureRegionNumber != TextShapeNumber);
        QVERIFY(editor->Picture1->isVisible());
        QVERIFY(fixture->state.messages.isEmpty());
    }

    void testUnusableChoiceKeepsThePicture()
    {
        fixture->usePicture(20, 12);
        Form3* editor = fixture->openEditor();
        QVERIFY(editor != nullptr);
        const int32_t before = PictureRegionNumber;
        const QString broken = fixture->folder.filePath(QStringLiteral("broken.png"));
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a picture") > 0);
        file.close();
        answer = broken;
        editor->Command4_Click();
        QCOMPARE(fixture->state.messages.size(), 1);
        QVERIFY(fixture->state.messages[0].contains(QDir::toNativeSeparators(broken)));
        QCOMPARE(PictureRegionNumber, before);
        QVERIFY(editor->Picture1->isVisible());
        QVERIFY(!IniKeyExists(QStringLiteral("DATA"), QStringLiteral("PICTUREFILE")));
    }

    // The preview takes the focus from the text box with Tab; the context-menu key,
    // Shift+F10 and a keyboard's context-menu request open its menu, whose "画像なし"
    // is then chosen with the keys, as with the mouse.
    void testNoPictureFromTheKeyboard()
    {
        fixture->usePicture(20, 12);
        Form3* editor = fixture->openEditor();
        QVERIFY(editor != nullptr);
        editor->Text1->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), editor->Text1);
        QTest::keyClick(editor->Text1, Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), editor->Picture1);
        QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(0, 0), QPoint(0, 0));
        const QList<std::function<void()>> opens{
            [&] { QTest::keyClick(editor->Picture1, Qt::Key_Menu); },
            [&] { QTest::keyClick(editor->Picture1, Qt::Key_F10, Qt::ShiftModifier); },
            [&] { QApplication::sendEvent(editor->Picture1, &request); },
        };
        for (const auto& open : opens) {
            open();
            QTRY_VERIFY(editor->PictureMenu->isVisible());
            QVERIFY(editor->PictureMenu->geometry().contains(
                editor->Picture1->mapToGlobal(editor->Picture1->rect().center())));
            editor->PictureMenu->hide();
        }
        QTest::keyClick(editor->Picture1, Qt::Key_F10); // without Shift: no menu
        QVERIFY(!editor->PictureMenu->isVisible());

        QTest::keyClick(editor->Picture1, Qt::Key_Menu);
        QTRY_VERIFY(editor->PictureMenu->isVisible());
        QTest::keyClick(editor->PictureMenu, Qt::Key_Up); // the last item: "画像なし"
        QCOMPARE(editor->PictureMenu->activeAction(), editor->mNoPicture);
        QTest::keyClick(editor->PictureMenu, Qt::Key_Return);
        QTRY_COMPARE(PictureRegionNumber, 0);
        QVERIFY(!editor->Picture1->isVisible());
        QVERIFY(IniKeyExists(QStringLiteral("DATA"), QStringLiteral("PICTUREFILE")));
        QCOMPARE(EditorFixture::setting("PICTUREFILE"), QString());
    }

    void testNoPictureClearsTheKeyUntilAPictureIsChosen()
    {
        fixture->usePicture(20, 12); // picture.bmp beside the program
        Form3* editor = fixture->openEditor();
        QVERIFY(editor != nullptr);
        QVERIFY(editor->Picture1->isVisible());
        // A right click on the preview offers "画像..." and "画像なし".
        QTest::mouseClick(editor->windowHandle(), Qt::RightButton, {},
                          editor->Picture1->mapTo(editor, QPoint(5, 5)));
        QTRY_VERIFY(editor->PictureMenu->isVisible());
        QCOMPARE(editor->mNoPicture->text(), QStringLiteral("画像なし"));
        editor->PictureMenu->hide();
        editor->mNoPicture->trigger();
        QCOMPARE(PictureRegionNumber, 0);
        QVERIFY(!editor->Picture1->isVisible());
        QVERIFY(IniKeyExists(QStringLiteral("DATA"), QStringLiteral("PICTUREFILE")));
        QCOMPARE(EditorFixture::setting("PICTUREFILE"), QString());
        editor->Command2_Click();
        QVERIFY(!fixture->text->isVisible()); // no text, no picture
        // The next start does not bring picture.bmp back.
        QVERIFY(DesktopPicture::buildFromSetting());
        QCOMPARE(PictureRegionNumber, 0);
        editor->resize(400, 300);
        QVERIFY(!editor->Picture1->isVisible());

        // Dropping a picture file on the text box chooses it; the text stays as it is.
        const QString path = writeFigure(QStringLiteral("dropped.png"));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(editor->Text1->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(editor->Text1->viewport(), &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(editor->Text1->toPlainText(), QString());
        QCOMPARE(EditorFixture::setting("PICTUREFILE"), path);
        QVERIFY(PictureRegionNumber > 0);
        QVERIFY(editor->Picture1->isVisible());
        QVERIFY((editor->Picture1->mask() ^ figureOutline()).isEmpty());
        QVERIFY(fixture->state.messages.isEmpty());
    }
};

DESKWORD_TEST_MAIN(PictureChoiceTest)
#include "PictureChoiceTest.moc"
