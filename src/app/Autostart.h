#pragma once

#include <QByteArray>
#include <QString>

// The user's session autostart entry for Deskword:
// $XDG_CONFIG_HOME/autostart/<desktop entry id>.desktop (by default under
// ~/.config). It is the program's own desktop entry with Exec naming the running
// executable, so the session starts exactly this program.
class Autostart
{
public:
    // The desktop entry's id, also the name of the autostart file without ".desktop".
    static QString entryId();
    static QString filePath();

    // True when the file exists and does not say that it is switched off (Hidden=true,
    // or X-GNOME-Autostart-enabled=false, as desktops' session settings write it).
    static bool isEnabled();

    // Writes the entry for the executable (atomically: a temporary file in the same
    // folder, then a rename). Returns false when it could not be written.
    static bool enable(const QString& executable);
    // Removes the entry. Returns false when it is still there.
    static bool disable();

    // The autostart entry's contents for the executable.
    static QByteArray entryText(const QString& executable);
    // The executable as the value of an Exec key: quoted and escaped where the path
    // holds characters that Exec reserves.
    static QString execValue(const QString& executable);
};
