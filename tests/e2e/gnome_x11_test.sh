#!/usr/bin/env bash
# Deskword on GNOME Shell 43 in an X11 session: see gnome_checks.sh.
GNOME_TEST_SESSION=x11
GNOME_TEST_STARTS=${GNOME_TEST_STARTS:-6}
# shellcheck source=gnome_checks.sh
source "$(dirname "$0")/gnome_checks.sh"
