#!/usr/bin/env bash
# A nested weston (X11 backend, pixman, XWayland) on the virtual desktop:
# - with WAYLAND_DISPLAY and DISPLAY both set and no QT_QPA_PLATFORM, Deskword runs
#   on X11 through XWayland: its text window is in the XWayland server's window tree
#   with the text's X SHAPE;
# - on Wayland alone (QT_QPA_PLATFORM=wayland) only the text's pixels change on the
#   screen (no opaque rectangle), and 終了 leaves the stored XPOS/YPOS as they were.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=ui.sh
source "$(dirname "$0")/ui.sh"
# shellcheck source=desktops.sh
source "$(dirname "$0")/desktops.sh"
e2e_begin "$@"
ui_begin

printf '%s\r\n' '[DATA]' 'TEXT=Deskword' 'FontBold=True' 'FontName=DejaVu Sans' 'FontSize=28' \
    'Color=255' 'XPOS=1500' 'YPOS=3000' 'XPOS2=0' 'YPOS2=0' >"$E2E_TMP/settings.ini"
e2e_prepare_app app --settings "$E2E_TMP/settings.ini"
ini=$E2E_APP_DIR/deskword.ini

# weston's output is a window of 800 x 600 on the virtual desktop.
socket=deskword-weston
weston --backend=x11-backend.so --use-pixman --xwayland --socket="$socket" --width=800 \
    --height=600 --idle-time=0 >"$E2E_TMP/weston.log" 2>&1 &
weston_pid=$!
desktop_adopt "$weston_pid"
wait_for 30 test -S "$XDG_RUNTIME_DIR/$socket" || e2e_fail "weston did not open its socket"
wait_for 30 grep -q 'xserver listening on display' "$E2E_TMP/weston.log" ||
    e2e_fail "weston did not offer XWayland"
xwayland_display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$E2E_TMP/weston.log" | head -n 1)
wait_for 30 grep -q 'x11 output .*window id' "$E2E_TMP/weston.log" ||
    e2e_fail "weston did not open its output window"
weston_window=$(sed -n 's/.*x11 output .*window id \([0-9]*\).*/\1/p' "$E2E_TMP/weston.log" | head -n 1)
wait_for 10 is_viewable "$weston_window" || weston_window=""
[[ -n $weston_window ]] || e2e_fail "weston's output window did not appear"

# weston's output before Deskword.
read -r wx wy ww wh _ < <(window_geometry "$weston_window") || e2e_fail "weston's window vanished"
# Below weston's panel of 32 pixels (its clock changes).
area="$ww"x"$((wh - 32))"+"$wx"+"$((wy + 32))"
output_shot()
{
    import -window root -crop "$area" +repage -depth 8 "$1" 2>/dev/null
}
# The pointer off the output, so that weston draws no cursor on it; weston's
# background (a pattern of many colours) drawn, its fade-in over: two pictures in a
# row alike.
xdotool mousemove 1 $((DESKTOP_HEIGHT - 1))
background_drawn()
{
    output_shot "$E2E_TMP/weston-next.png" || return 1
    local same=1
    [[ -f $E2E_TMP/weston-base.png ]] &&
        [[ $(compare -metric AE "$E2E_TMP/weston-base.png" "$E2E_TMP/weston-next.png" null: 2>&1) == 0 ]] ||
        same=0
    mv "$E2E_TMP/weston-next.png" "$E2E_TMP/weston-base.png"
    ((same == 1)) && (($(convert "$E2E_TMP/weston-base.png" -format '%k' info:) > 10))
}
wait_for 30 background_drawn || e2e_fail "weston did not draw its background"

# A picture, white where two pictures differ, black elsewhere (compare fails when
# they differ).
difference()
{
    compare "$1" "$2" -compose src -highlight-color white -lowlight-color black png:- 2>/dev/null ||
        true
}

# Bounds "left top right bottom" of the pixels that differ from the base, in screen
# pixels; fails when none differ.
CHANGED=""
changed_bounds()
{
    output_shot "$E2E_TMP/weston-now.png" || return 1
    local box
    box=$(difference "$E2E_TMP/weston-base.png" "$E2E_TMP/weston-now.png" |
        convert - -trim -format '%w %h %X %Y' info: 2>/dev/null) || return 1
    local w h x y
    read -r w h x y <<<"$box"
    # A trimmed all-black picture is one pixel with no offset.
    [[ $w != 1 || $h != 1 ]] || return 1
    CHANGED="$((wx + x)) $((wy + 32 + y)) $((wx + x + w)) $((wy + 32 + y + h))"
}

# One line of 28 points: about 190 x 35 pixels; an opaque window would change far
# more of the output. The output must be still (two pictures in a row alike): while
# the window is shown, re-created and placed, weston may show a frame of each.
text_shown()
{
    changed_bounds || return 1
    local l t r b steady=0
    read -r l t r b <<<"$CHANGED"
    [[ -f $E2E_TMP/weston-last.png ]] &&
        [[ $(compare -metric AE "$E2E_TMP/weston-last.png" "$E2E_TMP/weston-now.png" null: 2>&1) == 0 ]] &&
        steady=1
    cp "$E2E_TMP/weston-now.png" "$E2E_TMP/weston-last.png"
    ((steady == 1 && r - l >= 100 && b - t >= 20))
}

# --- Wayland with XWayland: the X11 platform --------------------------------------
# weston starts XWayland for the first X client; Deskword starts once XWayland and
# weston's X window manager are ready.
wait_for 30 env DISPLAY="$xwayland_display" xdpyinfo || e2e_fail "XWayland did not start"
wait_for 30 grep -q 'created wm' "$E2E_TMP/weston.log" ||
    e2e_fail "weston's X window manager did not start"
(
    unset QT_QPA_PLATFORM
    export WAYLAND_DISPLAY=$socket DISPLAY=$xwayland_display
    exec "$E2E_APP_DIR/deskword" >>"$E2E_APP_DIR/deskword.log" 2>&1
) &
pid=$!
desktop_adopt "$pid"
window=$(DISPLAY=$xwayland_display text_window "$pid")
[[ -n $window ]] || e2e_fail "no text window in the XWayland server's window tree"
DISPLAY=$xwayland_display wait_for 30 shape_at_least "$window" 100 20 ||
    e2e_fail "the text window under XWayland has no text shape: $(DISPLAY=$xwayland_display shape_rects "$window" | head -n 3)"
kill -KILL "$pid"
wait "$pid" 2>/dev/null || true

# --- Wayland alone -----------------------------------------------------------------
# The window of the XWayland run has gone, and the output is still again (weston's
# cursor may have changed): a new picture of it for what follows.
xwayland_window_gone()
{
    ! DISPLAY=$xwayland_display xwininfo -id "$window" >/dev/null 2>&1
}
wait_for 20 xwayland_window_gone || e2e_fail "the window of the XWayland run stays"
rm -f "$E2E_TMP/weston-base.png"
wait_for 30 background_drawn || e2e_fail "weston's output did not settle"
(
    export QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=$socket
    unset DISPLAY
    exec "$E2E_APP_DIR/deskword" >>"$E2E_APP_DIR/deskword.log" 2>&1
) &
pid=$!
desktop_adopt "$pid"
wait_for 30 text_shown || e2e_fail "the text did not appear on weston's output"
read -r l t r b <<<"$CHANGED"
((r - l <= 260 && b - t <= 60)) ||
    e2e_fail "on Wayland alone the screen changed in $((r - l)) x $((b - t)) pixels at $l,$t: more than the text"

# 終了 from the menu that a right click on the text opens (there is no tray).
# The text's widest glyph row: a pixel that changed.
read -r gx gy < <(difference "$E2E_TMP/weston-base.png" "$E2E_TMP/weston-now.png" |
    convert - txt:- |
    awk -F'[,: ]+' '/#FFFFFF/ { print $1, $2; exit }')
[[ -n $gx ]] || e2e_fail "no pixel of the text found"
xdotool mousemove "$((wx + gx))" "$((wy + 32 + gy))"
xdotool click 3
# The menu is the white box on the output.
menu_shown()
{
    output_shot "$E2E_TMP/weston-menu.png" || return 1
    local box w h x y
    box=$(convert "$E2E_TMP/weston-menu.png" -fill black +opaque white -trim \
        -format '%w %h %X %Y' info: 2>/dev/null) || return 1
    read -r w h x y <<<"$box"
    ((w >= 60 && h >= 60)) || return 1
    MENU_BOX="$((wx + x)) $((wy + 32 + y)) $w $h"
}
wait_for 20 menu_shown || e2e_fail "a right click on the text opened no menu"
read -r mx my mw mh <<<"$MENU_BOX"
# 終了 is the last item.
xdotool mousemove "$((mx + mw / 2))" "$((my + mh - 12))"
xdotool click 1
wait_for 20 not_running "$pid" || e2e_fail "終了 did not end the program"
status=0
wait "$pid" || status=$?
((status == 0)) || e2e_fail "the program ended with status $status"
[[ $(ini_value "$ini" XPOS) == 1500 && $(ini_value "$ini" YPOS) == 3000 ]] ||
    e2e_fail "on Wayland alone 終了 stored XPOS=$(ini_value "$ini" XPOS) YPOS=$(ini_value "$ini" YPOS)"

e2e_pass
