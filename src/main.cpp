#include "app/CommandLine.h"
#include "app/Form1.h"
#include "app/Translation.h"
#include "app/frmMenu.h"
#include "editor/Form3.h"
#include "platform/Platform.h"
#include "platform/SignalPipe.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // From the first line on, an end signal waits in the pipe until the program can
    // end in order: it is never lost to the default action, whatever is open then.
    SignalPipe::install();
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    const CommandLine command = CommandLine::parse(arguments);
    if (!command.needsDisplay()) {
        const QCoreApplication core(argc, argv);
        return command.runWithoutDisplay();
    }
    // Before any thread starts: the choice goes into the environment Qt reads.
    Platform::chooseBeforeStart();
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    Translation::install();
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.deskword.Deskword"));
    // The editor sits on top of the host and its menu: the menu's Edit opens it.
    frmMenu::setEditorOpener([] { Form3::open(); });
    Form::Load<Form1>();
    if (command.action() == CommandLine::Action::Edit) {
        if (Form1* host = Form1::instance()) {
            host->requestEditor();
        }
    }
    return app.exec();
}
