#include "SignalPipe.h"

// No POSIX signals: the program ends through its own commands and the session alone.
bool SignalPipe::install()
{
    return false;
}

void SignalPipe::uninstall() {}

int SignalPipe::readEnd()
{
    return -1;
}

bool SignalPipe::drain()
{
    return false;
}
