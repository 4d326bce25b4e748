#include "frmMenu.h"

#include "Autostart.h"
#include "Form1.h"
#include "FullScreenHiding.h"
#include "ProgramEnd.h"
#include "Settings.h"
#include "forms/CommandGate.h"
#include "frm_Version.h"

#include <QCoreApplication>
#include <QCursor>
#include <QPointer>
#include <utility>

frmMenu::frmMenu() : Form(QStringLiteral("frmMenu"))
{
    mpop = new QMenu(this);
    mEdit = mpop->addAction(tr("編集"));
    mGa = mpop->addMenu(tr("画像表示"));
    const QString modes[] = {tr("文字の手前"), tr("文字の背後"), tr("非表示")};
    for (int i = 0; i < 3; ++i) {
        ga[i] = mGa->addAction(modes[i]);
        ga[i]->setCheckable(true);
        connect(ga[i], &QAction::triggered, this, [this, i](bool checked) {
            if (CommandGate::busy()) {
                // The running build composes by the check marks: the chosen mode
                // takes effect only when its command runs.
                ga[i]->setChecked(!checked);
            }
            runCommand([i](frmMenu* menu) { menu->ga_Click(i); });
        });
    }
    mpop->addSeparator();
    mver = mpop->addAction(tr("バージョン情報"));
    mpop->addSeparator();
    mAutostart = mpop->addAction(tr("ログイン時に起動"));
    mAutostart->setCheckable(true);
    mAutostart->setChecked(Autostart::isEnabled());
    mHideOnFullScreen = mpop->addAction(tr("全画面表示のときは隠す"));
    mHideOnFullScreen->setCheckable(true);
    mHideOnFullScreen->setEnabled(FullScreenHiding::available());
    mend = mpop->addAction(tr("終了"));
    connect(mEdit, &QAction::triggered, this, [this] { runCommand(&frmMenu::mEdit_Click); });
    connect(mver, &QAction::triggered, this, [this] { runCommand(&frmMenu::mver_Click); });
    connect(mend, &QAction::triggered, this, [this] { runCommand(&frmMenu::mend_Click); });
    // The autostart entry has nothing to do with a running build: it is written at once.
    connect(mAutostart, &QAction::triggered, this, &frmMenu::mAutostart_Click);
    // Nor has this choice: it is stored at once.
    connect(mHideOnFullScreen, &QAction::triggered, this, &frmMenu::mHideOnFullScreen_Click);
    // The entry may have been changed outside the program (a desktop's session settings).
    connect(mpop, &QMenu::aboutToShow, this,
            [this] { mAutostart->setChecked(Autostart::isEnabled()); });
}

void frmMenu::runCommand(std::function<void(frmMenu*)> command)
{
    CommandGate::run([menu = QPointer<frmMenu>(this), command = std::move(command)] {
        if (menu != nullptr) {
            command(menu);
        }
    });
}

frmMenu* frmMenu::instance()
{
    return Find<frmMenu>();
}

int frmMenu::displayMode() const
{
    for (int i = 0; i < 3; ++i) {
        if (ga[i]->isChecked()) {
            return i;
        }
    }
    return 0;
}

void frmMenu::checkMode(int mode)
{
    for (QAction* item : ga) {
        item->setChecked(false);
    }
    ga[std::clamp(mode, 0, 2)]->setChecked(true);
}

frmMenu::EditorOpener& frmMenu::editorOpener()
{
    static EditorOpener opener;
    return opener;
}

frmMenu::EditorOpener frmMenu::setEditorOpener(EditorOpener opener)
{
    return std::exchange(editorOpener(), std::move(opener));
}

void frmMenu::popUp()
{
    runCommand([](frmMenu* menu) { menu->mpop->exec(QCursor::pos()); });
}

void frmMenu::ga_Click(int index)
{
    checkMode(index);
    if (Form1* host = Form1::instance()) {
        host->ComposeTextWindow();
    }
    WriteIniValue(DataSection, QStringLiteral("PICTURE"), QString::number(index));
}

void frmMenu::mEdit_Click()
{
    if (editorOpener()) {
        editorOpener()();
    }
}

void frmMenu::mver_Click()
{
    FindOrLoad<frm_Version>()->ShowModal();
}

void frmMenu::mAutostart_Click(bool checked)
{
    if (checked) {
        Autostart::enable(QCoreApplication::applicationFilePath());
    } else {
        Autostart::disable();
    }
    // The check mark shows what the file says, also when it could not be changed.
    mAutostart->setChecked(Autostart::isEnabled());
}

void frmMenu::mHideOnFullScreen_Click(bool checked)
{
    WriteIniValue(DataSection, QStringLiteral("HIDEONFULLSCREEN"),
                  checked ? QStringLiteral("True") : QStringLiteral("False"));
}

void frmMenu::mend_Click()
{
    ProgramEnd::run();
}

bool frmMenu::Form_QueryUnload()
{
    // Without its menu the program cannot go on: unloading it ends the program.
    ProgramEnd::run();
    return false;
}
