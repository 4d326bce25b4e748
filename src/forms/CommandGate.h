#pragma once

#include <QList>
#include <functional>

// Menu and tray commands wait while a shape build or a composition runs. Those let
// pending events run (the screen keeps painting), and user input is held back then,
// but posted events are not: a queued tray activation or a menu call from outside
// the program would otherwise start a command in the middle of a build. Such a
// command is queued here and runs, in order of arrival, once the last build has
// ended and control is back in the event loop.
class CommandGate
{
public:
    // Marks a build for its lifetime; builds may nest.
    class Hold
    {
    public:
        Hold();
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
    };

    // True while a build runs.
    static bool busy();
    // Runs the command now, or after the running build when one runs.
    static void run(std::function<void()> command);
    // Commands waiting for the running build.
    static int waiting();

private:
    static void runWaiting();
};
