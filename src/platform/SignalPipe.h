#pragma once

// The end signals (SIGTERM, SIGHUP, SIGINT) turned into bytes on a pipe: the handler
// only writes the signal's number, so nothing runs inside it, and whoever reads the
// pipe decides what to do in its own time. Installed at the first line of the
// program, a signal that arrives before anything reads the pipe waits there.
// Where there are no POSIX signals, nothing is installed and there is no pipe.
class SignalPipe
{
public:
    // Installs the handlers once; later calls do nothing. False when it could not.
    static bool install();
    // Restores the default handling and closes the pipe.
    static void uninstall();
    // The pipe's end to read from (non-blocking), or -1 when not installed.
    static int readEnd();
    // Reads every waiting byte; true when there was at least one.
    static bool drain();
};
