#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Deskword need,
# and only those that are missing. Shared by run.sh and test.sh. Options below.
set -euo pipefail

packages=(
    # building
    cmake ninja-build g++ pkg-config
    qt6-base-dev libqt6opengl6-dev
    qt6-tools-dev qt6-l10n-tools  # Qt Linguist's CMake functions, lrelease and lupdate
    # the fuzz targets of the file parsers: clang and its libFuzzer and sanitizer runtimes
    clang libclang-rt-dev
    # more picture formats than the BMP, GIF, PNG and JPEG readers of Qt itself (WebP, TIFF, ...)
    qt6-image-formats-plugins
    # Qt's own texts (its dialogs' buttons and labels) in Japanese
    qt6-translations-l10n
    libbenchmark-dev libpixman-1-dev libx11-dev libxext-dev libxcb1-dev libxcb-shape0-dev
    # the virtual desktop (./run.sh without a display, end-to-end tests)
    xvfb xauth openbox trayer x11-utils x11-xserver-utils xdotool imagemagick procps
    wmctrl  # windows made full screen by the window manager in the end-to-end tests
    fonts-ipafont-gothic
    # the X server's pixmap memory per client in bench/startup.sh
    xrestop
    # other desktops: compositors, a nested Wayland compositor with XWayland
    picom xcompmgr weston xwayland qt6-wayland
    # a D-Bus tray in the end-to-end tests (a private bus, a StatusNotifierWatcher in Python)
    dbus-daemon python3-gi gir1.2-glib-2.0
    # the package test (dpkg-shlibdeps for the .deb's dependencies, desktop-file-validate,
    # appstreamcli for the AppStream metadata, lintian)
    dpkg-dev desktop-file-utils appstream lintian
)

# --desktops: also the desktops of the desktop tests (label "desktop"): LXQt's panel,
# sway with waybar and grim, GNOME Shell.
for option in "$@"; do
    case $option in
    --desktops)
        packages+=(lxqt-panel sway waybar grim)
        # GNOME Shell 43 with its AppIndicator extension, a stand-in for logind, GTK 4
        packages+=(gnome-shell gnome-shell-extension-appindicator python3-dbusmock gir1.2-gtk-4.0)
        ;;
    *) echo "usage: $0 [--desktops]" >&2 && exit 2 ;;
    esac
done

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    if [[ "$status" != installed ]]; then
        missing+=("$package")
    fi
done
if ((${#missing[@]} == 0)); then
    exit 0
fi

echo "deps: installing ${missing[*]}"
if ((EUID == 0)); then
    as_root=()
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
else
    echo "deps: these Debian packages are missing and cannot be installed without root" \
        "(no sudo): ${missing[*]}" >&2
    echo "deps: install them as root: apt-get install --no-install-recommends ${missing[*]}" >&2
    exit 1
fi

apt_options=(-o DPkg::Lock::Timeout=600 -q)
export DEBIAN_FRONTEND=noninteractive
if ! "${as_root[@]}" apt-get "${apt_options[@]}" update; then
    echo "deps: 'apt-get update' failed; cannot install ${missing[*]}" >&2
    exit 1
fi
if ! "${as_root[@]}" apt-get "${apt_options[@]}" install -y --no-install-recommends "${missing[@]}"; then
    echo "deps: 'apt-get install' failed for ${missing[*]}" >&2
    exit 1
fi
