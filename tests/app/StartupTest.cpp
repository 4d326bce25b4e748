#include "ProgramState.h"
#include "TestMain.h"

#include "app/Form1.h"
#include "app/Form2.h"
#include "app/Settings.h"
#include "app/SettingsFile.h"
#include "app/SettingsLocation.h"
#include "app/frmMenu.h"
#include "editor/Form3.h"
#include "forms/App.h"
#include "forms/CommandGate.h"
#include "graphics/Screen.h"
#include "platform/AtomicFile.h"
#include "region/frm_RGN_Picture.h"
#include "shape/ShapeBuilder.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstring>
#include <memory>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

const QRgb pictureColour = qRgb(0, 160, 0);

// A 40 x 30 picture: a green block of 20 x 20 at (10, 5) on white.
QImage blockPicture()
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).fillRect(10, 5, 20, 20, QColor(pictureColour));
    return image;
}

} // namespace

// Start-up, composition and shutdown of the whole program on the offscreen screen,
// with the program's folder, settings file and pictures in a temporary folder.
class StartupTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ProgramState> state;
    std::unique_ptr<QTemporaryDir> folder;

    void writeSettings(const QByteArray& lines)
    {
        QFile file(folder->filePath(QStringLiteral("deskword.ini")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[DATA]\n" + lines);
    }

    Form2* start()
    {
        Form::Load<Form1>();
        return Form2::instance();
    }

    void exitProgram()
    {
        if (frmMenu* menu = frmMenu::instance()) {
            menu->mend_Click();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private slots:
    void init()
    {
        state = std::make_unique<ProgramState>();
        folder = std::make_unique<QTemporaryDir>();
        App::setProgramForTesting(folder->path(), QStringLiteral("deskword"));
        SettingsLocation::setProgramForTesting(folder->path(), QStringLiteral("deskword"));
    }
    void cleanup()
    {
        AtomicFile::setFailureForTesting({});
        exitProgram();
        QVERIFY(Form::Forms().isEmpty());
        App::setProgramForTesting(QString(), QString());
        SettingsLocation::setProgramForTesting(QString(), QString());
        state.reset();
    }

    void testFirstRunWithoutTextShowsNothing()
    {
        Form2* text = start();
        QVERIFY(!text->Visible());
        QCOMPARE(frmMenu::instance()->displayMode(), 0);
        QVERIFY(frmMenu::instance()->ga[0]->isChecked());
        QCOMPARE(text->Left(), Screen::Width() / 2);
        QCOMPARE(text->Top(), Screen::Height() / 2);
        QVERIFY(state->messages.isEmpty());
        // Without a system tray a first run opens the editor, so the program can be
        // reached; the menu's Edit brings the same editor forward.
        Form3* editor = Form::Find<Form3>();
        QVERIFY(editor != nullptr && editor->Visible());
        frmMenu::instance()->mEdit_Click();
        QCOMPARE(Form::Find<Form3>(), editor);
    }

    void testStoredTextIsShownAtItsPlace()
    {
        writeSettings("TEXT=Ab%rCd\nFontBold=True\nFontSize=20\nColor=255\nXPOS=3000\n"
                      "YPOS=1500\n");
        Form2* text = start();
        QVERIFY(text->Visible());
        QCOMPARE(text->pos(), QPoint(200, 100));
        const QRect shape = text->mask().boundingRect();
        const int lineHeight = frm_RGN_Picture::instance().pWPicture.TextHeight(u"A"_s);
        QVERIFY(shape.height() > lineHeight);
        QVERIFY(shape.bottom() < 2 * lineHeight);
        int red = 0;
        const QImage drawn = text->backBuffer();
        for (int y = shape.top(); y <= shape.bottom(); ++y) {
            for (int x = shape.left(); x <= shape.right(); ++x) {
                red += drawn.pixel(x, y) == qRgb(255, 0, 0) ? 1 : 0;
            }
        }
        QVERIFY(red > 0);
        QVERIFY(frm_RGN_Picture::instance().pWPicture.FontBold());
        QCOMPARE(Form1::instance()->RGNText, QStringLiteral("Ab\r\nCd"));
        // A text on the desktop is the way in: no editor opens by itself.
        QCOMPARE(Form::Find<Form3>(), nullptr);
    }

    void testNothingToShowWithoutTrayOpensEditor()
    {
        // Not a first run, but an empty text and no picture: without a tray nothing
        // else would be left to reach the program by.
        writeSettings("TEXT=\nFontBold=True\nXPOS=3000\nYPOS=1500\n");
        Form2* text = start();
        QVERIFY(!text->Visible());
        Form3* editor = Form::Find<Form3>();
        QVERIFY(editor != nullptr && editor->Visible());
    }

    void testWithoutFontBoldStoredStyleAndPlaceAreIgnored()
    {
        writeSettings("TEXT=Hello\nColor=255\nXPOS=3000\nYPOS=1500\nXPOS2=150\n");
        Form2* text = start();
        QCOMPARE(text->Left(), Screen::Width() / 2);
        QCOMPARE(Form1::instance()->PicPosX, 0);
        QVERIFY(frm_RGN_Picture::instance().pWPicture.ForeColor() != 0x0000FF);
    }

    void testUnusableValuesFallBack()
    {
        writeSettings("TEXT=x\nFontBold=yes\nFontItalic=maybe\nFontSize=0\nFontName=\n"
                      "PICTURE=7\nXPOS=-9999999\nYPOS=-9999999\n");
        const PictureSurface initial;
        Form2* text = start();
        const PictureSurface& surface = frm_RGN_Picture::instance().pWPicture;
        QVERIFY(!surface.FontBold());
        QVERIFY(!surface.FontItalic());
        QCOMPARE(surface.FontSize(), initial.FontSize());
        QCOMPARE(surface.FontName(), initial.FontName());
        QCOMPARE(frmMenu::instance()->displayMode(), 0);
        // The whole figure is brought back onto the screen.
        const QRect figure = text->mask().boundingRect().translated(text->pos());
        QVERIFY(!figure.isEmpty());
        QVERIFY2(QRect(0, 0, 1280, 1024).contains(figure),
                 qPrintable(QStringLiteral("figure at %1,%2 %3x%4")
                                .arg(figure.x())
                                .arg(figure.y())
                                .arg(figure.width())
                                .arg(figure.height())));
    }

    void testBitmapIsPreferredToGif()
    {
        blockPicture().save(folder->filePath(QStringLiteral("picture.bmp")), "BMP");
        QImage(8, 8, QImage::Format_RGB32).save(folder->filePath(u"picture.gif"_s), "BMP");
        start();
        QCOMPARE(PictureRegionNumber, 10);
        QCOMPARE(frm_RGN_Picture::instance().pPicture(10)->Picture.size(), QSize(40, 30));
    }

    void testGifIsUsedWhenThereIsNoBitmap()
    {
        blockPicture().save(folder->filePath(QStringLiteral("picture.gif")), "BMP");
        writeSettings("FontBold=False\nXPOS2=150\nYPOS2=-75\n");
        Form2* text = start();
        QCOMPARE(PictureRegionNumber, 11); // the missing bitmap took 10
        QVERIFY(text->Visible());
        // The picture's shape moved by the offset: (10, 5) + (10, -5).
        QVERIFY((text->mask() ^ QRegion(20, 0, 20, 20)).isEmpty());
    }

    void testChosenPictureFileComesFirst()
    {
        // A picture with transparency, its pixel (0, 0) opaque: cut by its alpha.
        QImage chosen(12, 10, QImage::Format_ARGB32);
        chosen.fill(Qt::transparent);
        QPainter(&chosen).fillRect(0, 0, 5, 4, QColor(200, 0, 0));
        const QString path = folder->filePath(QStringLiteral("chosen.png"));
        QVERIFY(chosen.save(path, "PNG"));
        blockPicture().save(folder->filePath(QStringLiteral("picture.bmp")), "BMP");
        writeSettings("PICTUREFILE=" + path.toUtf8() + "\n");
        Form2* text = start();
        QVERIFY(text->Visible());
        QVERIFY((text->mask() ^ QRegion(0, 0, 5, 4)).isEmpty());
        QCOMPARE(Form1::instance()->PictureFileName, path);
        QVERIFY(state->messages.isEmpty());
    }

    void testStalePictureFileFallsBackToTheBitmap()
    {
        blockPicture().save(folder->filePath(QStringLiteral("picture.bmp")), "BMP");
        const QString gone = folder->filePath(QStringLiteral("gone.png"));
        writeSettings("PICTUREFILE=" + gone.toUtf8() + "\n");
        Form2* text = start();
        QCOMPARE(state->messages.size(), 1);
        QVERIFY(state->messages[0].contains(QDir::toNativeSeparators(gone)));
        QVERIFY((text->mask() ^ QRegion(10, 5, 20, 20)).isEmpty());
        QCOMPARE(Form1::instance()->PictureFileName,
                 folder->filePath(QStringLiteral("picture.bmp")));
        // The choice stays stored (the file may come back), and picture.bmp is untouched.
        QCOMPARE(ReadIniValue(DataSection, u"PICTUREFILE"_s), gone);
        QVERIFY(QFile::exists(folder->filePath(QStringLiteral("picture.bmp"))));
    }

    // Temporary files of writes that ended with their process go at start-up; the
    // user's own files beside the settings stay, whatever their names.
    void testStartRemovesInterruptedWrites()
    {
        writeSettings("TEXT=x\n");
        const QStringList leftovers{QStringLiteral("deskword.ini.tmp-a1B2c3"),
                                    QStringLiteral("deskword.ini.QkzRtw")};
        const QStringList kept{
            QStringLiteral("deskword.ini"),        QStringLiteral("deskword.ini.backup"),
            QStringLiteral("deskword.ini.tmp-1"),  QStringLiteral("deskword.ini.Backup.old"),
            QStringLiteral("other.ini.QkzRtw"),    QStringLiteral("deskword.ini.tmp-a1B2c3d"),
            QStringLiteral("deskword.ini.Qkz1tw"), QStringLiteral("deskword.iniXQkzRtw")};
        for (const QString& name : leftovers + kept.mid(1)) {
            QFile file(folder->filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        start();
        QDir dir(folder->path());
        QCOMPARE(dir.entryList(QDir::Files | QDir::Hidden, QDir::Name), [&] {
            QStringList sorted = kept;
            sorted.sort();
            return sorted;
        }());
    }

    void testNoPictureChosenLeavesPictureBmpAside()
    {
        blockPicture().save(folder->filePath(QStringLiteral("picture.bmp")), "BMP");
        writeSettings("TEXT=x\nPICTUREFILE=\n");
        start();
        QCOMPARE(PictureRegionNumber, 0);
        QVERIFY(Form1::instance()->PictureFileName.isEmpty());
    }

    void testDisplayModesOrderAndHideThePicture()
    {
        blockPicture().save(folder->filePath(QStringLiteral("picture.bmp")), "BMP");
        // Black text over the picture's place at the origin.
        writeSettings("TEXT=MMMMMM%rMMMMMM\nFontBold=True\nFontSize=30\nColor=0\n");
        Form2* text = start();
        frmMenu* menu = frmMenu::instance();
        const QRegion both = text->mask();
        const QRect picture(10, 5, 20, 20);

        menu->ga_Click(1);
        QCOMPARE(ReadIniValue(DataSection, u"PICTURE"_s), QStringLiteral("1"));
        const QImage behind = text->backBuffer();
        menu->ga_Click(0);
        const QImage front = text->backBuffer();
        QVERIFY((text->mask() ^ both).isEmpty());
        // In front the picture covers the glyphs; behind, the glyphs cover the picture.
        int glyphPixels = 0;
        QPoint pictureOnly;
        for (int y = picture.top(); y <= picture.bottom(); ++y) {
            for (int x = picture.left(); x <= picture.right(); ++x) {
                QCOMPARE(front.pixel(x, y), pictureColour);
                if (behind.pixel(x, y) == qRgb(0, 0, 0)) {
                    ++glyphPixels;
                } else {
                    pictureOnly = QPoint(x, y);
                }
            }
        }
        QVERIFY(glyphPixels > 0);
        QVERIFY(!pictureOnly.isNull());

        // Hidden: only the text remains; showing it again does not read the file again.
        QFile::remove(folder->filePath(QStringLiteral("picture.bmp")));
        menu->ga_Click(2);
        QCOMPARE(ReadIniValue(DataSection, u"PICTURE"_s), QStringLiteral("2"));
        QVERIFY(text->Visible());
        QVERIFY(!text->mask().contains(pictureOnly));
        QVERIFY((text->mask() - both).isEmpty());
        menu->ga_Click(0);
        QVERIFY((text->mask() ^ both).isEmpty());
    }

    void testHiddenPictureWithoutTextHidesTheWindow()
    {
        blockPicture().save(folder->filePath(QStringLiteral("picture.bmp")), "BMP");
        writeSettings("PICTURE=2\n");
        Form2* text = start();
        QVERIFY(!text->Visible());
        frmMenu::instance()->ga_Click(0);
        QVERIFY(text->Visible());
    }

    void testExitStoresThePositionAndEnds()
    {
        writeSettings("TEXT=x\nFontBold=False\nXPOS=300\nYPOS=450\n");
        Form2* text = start();
        text->move(40, 50);
        // The window manager's close request does not close the text window.
        QVERIFY(!text->close());
        QVERIFY(text->isLoaded() && text->Visible());
        exitProgram();
        QCOMPARE(ReadIniValue(DataSection, u"XPOS"_s), QStringLiteral("600"));
        QCOMPARE(ReadIniValue(DataSection, u"YPOS"_s), QStringLiteral("750"));
        QCOMPARE(state->endCodes.value(0, -1), 0);
        QVERIFY(Form::Forms().isEmpty());
    }

    // The tray icon's tooltip tells two copies apart: the folder of the settings file,
    // unless it is the user's configuration folder of an installed copy.
    void testTrayNamesTheCopy()
    {
        const QByteArray home = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(folder->path()));
        const QString copy = folder->filePath(u"apps/x"_s);
        QVERIFY(QDir().mkpath(copy));
        App::setProgramForTesting(copy, u"deskword"_s);
        SettingsLocation::setProgramForTesting(copy, u"deskword"_s);
        start();
        const auto* tray = Form1::instance()->findChild<QSystemTrayIcon*>();
        QVERIFY(tray != nullptr);
        QCOMPARE(tray->toolTip(), u"Deskword — ~/apps/x"_s);
        qputenv("HOME", home);
        QCOMPARE(SettingsLocation::copyName(), u"Deskword — "_s + copy);

        const QString config =
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
            u"/deskword"_s;
        SettingsLocation::setProgramForTesting(config, u"deskword"_s);
        QCOMPARE(SettingsLocation::copyName(), u"Deskword"_s);
    }

    // "Hide over full-screen windows" is off unless stored as on, comes before Exit,
    // and is stored at once as HIDEONFULLSCREEN=True/False when chosen.
    void testHideOnFullScreenIsStoredAtOnce_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("on");
        QTest::newRow("absent") << QByteArray() << false;
        QTest::newRow("True") << QByteArray("HIDEONFULLSCREEN=True\n") << true;
        QTest::newRow("False") << QByteArray("HIDEONFULLSCREEN=False\n") << false;
        QTest::newRow("no Boolean") << QByteArray("HIDEONFULLSCREEN=yes\n") << false;
    }
    void testHideOnFullScreenIsStoredAtOnce()
    {
        QFETCH(QByteArray, stored);
        QFETCH(bool, on);
        writeSettings("TEXT=x\nFontBold=False\nXPOS=300\nYPOS=450\n" + stored);
        const Form2* text = start();
        frmMenu* menu = frmMenu::instance();
        QAction* item = menu->mHideOnFullScreen;
        const QList<QAction*> items = menu->mpop->actions();
        QCOMPARE(items.indexOf(item) + 1, items.indexOf(menu->mend));
        QVERIFY(item->isCheckable() && item->isEnabled()); // offscreen is no Wayland
        QCOMPARE(item->isChecked(), on);
        QVERIFY(text->isVisible()); // no full-screen window here

        item->trigger();
        QCOMPARE(ReadIniValue(DataSection, u"HIDEONFULLSCREEN"_s), on ? u"False"_s : u"True"_s);
        QVERIFY(text->isVisible());
        item->trigger();
        QCOMPARE(ReadIniValue(DataSection, u"HIDEONFULLSCREEN"_s), on ? u"True"_s : u"False"_s);
        QCOMPARE(ReadIniValue(DataSection, u"TEXT"_s), u"x"_s);
    }

    // Start-up reads the settings file once, however many keys it holds, and writes
    // nothing.
    void testStartupReadsTheFileOnce()
    {
        writeSettings("TEXT=Ab\nFontBold=True\nFontItalic=False\nFontName=DejaVu Sans\n"
                      "FontSize=20\nFontStrikethrough=False\nFontUnderline=False\nColor=255\n"
                      "XPOS=3000\nYPOS=1500\nXPOS2=15\nYPOS2=30\nPICTURE=1\n");
        const SettingsFile::Counts before = SettingsFile::counts();
        start();
        const SettingsFile::Counts after = SettingsFile::counts();
        QCOMPARE(after.reads - before.reads, 1);
        QCOMPARE(after.writes - before.writes, 0);
        QCOMPARE(Form1::instance()->PicPosY, 30);
        QCOMPARE(frmMenu::instance()->displayMode(), 1);
    }

    // A settings path that is a named pipe does not hold start-up: the program starts
    // as on a first run and says why.
    void testPipeForSettingsDoesNotBlock()
    {
        const QByteArray path = QFile::encodeName(folder->filePath(QStringLiteral("deskword.ini")));
        QCOMPARE(::mkfifo(path.constData(), 0600), 0);
        Form2* text = start();
        QVERIFY(text != nullptr);
        QCOMPARE(text->Left(), Screen::Width() / 2);
        QCOMPARE(state->messages.size(), 1);
        QVERIFY(
            state->messages[0].startsWith(QStringLiteral("設定ファイルを読み込めませんでした。")));
    }

    // SIGTERM (and so SIGHUP, SIGINT and the session manager) ends the program as
    // Exit does: the dropped position and the editor's unapplied text are stored, in
    // one write, and the process ends with status 0.
    void testSessionEndStoresWhatExitStores()
    {
        writeSettings("TEXT=old\nFontBold=False\nXPOS=300\nYPOS=450\n");
        Form2* text = start();
        text->move(70, 80);
        frmMenu::instance()->mEdit_Click();
        Form3* editor = Form::Find<Form3>();
        QVERIFY(editor != nullptr);
        editor->Text1->setPlainText(QStringLiteral("typed\nbut not applied"));
        const SettingsFile::Counts before = SettingsFile::counts();
        QCOMPARE(std::raise(SIGTERM), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!state->endCodes.isEmpty(), 10000);
        QCOMPARE(state->endCodes.first(), 0);
        QCOMPARE(SettingsFile::counts().writes - before.writes, 1);
        QCOMPARE(ReadIniValue(DataSection, u"XPOS"_s), QStringLiteral("1050"));
        QCOMPARE(ReadIniValue(DataSection, u"YPOS"_s), QStringLiteral("1200"));
        QCOMPARE(ReadIniValue(DataSection, u"TEXT"_s), QStringLiteral("typed%rbut not applied"));
        QVERIFY(state->messages.isEmpty());
    }

    // A signal during a shape build ends the program only after the build.
    void testSessionEndWaitsForARunningBuild()
    {
        writeSettings("TEXT=x\nFontBold=False\n");
        start();
        {
            const CommandGate::Hold building;
            QCOMPARE(std::raise(SIGHUP), 0);
            QTRY_COMPARE_WITH_TIMEOUT(CommandGate::waiting(), 1, 10000);
            QVERIFY(state->endCodes.isEmpty());
        }
        QTRY_VERIFY_WITH_TIMEOUT(!state->endCodes.isEmpty(), 10000);
        QCOMPARE(state->endCodes.first(), 0);
    }

    // Exit on a full disk: the settings file keeps every byte, and the user is told
    // once, although two windows had something to store.
    void testExitOnAFullDiskKeepsTheFile()
    {
        writeSettings("TEXT=old\nFontBold=False\nXPOS=300\nYPOS=450\n; a comment\n");
        const QByteArray before = [&] {
            QFile file(folder->filePath(QStringLiteral("deskword.ini")));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        Form2* text = start();
        text->move(70, 80);
        frmMenu::instance()->mEdit_Click();
        Form::Find<Form3>()->Text1->setPlainText(QStringLiteral("new"));
        AtomicFile::setFailureForTesting(
            [](AtomicFile::Step step) { return step == AtomicFile::Step::Write ? ENOSPC : 0; });
        exitProgram();
        QCOMPARE(state->endCodes.value(0, -1), 0);
        QFile file(folder->filePath(QStringLiteral("deskword.ini")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        QCOMPARE(state->messages.size(), 1);
        QVERIFY(
            state->messages[0].startsWith(QStringLiteral("設定ファイルを保存できませんでした。")));
        QVERIFY(state->messages[0].contains(QString::fromLocal8Bit(std::strerror(ENOSPC))));
    }
};

DESKWORD_TEST_MAIN(StartupTest)
#include "StartupTest.moc"
