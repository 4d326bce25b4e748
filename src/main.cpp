#include "app/Form1.h"
#include "app/Translation.h"
#include "window/FontWarmUp.h"
#include "window/Platform.h"

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
    Form::Load<Form1>();
    return app.exec();
}
