#!/usr/bin/env bash
# Deskword on LXQt: lxqt-panel (its StatusNotifierItem host and XEmbed tray) on
# openbox, with a private session bus. Deskword is started several times, since a
# lock-up between the two hit about every second start:
# - every start, the panel shows Deskword's icon within a few seconds;
# - a right click on the text made 6 s after the start opens the menu within 2 s;
# - the panel keeps answering on the bus (it does not freeze);
# then the tray menu: a right click on the icon in the panel shows Deskword's menu
# there, "バージョン情報" from it shows the about box and "終了" ends the program.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=ui.sh
source "$(dirname "$0")/ui.sh"
# shellcheck source=dbus_tray.sh
source "$(dirname "$0")/dbus_tray.sh"
command -v lxqt-panel >/dev/null || e2e_skip "lxqt-panel is not installed"
e2e_begin "$@"
ui_begin
export LANGUAGE=ja
trap 'e2e_fail "unexpected failure at line $LINENO: $BASH_COMMAND"' ERR

# The panel's own trays take the place of trayer's.
desktop_stop_tray || e2e_fail "trayer did not end"
dbus_session_begin

STARTS=${LXQT_STARTS:-6}
# From the text on the screen to the icon in the panel: about 2 s; without the
# IconThemePath the panel asks for, 5 s or more; with the lock-up, about 25 s.
ICON_SECONDS=4

# --- the panel ------------------------------------------------------------------------
mkdir "$E2E_TMP/home"
# As startlxqt starts it: the panel finds its plugins' configuration in /usr/share.
HOME=$E2E_TMP/home XDG_CONFIG_DIRS=/etc/xdg:/usr/share XDG_CURRENT_DESKTOP=LXQt \
    lxqt-panel >"$E2E_TMP/lxqt-panel.log" 2>&1 &
panel_pid=$!
desktop_adopt "$panel_pid"

# The panel's bus object answers within 2 s: its main thread is not blocked.
panel_answers()
{
    timeout 5 dbus-send --session --print-reply --reply-timeout=2000 \
        --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
        string:IsStatusNotifierHostRegistered 2>/dev/null | grep -q 'boolean true'
}
wait_for 30 panel_answers || e2e_fail "the panel's StatusNotifierWatcher did not start"

PANEL=""
find_panel()
{
    local id x y w h state
    for id in $(xdotool search --onlyvisible --pid "$panel_pid" 2>/dev/null); do
        read -r x y w h state < <(window_geometry "$id") || continue
        if ((w >= DESKTOP_WIDTH_PIXELS / 2 && h <= 64)); then
            PANEL="$x $y $w $h"
            return 0
        fi
    done
    return 1
}
DESKTOP_WIDTH_PIXELS=$(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1] }')
wait_for 30 find_panel || e2e_fail "the panel did not appear"
read -r px py pw ph <<<"$PANEL"

# Pixels of the panel in the icon's blue (#1F5FA8); the panel itself has none.
panel_blue()
{
    import -window root -crop "${pw}x${ph}+${px}+${py}" -depth 8 txt:- 2>/dev/null |
        awk -F'[(),]+' 'NR > 1 {
                r = $3 + 0; g = $4 + 0; b = $5 + 0
                if (r < 60 && g > 70 && g < 120 && b > 140 && b < 200) { n++; sx += $1; sy += $2 }
            }
            END { if (n > 0) printf "%d %d %d\n", n, sx / n, sy / n; else print 0 }'
}
ICON_AT=""
icon_shown()
{
    local n x y
    read -r n x y < <(panel_blue)
    ((n >= 100)) || return 1
    ICON_AT="$((px + x)) $((py + y))"
}
icon_gone()
{
    local n rest
    read -r n rest < <(panel_blue)
    ((n < 100))
}
icon_gone || e2e_fail "the panel shows the icon's blue before Deskword started"

# --- Deskword, started again and again ------------------------------------------------
printf '%s\r\n' '[DATA]' 'TEXT=Deskword' 'FontBold=True' 'FontName=DejaVu Sans' 'FontSize=28' \
    'Color=0' 'XPOS=3000' 'YPOS=3000' 'XPOS2=0' 'YPOS2=0' 'PICTURE=2' >"$E2E_TMP/settings.ini"
e2e_prepare_app app --settings "$E2E_TMP/settings.ini"

now_ms()
{
    date +%s%3N
}

# Waits until the moment START + MS (milliseconds).
wait_until()
{
    local left=$(($1 + $2 - $(now_ms)))
    ((left <= 0)) || sleep "$((left / 1000)).$(printf '%03d' $((left % 1000)))"
}

for ((run = 1; run <= STARTS; run++)); do
    started=$(now_ms)
    start_text_window "start $run"
    wait_for 30 shape_at_least "$TEXT_WINDOW" 100 20 || e2e_fail "start $run: the text was not shown"

    text_ms=$(($(now_ms) - started))
    wait_for "$ICON_SECONDS" icon_shown ||
        e2e_fail "start $run: the panel did not show the icon within $ICON_SECONDS s of the text"
    icon_ms=$(($(now_ms) - started - text_ms))
    panel_answers || e2e_fail "start $run: the panel does not answer on the bus"

    # A right click on a glyph, 6 s after the start.
    read -r gx gy gw _ < <(shape_rects "$TEXT_WINDOW" | sort -k3,3nr | head -n 1)
    read -r wx wy _ < <(window_geometry "$TEXT_WINDOW")
    before=$(viewable_windows "$pid")
    wait_until "$started" 6000
    xdotool mousemove "$((wx + gx + gw / 2))" "$((wy + gy))"
    clicked=$(now_ms)
    xdotool click 3
    wait_for 5 find_new_window "$pid" "$before" ||
        e2e_fail "start $run: a right click on the text opened no menu"
    menu_ms=$(($(now_ms) - clicked))
    ((menu_ms <= 2000)) || e2e_fail "start $run: the menu opened ${menu_ms} ms after the right click"
    UI_MENU=$UI_NEW_WINDOW
    UI_SUBMENU=""
    wait_for 10 escape_menus || e2e_fail "start $run: the menu did not close on Escape"
    panel_answers || e2e_fail "start $run: the panel does not answer on the bus"
    echo "start $run: text after $text_ms ms, icon $icon_ms ms later, menu $menu_ms ms after the click"

    if ((run < STARTS)); then
        stop_app "$pid"
        wait_for 10 icon_gone || e2e_fail "start $run: the icon stayed in the panel after the end"
    fi
done

# --- the tray menu in the panel -------------------------------------------------------
read -r ix iy <<<"$ICON_AT"
# The panel's menu: a new window of the panel showing the menu's items inside its dark
# frame (a tooltip of the icon may come and go beside it). Sets UI_MENU and UI_LINES.
panel_menu_shown()
{
    local id x y w h state
    for id in $(comm -13 <(echo "$1") <(viewable_windows "$panel_pid")); do
        read -r x y w h state < <(window_geometry "$id") || continue
        UI_LINES=$(area_text_lines "$id" 3 3 "$((w - 6))" "$((h - 6))") || continue
        if [[ -n $UI_LINES && $(wc -l <<<"$UI_LINES") -eq $((MENU_EXIT + 1)) ]]; then
            UI_MENU=$id
            return 0
        fi
    done
    return 1
}
open_panel_menu()
{
    local before
    before=$(viewable_windows "$panel_pid")
    xdotool mousemove "$ix" "$iy"
    xdotool click 3
    UI_SUBMENU=""
    wait_for 10 panel_menu_shown "$before" || e2e_fail "a right click on the icon showed no menu of $((MENU_EXIT + 1)) items"
}
open_panel_menu
ABOUT_BOX=""
find_about_box()
{
    ABOUT_BOX=$(xdotool search --all --onlyvisible --pid "$pid" --name '^バージョン情報$' 2>/dev/null | head -n 1)
    [[ -n $ABOUT_BOX ]]
}
click_line "$UI_MENU" "$MENU_ABOUT"
wait_for 10 find_about_box || e2e_fail "\"バージョン情報\" in the panel's menu did not show the about box"
close_box "$ABOUT_BOX" || e2e_fail "no close box on the about box"
wait_for 10 is_hidden "$ABOUT_BOX" || e2e_fail "the about box did not close"

open_panel_menu
click_line "$UI_MENU" "$MENU_EXIT"
ended_cleanly "$pid" "\"終了\" in the panel's menu"
panel_answers || e2e_fail "the panel does not answer on the bus after the end"

e2e_pass
