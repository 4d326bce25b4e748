#pragma once

// The tray of desktops such as KDE Plasma or GNOME with the AppIndicator extension: a
// StatusNotifierItem host reached over the session bus instead of an XEmbed tray.
class DBusTray
{
public:
    // True when a StatusNotifierWatcher on the session bus reports a registered host,
    // the same test Qt makes before it shows a tray icon as a StatusNotifierItem.
    // Such a host shows the icon's context menu itself (exported over D-Bus).
    static bool hostAvailable();
};
