#include "Form1.h"

#include "DesktopPicture.h"
#include "Form2.h"
#include "FullScreenHiding.h"
#include "ProgramEnd.h"
#include "SettingValues.h"
#include "Settings.h"
#include "SettingsFile.h"
#include "SettingsLocation.h"
#include "forms/App.h"
#include "forms/CommandGate.h"
#include "frmMenu.h"
#include "frm_Version.h"
#include "graphics/Rounding.h"
#include "graphics/Screen.h"
#include "graphics/Units.h"
#include "platform/DBusTray.h"
#include "platform/InstanceChannel.h"
#include "platform/SessionEnd.h"
#include "region/Canvas.h"
#include "region/WindowUtilities.h"
#include "region/frm_RGN_Picture.h"
#include "shape/ShapeBuilder.h"

#include <QFileInfo>
#include <QSystemTrayIcon>

namespace {

QString setting(const char* key)
{
    return ReadIniValue(DataSection, QString::fromLatin1(key));
}

// Mouse messages that reach the host from the tray icon.
constexpr int WM_MOUSEMOVE = 512;
constexpr int WM_LBUTTONUP = 514;
constexpr int WM_LBUTTONDBLCLK = 515;
constexpr int WM_RBUTTONUP = 517;
constexpr int WM_MBUTTONUP = 520;

int trayMessage(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Context:
        return WM_RBUTTONUP;
    case QSystemTrayIcon::Trigger:
        return WM_LBUTTONUP;
    case QSystemTrayIcon::DoubleClick:
        return WM_LBUTTONDBLCLK;
    case QSystemTrayIcon::MiddleClick:
        return WM_MBUTTONUP;
    case QSystemTrayIcon::Unknown:
        break;
    }
    return WM_MOUSEMOVE;
}

} // namespace

Form1::Form1() : Form(QStringLiteral("Form1")) {}

Form1* Form1::instance()
{
    return Find<Form1>();
}

bool Form1::hasTray() const
{
    return m_tray != nullptr && m_trayAvailable;
}

void Form1::Form_Load()
{
    if (App::PrevInstance(SettingsLocation::filePath())) {
        // The running instance opens its editor: starting the program again always
        // leads somewhere, with or without a tray.
        InstanceChannel::requestOpen(SettingsLocation::filePath());
        App::EndNow(0);
        return;
    }
    SettingsFile::removeInterruptedWrites();
    // The end of the session, or a signal to end, ends the program as Exit does.
    connect(new SessionEnd(this), &SessionEnd::requested, this, &Form1::endSession);
    listenForSecondStart();
    const SettingsFile::ReadOnce settings;
    hide();
    createTrayIcon();
    hide();

    Form2* text = FindOrLoad<Form2>();
    RGNCanvasInit(text, 1, -1, -1);
    const bool firstRun = setting("FontBold").isEmpty();
    if (firstRun) {
        text->setLeft(Screen::Left() + Screen::Width() / 2);
        text->setTop(Screen::Top() + Screen::Height() / 2);
        PicPosX = 0;
        PicPosY = 0;
    } else {
        readStoredStyle();
        text->setLeft(roundHalfEven(settingNumber(setting("XPOS"))));
        text->setTop(roundHalfEven(settingNumber(setting("YPOS"))));
        PicPosX = settingInteger(setting("XPOS2"));
        PicPosY = settingInteger(setting("YPOS2"));
    }
    // The busy badge shows where it can be seen; the whole figure is brought back
    // from the stored place once it exists.
    const QPoint storedPlace = text->pos();
    text->bringBackOnScreen();

    int32_t badgeX = PicPosX;
    int32_t badgeY = saturateInt32(int64_t(PicPosY) + PixelToTwipY(10));
    RGNCanvasAdd(0, text, badgeX, badgeY);
    RGNCanvasApply(text);

    int32_t mode = settingInteger(setting("PICTURE"));
    if (mode < 0 || mode > 2) {
        mode = 0;
    }
    frmMenu* menu = FindOrLoad<frmMenu>();
    menu->checkMode(mode);
    m_fullScreen = new FullScreenHiding(this);
    connect(m_fullScreen, &FullScreenHiding::changed, this, &Form1::showTextWindow);
    connect(menu->mHideOnFullScreen, &QAction::toggled, m_fullScreen, &FullScreenHiding::setOn);
    menu->mHideOnFullScreen->setChecked(FullScreenHiding::available() &&
                                        settingBool(setting("HIDEONFULLSCREEN")).value_or(false));
    text->show();

    RGNText = decodeRGNText(setting("TEXT"));
    buildShapes();
    ComposeTextWindow();
    text->move(storedPlace);
    text->bringBackOnScreen();
    m_started = true;

    // Without a tray the program is reached through its text; a first run, or a
    // start with nothing to show, opens the editor so there is something to reach.
    if (m_openRequested || (!hasTray() && (firstRun || !m_composed))) {
        openEditor();
    }
}

void Form1::listenForSecondStart()
{
    m_channel = new InstanceChannel(SettingsLocation::filePath(), this);
    connect(m_channel, &InstanceChannel::quitRequested, this, &Form1::endAsExit);
    connect(m_channel, &InstanceChannel::openRequested, this, &Form1::requestEditor);
    m_channel->listen();
}

void Form1::requestEditor()
{
    // A request during start-up waits until the text is on the desktop.
    if (m_started) {
        openEditor();
    } else {
        m_openRequested = true;
    }
}

void Form1::openEditor()
{
    m_openRequested = false;
    // Through the menu's own item, so that it runs exactly as when chosen there.
    if (frmMenu* menu = frmMenu::instance()) {
        menu->mEdit->trigger();
    }
}

void Form1::createTrayIcon()
{
    // Taking the icon creates the about box, hidden.
    m_tray = new QSystemTrayIcon(FindOrLoad<frm_Version>()->windowIcon(), this);
    m_tray->setToolTip(SettingsLocation::copyName());
    // A D-Bus tray (StatusNotifierItem) shows the menu itself: it gets the popup menu
    // exported over D-Bus, with the same items. An XEmbed tray only reports clicks,
    // and a right click pops the menu up (trayMouseMove).
    if (DBusTray::hostAvailable()) {
        m_tray->setContextMenu(FindOrLoad<frmMenu>()->mpop);
    }
    // Asked before the icon is shown. Once it is, a D-Bus tray's host calls the program
    // (for the icon and the menu), and a call from here that waits for the host could
    // wait while the host waits for this thread: both would hang until D-Bus gives up.
    m_trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    connect(
        m_tray, &QSystemTrayIcon::activated, this,
        [this](QSystemTrayIcon::ActivationReason reason) {
            trayMouseMove(0, 0, trayMessage(reason) * Screen::TwipsPerPixelX(), 0);
        },
        Qt::QueuedConnection);
    m_tray->show();
    DBusTray::answerIconThemePath();
}

void Form1::readStoredStyle()
{
    PictureSurface& surface = frm_RGN_Picture::instance().pWPicture;
    surface.setFontBold(settingBool(setting("FontBold")).value_or(false));
    surface.setFontItalic(settingBool(setting("FontItalic")).value_or(false));
    const QString name = setting("FontName");
    if (!name.isEmpty()) {
        surface.setFontName(name);
    }
    const double size = settingNumber(setting("FontSize"));
    if (size > 0) {
        surface.setFontSize(size);
    }
    surface.setFontStrikethru(settingBool(setting("FontStrikethrough")).value_or(false));
    surface.setFontUnderline(settingBool(setting("FontUnderline")).value_or(false));
    surface.setForeColor(static_cast<uint32_t>(settingInteger(setting("Color"))));
}

QStringList Form1::pictureCandidates(const QString& name) const
{
    // The program's folder first; when the settings live in the user's configuration
    // folder (the program's folder is not writable), pictures are looked for there too.
    QStringList candidates{App::Path() + QLatin1Char('/') + name};
    const QString settingsFolder = QFileInfo(SettingsLocation::filePath()).absolutePath();
    if (QFileInfo(settingsFolder) != QFileInfo(App::Path())) {
        const QString extra = settingsFolder + QLatin1Char('/') + name;
        if (QFileInfo::exists(extra)) {
            candidates.append(extra);
        }
    }
    return candidates;
}

void Form1::buildShapes()
{
    TextRegionNumber = MakeRGNFromText(RGNText);
    PictureRegionNumber = 0;
    if (DesktopPicture::buildFromSetting()) {
        return; // the picture the user chose, or none
    }
    for (const QString& name : {QStringLiteral("picture.bmp"), QStringLiteral("picture.gif")}) {
        for (const QString& path : pictureCandidates(name)) {
            PictureRegionNumber = MakeRGNFromPicture(path, 0);
            if (PictureRegionNumber != 0) {
                PictureFileName = path;
                return;
            }
        }
    }
}

void Form1::ComposeTextWindow()
{
    Form2* text = Form2::instance();
    const frmMenu* menu = frmMenu::instance();
    if (text == nullptr || menu == nullptr) {
        return; // shutting down: nothing to compose onto
    }
    const CommandGate::Hold composing;
    bool composed = false;
    auto add = [&](int32_t number, int32_t x, int32_t y) {
        if (number > 0) {
            RGNCanvasAdd(number, text, x, y);
            composed = true;
        }
    };
    for (int mode = 0; mode < 3; ++mode) {
        if (!menu->ga[mode]->isChecked()) {
            continue;
        }
        switch (mode) {
        case 0:
            add(TextRegionNumber, 0, 0);
            add(PictureRegionNumber, PicPosX, PicPosY);
            break;
        case 1:
            add(PictureRegionNumber, PicPosX, PicPosY);
            add(TextRegionNumber, 0, 0);
            break;
        default:
            add(TextRegionNumber, 0, 0);
            break;
        }
    }
    if (composed) {
        RGNCanvasApply(text);
    }
    m_composed = composed;
    showTextWindow();
}

void Form1::showTextWindow()
{
    Form2* text = Form2::instance();
    if (text == nullptr) {
        return;
    }
    if (m_composed && !(m_fullScreen != nullptr && m_fullScreen->hides(text->figureBounds()))) {
        text->show();
        WindowTopMost(text);
    } else {
        text->hide();
    }
}

void Form1::trayMouseMove(int, int, double x, double)
{
    // x is the message times twips per pixel; divided by the exact ratio (7.5 at
    // 192 DPI, not 8), so a right-button-up comes back as 517 at every DPI.
    const int32_t message = TwipToPixelX(x);
    if (message != WM_RBUTTONUP) {
        return;
    }
    if (frmMenu* menu = frmMenu::instance()) {
        menu->popUp();
    }
}

void Form1::Form_Unload()
{
    if (m_tray != nullptr) {
        m_tray->hide();
        delete m_tray;
        m_tray = nullptr;
    }
    // No socket file stays behind for the next start to clear; a start that asked
    // for the end stays connected until the process has ended.
    if (m_channel != nullptr) {
        m_channel->close();
    }
    // Closing the host ends the program; within the end, this returns at once.
    ProgramEnd::run();
}

void Form1::endSession()
{
    // Nobody may be left to answer a message box at the end of a session: a failed
    // write is reported on the error output instead.
    const App::MessageBoxHandler previous =
        App::setMessageBoxHandler([](const QString& text) { qWarning("%s", qPrintable(text)); });
    if (previous) {
        App::setMessageBoxHandler(previous);
    }
    endAsExit();
}

void Form1::endAsExit()
{
    // A message box or modal window open now is closed: one shown during start-up,
    // before the event loop runs, holds the build that the end waits for.
    App::CloseModalWindows();
    // Like the menu's commands it waits for a running build, so an Execute in
    // progress stores its text first.
    CommandGate::run(&ProgramEnd::run);
}
