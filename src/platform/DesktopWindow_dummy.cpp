#include "DesktopWindowX11.h"

void DesktopWindowX11::attach(QWidget*, DesktopWindow::Remake) {}

void DesktopWindowX11::sync() {}

void DesktopWindowX11::wakeWhenIdle() {}
