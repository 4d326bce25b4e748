#!/usr/bin/env bash
# A compositor that starts or stops while the text is shown: without one the text
# window is 24-bit (the X server would otherwise blend a 32-bit window into the desktop
# itself and keep a second copy of its pixels); when xcompmgr (client-side shadows)
# starts, the window is made anew with an alpha channel, so that it gets no shadow;
# when it stops, without again. Throughout, the text keeps its place, its exact shape
# and its colour, and the desktop around it is as it was.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=ui.sh
source "$(dirname "$0")/ui.sh"
# shellcheck source=desktops.sh
source "$(dirname "$0")/desktops.sh"
e2e_begin "$@"
ui_begin

xsetroot -solid '#808080'
printf '%s\r\n' '[DATA]' 'TEXT=Deskword' 'FontBold=True' 'FontName=DejaVu Sans' 'FontSize=28' \
    'Color=255' 'XPOS=3000' 'YPOS=4500' 'XPOS2=0' 'YPOS2=0' >"$E2E_TMP/settings.ini"
e2e_prepare_app app --settings "$E2E_TMP/settings.ini"
red='#FF0000'
base=$E2E_TMP/base.png mask=$E2E_TMP/mask.png
wait_for 20 pixel_is 640 600 '#808080' || e2e_fail "the desktop is not grey"
screenshot "$base" || e2e_fail "no screenshot"

# Whether the program's text window (found anew: a window made anew has a new id) has
# the depth $1, is viewable where it was and has the shape it had.
text_window_is()
{
    local window
    window=$(text_window "$E2E_PID")
    [[ -n $window ]] || return 1
    [[ $(xwininfo -id "$window" 2>/dev/null | awk '/Depth:/ { print $2 }') == "$1" ]] &&
        [[ $(window_geometry "$window") == "$geometry" ]] && shape_is "$window" "$shape"
}

# The text shows in its colour, and nothing around it changed (no shadow, no dimming).
text_shows()
{
    wait_for 20 figure_is "$red" "$mask" ||
        e2e_fail "$1: $FIGURE_DIFFERENCE glyph pixels are not $red"
    wait_for 20 outside_unchanged "$base" "$mask" ||
        e2e_fail "$1: $OUTSIDE_DIFFERENCE desktop pixels outside the text changed"
}

e2e_start_app "$E2E_APP_DIR"
window=$(text_window "$E2E_PID")
[[ -n $window ]] || e2e_fail "no text window"
wait_for 30 shape_at_least "$window" 100 20 || e2e_fail "the text was not shown"
shape=$(shape_rects "$window")
geometry=$(window_geometry "$window")
text_window_is 24 || e2e_fail "without a compositor the text window is not a 24-bit one"
figure_mask "$window" "$mask" || e2e_fail "the text window has no shape"
text_shows "without a compositor"

compositor_start xcompmgr xcompmgr -c
wait_for 20 text_window_is 32 ||
    e2e_fail "under a compositor the text window was not made anew with an alpha channel"
text_shows "after xcompmgr started"

compositor_stop
wait_for 20 text_window_is 24 ||
    e2e_fail "after the compositor ended the text window was not made anew without alpha"
text_shows "after xcompmgr ended"

stop_app "$E2E_PID"
e2e_pass
