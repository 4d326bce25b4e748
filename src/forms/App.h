#pragma once

#include <QString>
#include <functional>

// Application-wide services: the program's own folder and name, single-instance
// detection, the message box, event processing inside long handlers, and ending
// the process at once.
class App
{
public:
    // Folder of the running executable (no trailing separator) and its file name
    // without extension.
    static QString Path();
    static QString EXEName();
    // Lets tests run the program as if its executable lived elsewhere; an empty
    // folder restores the executable's own folder and name.
    static void setProgramForTesting(const QString& folder, const QString& name);

    // Caption of message boxes.
    static QString Title();

    // True when another instance runs for the key (the settings file's path: two
    // programs that would share one settings file are one instance). The first call
    // takes a lock named after the key; a lock left by a crashed instance, or one
    // that names this process's own ID, is taken over.
    static bool PrevInstance(const QString& key);

    // Shows a modal message box with an OK button and the application's title.
    static void MsgBox(const QString& text);
    using MessageBoxHandler = std::function<void(const QString& text)>;
    // Replaces the message box (tests record messages instead of blocking);
    // an empty handler restores the real box. Returns the handler it replaced.
    static MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler);

    // Closes every modal window, the innermost first (message boxes and dialogs as
    // if cancelled); stops at one that refuses to close.
    static void CloseModalWindows();

    // Processes the pending window events once. User input stays queued, so menu
    // and editor commands wait until the running handler has finished.
    static void DoEvents();

    // Ends the process at once with the exit code, without unload handlers and
    // without saving anything; the instance lock is released.
    static void EndNow(int exitCode);
    using EndHandler = std::function<void(int exitCode)>;
    // Replaces the ending (tests record it); an empty handler restores it.
    // Returns the handler it replaced.
    static EndHandler setEndHandler(EndHandler handler);
};
