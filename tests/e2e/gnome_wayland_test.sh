#!/usr/bin/env bash
# Deskword on GNOME Shell 43 in a Wayland session, on XWayland: see gnome_checks.sh.
GNOME_TEST_SESSION=wayland
GNOME_TEST_STARTS=${GNOME_TEST_STARTS:-24}
# shellcheck source=gnome_checks.sh
source "$(dirname "$0")/gnome_checks.sh"
