#pragma once

#include "ProgramState.h"

#include "app/Form1.h"
#include "app/Form2.h"
#include "app/Settings.h"
#include "app/SettingsLocation.h"
#include "app/frmMenu.h"
#include "dialogs/ChooseDialogs.h"
#include "editor/Form3.h"
#include "region/Canvas.h"
#include "region/frm_RGN_Picture.h"

#include <QPainter>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

// The host without its start-up and shutdown: the editor needs only its state and
// ComposeTextWindow.
class TestHost : public Form1
{
protected:
    void Form_Load() override {}
    void Form_Unload() override {}
};

// What the editor lives among: the host, the text window as a canvas, the menu with
// display mode 0, a private settings file, no shapes, and dialogs that cancel.
struct EditorFixture
{
    EditorFixture()
    {
        SettingsLocation::setProgramForTesting(folder.path(), QStringLiteral("deskword"));
        comdlg::setColorHandler([](QWidget*, auto&) { return std::optional<uint32_t>(); });
        comdlg::setFontHandler([](QWidget*, auto&) { return std::optional<comdlg::LogFont>(); });
        host = Form::Load<TestHost>();
        text = Form::Load<Form2>();
        RGNCanvasInit(text, 1, -1, -1);
        menu = Form::Load<frmMenu>();
        menu->checkMode(0);
    }
    ~EditorFixture()
    {
        const QList<Form*> forms = Form::Forms();
        std::for_each(forms.rbegin(), forms.rend(), [](Form* form) { delete form; });
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        comdlg::setColorHandler({});
        comdlg::setFontHandler({});
        SettingsLocation::setProgramForTesting(QString(), QString());
    }
    EditorFixture(const EditorFixture&) = delete;
    EditorFixture& operator=(const EditorFixture&) = delete;

    // Opens the editor on the desktop text; nullptr when it does not show.
    Form3* openEditor(const QString& desktopText = QString())
    {
        host->RGNText = desktopText;
        Form3* editor = Form3::open();
        return QTest::qWaitForWindowExposed(editor) ? editor : nullptr;
    }
    static QString setting(const char* key)
    {
        return ReadIniValue(QStringLiteral("DATA"), QString::fromLatin1(key));
    }
    bool settingsWritten() const
    {
        return QFile::exists(folder.filePath(QStringLiteral("deskword.ini")));
    }

    // Makes the picture shape a w x h block, one pixel in from its corner.
    void usePicture(int width, int height)
    {
        QImage image(width + 2, height + 2, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter(&image).fillRect(1, 1, width, height, QColor(200, 0, 0));
        image.save(folder.filePath(QStringLiteral("picture.bmp")), "BMP");
        PictureRegionNumber = MakeRGNFromPicture(folder.filePath(QStringLiteral("picture.bmp")), 0);
    }

    QTemporaryDir folder;
    ProgramState state;
    const PictureSurface& surface = frm_RGN_Picture::instance().pWPicture;
    TestHost* host = nullptr;
    Form2* text = nullptr;
    frmMenu* menu = nullptr;
};
