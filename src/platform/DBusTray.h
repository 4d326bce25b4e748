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

    // Gives the StatusNotifierItem that Qt exports for a shown tray icon the property
    // IconThemePath (empty: the icon travels as pixels), which Qt's item lacks. Some
    // hosts (LXQt's panel) fetch the icon only after they have read that property, and
    // without it show the icon only once the item announces a new one. Does nothing
    // where no such item is exported.
    static void answerIconThemePath();
};
