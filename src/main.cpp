#include "app/Form1.h"
#include "app/Translation.h"
#include "app/frmMenu.h"
#include "editor/Form3.h"
#include "platform/FontWarmUp.h"
#include "platform/Platform.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // Before any thread starts: the choice goes into the environment Qt reads.
    Platform::chooseBeforeStart();
    FontWarmUp fonts;
    QApplication app(argc, argv);
    fonts.wait();
    app.setQuitOnLastWindowClosed(false);
    Translation::install();
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.deskword.Deskword"));
    // The editor sits on top of the host and its menu: the menu's Edit opens it.
    frmMenu::setEditorOpener([] { Form3::open(); });
    Form::Load<Form1>();
    return app.exec();
}
