#pragma once

#include "forms/Form.h"

#include <QString>
#include <cstdint>

class FullScreenHiding;
class InstanceChannel;
class QSystemTrayIcon;

// The hidden host window. Its load handler is the whole start-up: one instance only,
// the tray icon, the stored settings, the busy badge, the text and picture shapes and
// their composition on the text window. Unloading it ends the program (ProgramEnd).
class Form1 : public Form
{
    Q_OBJECT

public:
    Form1();

    // The loaded host, or nullptr.
    static Form1* instance();

    // The desktop text; lines separated by CR LF.
    QString RGNText;
    // The picture's offset from the text window's origin, in twips.
    int32_t PicPosX = 0;
    int32_t PicPosY = 0;
    // The file the picture shape was built from; empty when there is no picture.
    QString PictureFileName;

    // Composes the text and picture shapes onto the text window in the order of the
    // picture display mode and shows it top-most, or hides it when there is nothing.
    void ComposeTextWindow();

    // A mouse message from the tray icon, carried as a horizontal position in twips
    // (the message number times the screen's twips per pixel). Only a right-button-up
    // opens the popup menu.
    void trayMouseMove(int button, int shift, double x, double y);

    // Ends the program as Exit does, when the session ends or a signal asks to end:
    // a failed write is reported on the error output, no message box waits.
    void endSession();
    // Ends the program as Exit does once any running build has finished, closing
    // any modal window first (a later start's request to end).
    void endAsExit();

    // Opens the editor as the menu's Edit does; during start-up, once the text is
    // on the desktop (a later start's request, or --edit).
    void requestEditor();

    // True once start-up has composed the text window for the first time.
    bool started() const { return m_started; }
    // True when a system tray was there to hold the program's icon at start-up.
    bool hasTray() const;

protected:
    void Form_Load() override;
    void Form_Unload() override;

private:
    void createTrayIcon();
    void listenForSecondStart();
    void openEditor();
    void readStoredStyle();
    void buildShapes();
    // Shows the composed text window top-most, or hides it when there is nothing to
    // show or it hides over a full-screen window.
    void showTextWindow();
    QStringList pictureCandidates(const QString& name) const;

    QSystemTrayIcon* m_tray = nullptr;
    // Whether a system tray was there when the icon was shown.
    bool m_trayAvailable = false;
    InstanceChannel* m_channel = nullptr;
    FullScreenHiding* m_fullScreen = nullptr;
    bool m_composed = false;
    bool m_started = false;
    bool m_openRequested = false;
};
