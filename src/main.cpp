#include "window/App.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    if (App::PrevInstance()) {
        return 0;
    }
    return app.exec();
}
