#!/usr/bin/env bash
# "全画面表示のときは隠す" (Hide over full-screen windows), with a window made full
# screen by the window manager (wmctrl) and active:
# - with the item off (the default) the text stays on top of the full-screen window;
# - chosen from the tray menu, it stores HIDEONFULLSCREEN=True;
# - with it on, the text hides while the active window is full screen and shows again
#   when that window leaves full screen; neither stores anything.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=ui.sh
source "$(dirname "$0")/ui.sh"
# shellcheck source=desktops.sh
source "$(dirname "$0")/desktops.sh"
e2e_begin "$@"
ui_begin
command -v wmctrl >/dev/null || e2e_fail "wmctrl is missing (scripts/deps.sh installs it)"

printf '%s\r\n' '[DATA]' 'TEXT=Deskword' 'FontBold=True' 'FontName=DejaVu Sans' 'FontSize=28' \
    'Color=255' 'XPOS=3000' 'YPOS=4500' 'XPOS2=0' 'YPOS2=0' >"$E2E_TMP/settings.ini"
e2e_prepare_app app --settings "$E2E_TMP/settings.ini"
ini=$E2E_APP_DIR/deskword.ini
red='#FF0000'

e2e_start_app "$E2E_APP_DIR"
pid=$E2E_PID
window=$(text_window "$pid")
[[ -n $window ]] || e2e_fail "no text window"
wait_for 30 shape_at_least "$window" 100 20 || e2e_fail "the text was not shown"
figure_mask "$window" "$E2E_TMP/mask.png" || e2e_fail "the text window has no shape"
wait_for 10 figure_is "$red" "$E2E_TMP/mask.png" || e2e_fail "the text is not $red at first"

# A normal window of another program; sets OTHER to its id.
xmessage -geometry 600x400+50+150 -bg white other >"$E2E_TMP/xmessage.log" 2>&1 &
desktop_adopt $!
OTHER=$(timeout 10 xdotool search --sync --onlyvisible --class Xmessage 2>/dev/null | tail -n 1) || true
[[ -n $OTHER ]] || e2e_fail "the other window did not appear"

is_full_screen()
{
    xprop -id "$OTHER" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_FULLSCREEN
}
not_full_screen()
{
    ! is_full_screen
}
is_active()
{
    local active
    active=$(xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | awk '{ print $NF }')
    [[ -n $active ]] && (($(printf '%d' "$active") == OTHER))
}
# Makes the other window full screen (add) or not (remove) and active.
full_screen()
{
    wmctrl -i -r "$OTHER" -b "$1,fullscreen" || e2e_fail "wmctrl could not $1 full screen"
    wmctrl -i -a "$OTHER" || e2e_fail "wmctrl could not activate the other window"
    if [[ $1 == add ]]; then
        wait_for 10 is_full_screen || e2e_fail "the other window did not become full screen"
    else
        wait_for 10 not_full_screen ||
            e2e_fail "the other window did not leave full screen"
    fi
    wait_for 10 is_active || e2e_fail "the other window is not active"
}

# --- off (the default): the text stays on top -------------------------------------------
full_screen add
wait_for 10 figure_is "$red" "$E2E_TMP/mask.png" ||
    e2e_fail "with the item off a full-screen window covers $FIGURE_DIFFERENCE glyph pixels"
is_viewable "$window" || e2e_fail "with the item off the text hid"
full_screen remove

# --- on: hidden over the full-screen window, back when it leaves full screen ----------
menu_choose "$pid" "$MENU_HIDE_FULLSCREEN"
wait_for 10 ini_value_is "$ini" HIDEONFULLSCREEN True ||
    e2e_fail "the item did not store HIDEONFULLSCREEN=True"
cp -- "$ini" "$E2E_TMP/stored.ini"
is_viewable "$window" || e2e_fail "the text hid with no full-screen window"

full_screen add
wait_for 10 is_hidden "$window" || e2e_fail "the text stays over the full-screen window"
cmp -s "$ini" "$E2E_TMP/stored.ini" || e2e_fail "hiding the text changed the settings file"
full_screen remove
wait_for 10 is_viewable "$window" || e2e_fail "the text did not come back after full screen"
wait_for 10 figure_is "$red" "$E2E_TMP/mask.png" ||
    e2e_fail "after full screen $FIGURE_DIFFERENCE glyph pixels of the text are covered"
cmp -s "$ini" "$E2E_TMP/stored.ini" || e2e_fail "showing the text changed the settings file"

e2e_pass
