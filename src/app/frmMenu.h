#pragma once

#include "forms/Form.h"

#include <QAction>
#include <QMenu>
#include <array>
#include <functional>

// The hidden holder of the popup menu: Edit, the picture display modes, the about
// box and Exit. The display mode is held only by the check marks of ga(0) to ga(2).
class frmMenu : public Form
{
    Q_OBJECT

public:
    frmMenu();

    static frmMenu* instance();

    // The menu sits below the editor and does not know it: the program hands it the
    // command that opens the editor (main.cpp; tests through ProgramState) and gets
    // back the one it replaces. Without one, Edit does nothing.
    using EditorOpener = std::function<void()>;
    static EditorOpener setEditorOpener(EditorOpener opener);

    QMenu* mpop = nullptr;
    QAction* mEdit = nullptr;
    QMenu* mGa = nullptr;
    std::array<QAction*, 3> ga{};
    QAction* mver = nullptr;
    // Start at login: checked while the session autostart entry is switched on.
    QAction* mAutostart = nullptr;
    // Hide over full-screen windows: checked while the text hides itself (the host
    // follows the check mark).
    QAction* mHideOnFullScreen = nullptr;
    QAction* mend = nullptr;

    // The checked display mode (0 in front, 1 behind, 2 hidden); 0 when none is checked.
    int displayMode() const;
    // Checks exactly the item of the mode.
    void checkMode(int mode);

    // Pops the menu up at the mouse position; returns when it has been closed and
    // the chosen command has run. While a build runs, the menu opens after it.
    void popUp();

    void ga_Click(int index);
    void mEdit_Click();
    void mver_Click();
    void mAutostart_Click(bool checked);
    void mHideOnFullScreen_Click(bool checked);
    void mend_Click();

protected:
    bool Form_QueryUnload() override;

private:
    static EditorOpener& editorOpener();

    // Every command of the menu, however it arrives (the popup, the tray, a call from
    // outside the program), waits while a build runs (CommandGate).
    void runCommand(std::function<void(frmMenu*)> command);
};
