#!/usr/bin/env bash
# What Deskword shows after it starts, as a user sees it on the desktop:
# - a first run (no settings, no picture) shows nothing but the tray icon, the menu
#   has "picture in front of the text" checked, clicks on the icon other than the
#   right click open nothing, nothing is written until Exit, and Exit stores the
#   text window's position;
# - stored settings put the two-line text, in the stored font and colour, at XPOS,
#   YPOS;
# - the same settings without FontBold count as a first run: the text's corner at
#   the screen centre, in the initial font and colour.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=ui.sh
source "$(dirname "$0")/ui.sh"
e2e_begin "$@"
ui_begin

# Checks that SHAPE is one line of text drawn twice, the second line straight below
# the first, and sets LINE_SPACING (pixels from line to line), LINE_HEIGHT (ink height
# of one line) and GLYPH_X, GLYPH_Y (a pixel of the first line's widest rectangle).
check_two_lines()
{
    local name=$1 count half first second
    count=$(grep -c . <<<"$SHAPE")
    ((count > 0 && count % 2 == 0)) || e2e_fail "$name: the shape has $count rectangles, not two equal lines"
    half=$((count / 2))
    first=$(head -n "$half" <<<"$SHAPE")
    second=$(tail -n "$half" <<<"$SHAPE")
    LINE_SPACING=$(($(head -n 1 <<<"$second" | cut -d' ' -f2) - $(head -n 1 <<<"$first" | cut -d' ' -f2)))
    ((LINE_SPACING > 0)) || e2e_fail "$name: the second line does not lie below the first"
    local moved
    moved=$(awk -v d="$LINE_SPACING" '{ print $1, $2 + d, $3, $4 }' <<<"$first")
    [[ $moved == "$second" ]] ||
        e2e_fail "$name: the two lines differ (spacing $LINE_SPACING):"$'\n'"$SHAPE"
    local l t r b
    read -r l t r b < <(region_bounds <<<"$first")
    LINE_HEIGHT=$((b - t))
    ((LINE_HEIGHT <= LINE_SPACING)) ||
        e2e_fail "$name: the lines overlap (ink height $LINE_HEIGHT, spacing $LINE_SPACING)"
    read -r l t r b < <(region_bounds <<<"$SHAPE")
    ((b - t > LINE_SPACING && b - t <= 2 * LINE_SPACING)) ||
        e2e_fail "$name: the text is $((b - t)) pixels tall, not two lines of $LINE_SPACING"
    local x y w h
    read -r x y w h < <(sort -k3,3nr <<<"$first" | head -n 1)
    GLYPH_X=$((x + w / 2))
    GLYPH_Y=$y
}

# Starts the prepared program and checks that it shows the two lines (see
# check_two_lines), a shape of at least MIN_W x MIN_H pixels, with the text window at
# (X, Y), and that a glyph pixel shows COLOUR. NAME starts the failure messages.
shows_two_lines()
{
    local name=$1 min_w=$2 min_h=$3 x=$4 y=$5 colour=$6
    start_text_window "$name"
    wait_for 30 shape_at_least "$TEXT_WINDOW" "$min_w" "$min_h" ||
        e2e_fail "$name: the text was not shown (window $(window_geometry "$TEXT_WINDOW"))"
    SHAPE=$(shape_rects "$TEXT_WINDOW")
    window_at "$TEXT_WINDOW" "$x" "$y" ||
        e2e_fail "$name: the text window is at $(window_geometry "$TEXT_WINDOW"), expected $x $y"
    check_two_lines "$name"
    wait_for 10 pixel_is $((x + GLYPH_X)) $((y + GLYPH_Y)) "$colour" ||
        e2e_fail "$name: a glyph pixel shows $(screen_pixel $((x + GLYPH_X)) $((y + GLYPH_Y))), expected $colour"
}

# --- a first run: only the tray icon -------------------------------------------------
e2e_prepare_app first_run
e2e_start_app "$E2E_APP_DIR"
pid=$E2E_PID
tray=$(tray_icon "$pid") || e2e_fail "first run: no tray icon"
read -r x y w h state < <(window_geometry "$tray") || e2e_fail "first run: the tray icon vanished"
((x >= 1280 - 200 && y + h <= 40)) || e2e_fail "first run: the tray icon is at $x,$y, not in the tray"

# Start-up is over once the menu can be used: the mode it checks is the first one.
menu_checked_mode "$pid"
[[ $CHECKED_MODE == "$MODE_FRONT" ]] ||
    e2e_fail "first run: display mode $CHECKED_MODE is checked, expected $MODE_FRONT"
[[ $(viewable_windows "$pid") == "$tray" ]] ||
    e2e_fail "first run: windows other than the tray icon are shown: $(viewable_windows "$pid" | tr '\n' ' ')"
[[ ! -e $E2E_APP_DIR/deskword.ini ]] ||
    e2e_fail "first run: settings were written without any choice:"$'\n'"$(cat "$E2E_APP_DIR/deskword.ini")"

# A left click and a double click on the icon open nothing. The right click after
# them is handled after them, so by the time its menu shows, anything they opened
# would show too.
read -r x y w h state < <(window_geometry "$tray") || e2e_fail "the tray icon vanished"
xdotool mousemove "$((x + w / 2))" "$((y + h / 2))"
xdotool click 1
xdotool click --repeat 2 --delay 80 1
UI_SUBMENU=""
open_tray_menu "$pid"
opened=$(comm -13 <(echo "$tray") <(viewable_windows "$pid"))
[[ $opened == "$UI_MENU" ]] ||
    e2e_fail "a left click or double click on the tray icon opened a window: $(tr '\n' ' ' <<<"$opened")"
xdotool mousemove 300 600
wait_for 10 escape_menus || e2e_fail "the menu did not close on Escape"
[[ $(viewable_windows "$pid") == "$tray" ]] ||
    e2e_fail "clicks on the tray icon left windows open: $(viewable_windows "$pid" | tr '\n' ' ')"

# Exit ends the program and stores where the (hidden) text window is: the screen
# centre, in twips.
menu_choose "$pid" "$MENU_EXIT"
ended_cleanly "$pid" "first run: Exit"
ini=$E2E_APP_DIR/deskword.ini
[[ $(ini_value "$ini" XPOS) == 9600 && $(ini_value "$ini" YPOS) == 7680 ]] ||
    e2e_fail "first run: Exit stored XPOS=$(ini_value "$ini" XPOS) YPOS=$(ini_value "$ini" YPOS), expected 9600, 7680"
ini_value "$ini" FontBold >/dev/null && e2e_fail "first run: Exit stored FontBold"

# --- stored settings ------------------------------------------------------------------
settings=$E2E_TMP/stored.ini
printf '%s\r\n' '[DATA]' 'TEXT=Deskword on the desk%rDeskword on the desk' 'FontBold=True' \
    'FontItalic=False' 'FontName=DejaVu Sans' 'FontSize=28' 'FontStrikethrough=False' \
    'FontUnderline=False' 'Color=255' 'XPOS=1500' 'YPOS=3000' 'XPOS2=0' 'YPOS2=0' >"$settings"
e2e_prepare_app stored --settings "$settings"
# Two lines of 28 points are far taller than the busy badge; the place is XPOS/15,
# YPOS/15; the stored colour 255 is red (0x00BBGGRR).
shows_two_lines stored 200 70 100 200 "#FF0000"
stored_spacing=$LINE_SPACING
# 28 points are 37 pixels at 96 DPI; a line is at least that.
((LINE_SPACING >= 37 && LINE_SPACING <= 70)) ||
    e2e_fail "stored: line spacing $LINE_SPACING pixels does not fit a 28-point font"
stop_app "$pid"

# --- the same without FontBold: a first run -------------------------------------------
grep -v '^FontBold=' "$settings" >"$E2E_TMP/no_bold.ini"
e2e_prepare_app no_bold --settings "$E2E_TMP/no_bold.ini"
# At the screen centre, in the initial font and the window-text colour, not the
# stored red.
shows_two_lines "no FontBold" 100 20 640 512 "#000000"
((LINE_SPACING < stored_spacing)) ||
    e2e_fail "no FontBold: the stored 28-point font was used (spacing $LINE_SPACING, stored font $stored_spacing)"
stop_app "$pid"

e2e_pass
