#pragma once

#include <QByteArray>

// The X server's resource text (the root window's RESOURCE_MANAGER property, as xrdb
// leaves it), read on a connection of its own before the toolkit starts.
class XResources
{
public:
    // Empty without an X server, or where the program is built without X11.
    static QByteArray read();
};
