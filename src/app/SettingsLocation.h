#pragma once

#include <QString>

// Where the settings file lives: beside the executable, named after it
// ("<folder>/<name>.ini"). When the executable's folder is not writable, the file is
// "<config folder>/<name>/<name>.ini" in the user's configuration folder
// (XDG_CONFIG_HOME, usually ~/.config) instead; a file beside the executable that
// exists and is writable, or that sits in a writable folder, is always the one used.
class SettingsLocation
{
public:
    // Worked out anew on every call, so a renamed or moved executable, or a folder
    // that became writable, is followed at once.
    static QString filePath();

    // Lets tests put the program's folder and name elsewhere; an empty folder
    // restores the executable's own.
    static void setProgramForTesting(const QString& folder, const QString& name);
};
