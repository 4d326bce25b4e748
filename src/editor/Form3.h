#pragma once

#include "forms/Form.h"

#include <QList>
#include <QString>
#include <cstdint>

class QAction;
class QKeyEvent;
class QLabel;
class QMenu;
class QMimeData;
class QPlainTextEdit;
class QPushButton;

// The editor: the desktop text in the desktop text's font and colour, with the
// picture floating over it at its desktop offset, and four commands: Execute
// (apply the text to the desktop), Font settings, Colour settings and Picture.
//
// The text box the user sees is built from two edit boxes: Text2 gives the border
// and the scroll bars, Frame1 covers Text2's text area exactly, and Text1, inside
// Frame1, is moved up and left so that only its text area shows. Picture1, the
// picture preview, lies over Text1 inside Frame1. The two boxes always hold the same
// text in the same style and scroll together (Module1).
class Form3 : public Form
{
    Q_OBJECT

public:
    Form3();
    ~Form3() override;

    // Opens the editor, or brings the open one forward without reloading it.
    static Form3* open();

    QPlainTextEdit* Text1 = nullptr;
    QPlainTextEdit* Text2 = nullptr;
    Window* Frame1 = nullptr;
    Window* Picture1 = nullptr;
    QPushButton* Command1 = nullptr; // "フォント設定"
    QPushButton* Command2 = nullptr; // "実行"
    QPushButton* Command3 = nullptr; // "色設定"
    QPushButton* Command4 = nullptr; // "画像..."
    // Between the text box and the buttons while the text is held (holdsText).
    QLabel* Label1 = nullptr;

    // The preview's context menu: choose a picture, or none.
    QMenu* PictureMenu = nullptr;
    QAction* mPicture = nullptr;   // "画像..."
    QAction* mNoPicture = nullptr; // "画像なし"

    // How far Text1 is scrolled, in twips, as last seen by movePic.
    int32_t ScrollOffsetX = 0;
    int32_t ScrollOffsetY = 0;

    // Font settings.
    void Command1_Click();
    // Execute: Text1's text becomes the desktop text, is composed onto the desktop
    // and stored.
    void Command2_Click();
    // Colour settings.
    void Command3_Click();
    // Picture: the picture dialog; the chosen file becomes the desktop picture.
    void Command4_Click();
    // Makes a file the desktop picture and shows it in the preview at once.
    void choosePicture(const QString& path);
    // No picture, until one is chosen again.
    void mNoPicture_Click();
    // Runs after every change of Text1's text.
    void Text1_Change();

    // Lays the controls out for the current size; skipped while the window is
    // minimized or too small for it.
    void Form_Resize();
    // Places the preview at the picture offset less the scroll offsets of Text1.
    void movePic();
    void Picture1_MouseDown(int button, int shift, int x, int y);

    // True while Execute runs.
    bool executing() const { return m_executing; }
    // True while the editor holds a text with a line too long to edit: Text1 shows it
    // with its long lines shortened and cannot be changed, Label1 says so, and Execute
    // keeps the whole text. Typing over the whole selection starts a new text.
    bool holdsText() const { return m_held; }

protected:
    void Form_Load() override;
    bool Form_QueryUnload() override;

    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    // A picture file dropped anywhere on the editor is chosen as the picture.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Command
    {
        Execute,
        Font,
        Colour,
        Picture,
        NoPicture,
        Close,
    };

    void createControls();
    // The layout of Form_Resize without the picture preview; false when skipped.
    bool layOutControls();
    // Text1 takes the text, or, with a line too long to edit, holds it.
    void showText(const QString& text);
    // With the whole text selected, a key that edits drops the held text and lets
    // Text1 take the key as an empty, editable box. True when it did.
    bool releaseHeldText(const QKeyEvent* key);
    // The height of Label1 in twips at the given client width, 0 while not shown.
    int noteHeight(int clientWidth) const;
    void placePicture();
    void createPictureControls();
    void showChosenPicture();
    void showPictureMenu(const QPoint& position);
    // True for the keys that open a focused control's context menu.
    static bool opensPictureMenu(const QEvent* event);
    // The picture file the drag carries, or an empty string.
    static QString droppedPicture(const QMimeData* data);
    // Commands that arrive while Execute runs wait until it has finished.
    bool deferWhileExecuting(Command command);
    void runDeferred();
    bool m_executing = false;
    QList<Command> m_deferred;
    bool m_held = false;
    QString m_heldText;
};
