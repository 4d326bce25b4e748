#!/usr/bin/env bash
# The text is on every workspace and above normal windows: after `xdotool set_desktop`
# it is still mapped, and a normal window that is opened, raised or focused over it on
# the new workspace is drawn below it.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=ui.sh
source "$(dirname "$0")/ui.sh"
# shellcheck source=desktops.sh
source "$(dirname "$0")/desktops.sh"
e2e_begin "$@"
ui_begin

printf '%s\r\n' '[DATA]' 'TEXT=Deskword' 'FontBold=True' 'FontName=DejaVu Sans' 'FontSize=28' \
    'Color=255' 'XPOS=3000' 'YPOS=4500' 'XPOS2=0' 'YPOS2=0' >"$E2E_TMP/settings.ini"
e2e_prepare_app app --settings "$E2E_TMP/settings.ini"
red='#FF0000'

if (($(xdotool get_num_desktops) < 2)); then
    xdotool set_num_desktops 2
fi
current_desktop_is()
{
    [[ $(xdotool get_desktop) == "$1" ]]
}

e2e_start_app "$E2E_APP_DIR"
window=$(text_window "$E2E_PID")
[[ -n $window ]] || e2e_fail "no text window"
wait_for 30 shape_at_least "$window" 100 20 || e2e_fail "the text was not shown"
figure_mask "$window" "$E2E_TMP/mask.png" || e2e_fail "the text window has no shape"
wait_for 10 figure_is "$red" "$E2E_TMP/mask.png" || e2e_fail "the text is not $red at first"

# Opens a normal window over the whole text on the current workspace, focuses and
# raises it; sets COVER.
cover_text()
{
    xmessage -geometry 900x500+50+150 -bg white cover >"$E2E_TMP/xmessage-$1.log" 2>&1 &
    COVER=$!
    desktop_adopt "$COVER"
    local id
    id=$(timeout 10 xdotool search --sync --onlyvisible --class Xmessage 2>/dev/null | tail -n 1) || true
    [[ -n $id ]] || e2e_fail "$1: the covering window did not appear"
    xdotool windowactivate "$id" 2>/dev/null || true
    xdotool windowraise "$id"
}

for desktop in 1 0; do
    xdotool set_desktop "$desktop"
    wait_for 10 current_desktop_is "$desktop" || e2e_fail "the workspace did not change to $desktop"
    is_viewable "$window" || e2e_fail "the text is not mapped on workspace $desktop"
    cover_text "workspace $desktop"
    wait_for 10 figure_is "$red" "$E2E_TMP/mask.png" ||
        e2e_fail "on workspace $desktop a normal window covers $FIGURE_DIFFERENCE glyph pixels"
done

# The covering windows stay; back on workspace 1 the text is still on top of its own.
xdotool set_desktop 1
wait_for 10 current_desktop_is 1 || e2e_fail "the workspace did not change back to 1"
wait_for 10 figure_is "$red" "$E2E_TMP/mask.png" ||
    e2e_fail "back on workspace 1, $FIGURE_DIFFERENCE glyph pixels are covered"
is_viewable "$window" || e2e_fail "the text is not mapped back on workspace 1"

e2e_pass
