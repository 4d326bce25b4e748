#pragma once

// The one way the program ends in order, whoever asks: Exit in the menu, the end of
// the session or a signal, closing the host window, or a later start's request to
// end. Every window unloads (each stores what it keeps), the stores are written as
// one, and the process ends with status 0.
class ProgramEnd
{
public:
    // Ends the program. A call while the end runs (a window's unload asking for it
    // again) returns at once.
    static void run();
    // True while the end runs.
    static bool running();
};
