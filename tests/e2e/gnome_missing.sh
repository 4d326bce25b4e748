#!/usr/bin/env bash
# Prints the Debian packages of the GNOME Shell tests that are not installed, one a
# line (scripts/deps.sh --desktops installs them).
for package in gnome-shell gnome-shell-extension-appindicator python3-dbusmock gir1.2-gtk-4.0; do
    [[ $(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null) == installed ]] ||
        echo "$package"
done
