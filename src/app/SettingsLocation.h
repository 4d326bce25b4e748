#pragma once

#include <QString>

// Where the settings file lives: beside the executable, named after it
// ("<folder>/<name>.ini"). When the executable's folder is not writable, the file is
// "<config folder>/<name>/<name>.ini" in the user's configuration folder
// (XDG_CONFIG_HOME, usually ~/.config) instead: a file is only ever replaced as a
// whole, which needs a writable folder.
class SettingsLocation
{
public:
    // The file that is written. Worked out anew on every call, so a renamed or moved
    // executable, or a folder that became writable, is followed at once.
    static QString filePath();

    // The file that is read: filePath() once it exists; before that, in a read-only
    // program folder, the file beside the executable, whose settings the first write
    // then carries over.
    static QString readPath();

    // What tells this copy of the program from others, e.g. in the tray: "Deskword"
    // when its settings are in the user's configuration folder (an installed copy),
    // else "Deskword — <folder of the settings file>", the home folder written "~".
    static QString copyName();

    // Lets tests put the program's folder and name elsewhere; an empty folder
    // restores the executable's own.
    static void setProgramForTesting(const QString& folder, const QString& name);
};
