#!/usr/bin/env bash
# Compositors draw no shadow, dimming or frame around the text window: with picom (its
# sample configuration) and with xcompmgr's client-side shadows (-c) running, every
# desktop pixel outside the text's shape is as it was without Deskword, and every
# glyph pixel has exactly the text colour.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=ui.sh
source "$(dirname "$0")/ui.sh"
# shellcheck source=desktops.sh
source "$(dirname "$0")/desktops.sh"
e2e_begin "$@"
ui_begin

# A mid-grey desktop shows a shadow or dimming at once; red text (Color is 0x00BBGGRR).
xsetroot -solid '#808080'
printf '%s\r\n' '[DATA]' 'TEXT=Deskword' 'FontBold=True' 'FontName=DejaVu Sans' 'FontSize=28' \
    'Color=255' 'XPOS=3000' 'YPOS=4500' 'XPOS2=0' 'YPOS2=0' >"$E2E_TMP/settings.ini"
e2e_prepare_app app --settings "$E2E_TMP/settings.ini"
red='#FF0000'

# picom's sample configuration as Debian ships it; vsync off, since picom does not
# start on Xvfb with it on.
sample=/usr/share/doc/picom/examples/picom.sample.conf
[[ -f $sample ]] || sample=$(find /usr/share/doc/picom -name 'picom.sample.conf*' | head -n 1)
[[ -f $sample ]] || e2e_fail "picom's sample configuration is not installed"
if [[ $sample == *.gz ]]; then
    zcat "$sample" >"$E2E_TMP/picom.conf"
else
    cp "$sample" "$E2E_TMP/picom.conf"
fi
sed -i 's/^\s*vsync\s*=.*/vsync = false;/' "$E2E_TMP/picom.conf"
grep -q '^vsync = false;' "$E2E_TMP/picom.conf" || e2e_fail "no vsync line in picom's sample configuration"

# Runs Deskword under the named compositor and checks the screen.
check_under()
{
    local name=$1 base=$E2E_TMP/$1-base.png mask=$E2E_TMP/$1-mask.png window
    shift
    compositor_start "$name" "$@"
    # The desktop without Deskword, once the compositor paints it.
    wait_for 20 pixel_is 640 600 '#808080' || e2e_fail "$name: the desktop is not grey"
    screenshot "$base" || e2e_fail "$name: no screenshot"

    e2e_start_app "$E2E_APP_DIR"
    window=$(text_window "$E2E_PID")
    [[ -n $window ]] || e2e_fail "$name: no text window"
    wait_for 30 shape_at_least "$window" 100 20 || e2e_fail "$name: the text was not shown"
    figure_mask "$window" "$mask" || e2e_fail "$name: the text window has no shape"
    # Waiting also lets a fade-in end.
    wait_for 20 outside_unchanged "$base" "$mask" ||
        e2e_fail "$name: $OUTSIDE_DIFFERENCE desktop pixels outside the text changed"
    wait_for 20 figure_is "$red" "$mask" ||
        e2e_fail "$name: $FIGURE_DIFFERENCE glyph pixels are not $red"
    # Another window takes the focus: the text is not dimmed.
    xmessage -geometry 300x100+800+700 focus >"$E2E_TMP/xmessage.log" 2>&1 &
    local other=$!
    desktop_adopt "$other"
    local id
    id=$(timeout 10 xdotool search --sync --onlyvisible --class Xmessage 2>/dev/null | head -n 1) || true
    [[ -n $id ]] || e2e_fail "$name: the other window did not appear"
    xdotool windowactivate "$id" 2>/dev/null || true
    wait_for 20 figure_is "$red" "$mask" ||
        e2e_fail "$name: with another window focused $FIGURE_DIFFERENCE glyph pixels are not $red"
    kill "$other" 2>/dev/null || true
    wait "$other" 2>/dev/null || true
    stop_app "$E2E_PID"
    compositor_stop
}

check_under picom picom --config "$E2E_TMP/picom.conf"
check_under xcompmgr xcompmgr -c

e2e_pass
