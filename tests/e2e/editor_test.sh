#!/usr/bin/env bash
# Editing the desktop text as a user would, from the tray menu's "編集":
# - typing two lines and pressing "実行" gives the text window exactly the shape that
#   a start with that text shows, and stores TEXT=ab%rcd;
# - the editor keeps the text; a third line typed and the editor closed with its close
#   box: the editor goes, the text window shows the three lines, TEXT=ab%rcd%ref;
# - the editor opened again holds the desktop text; a fourth line typed changes
#   nothing until "終了" (Exit) with the editor open, which stores
#   TEXT=ab%rcd%ref%rgh and ends the program with status 0;
# - after a restart, the text replaced by two lines and SIGTERM (the end of the
#   session) with the editor open: TEXT=ab%rxy is stored and the status is 0.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=ui.sh
source "$(dirname "$0")/ui.sh"
e2e_begin "$@"
ui_begin

# The text at (100, 100) in a large black font; no picture.
settings()
{
    printf '%s\r\n' '[DATA]' "TEXT=$1" 'FontBold=True' 'FontName=DejaVu Sans' 'FontSize=20' \
        'FontItalic=False' 'FontUnderline=False' 'FontStrikethrough=False' \
        'Color=0' 'XPOS=1500' 'YPOS=1500' 'XPOS2=0' 'YPOS2=0' 'PICTURE=0' >"$2"
}

# Whether the text window shows N lines of text (the busy badge alone is one run of
# rows, smaller than a line of this font).
shows_lines()
{
    is_viewable "$1" && shape_at_least "$1" 20 20 && [[ $(shape_line_count "$1") == "$2" ]]
}

# The shape that a start with the text shows, for comparison: the text as the program
# draws it, at the same place.
reference_shape()
{
    local name=$1 text=$2 lines=$3 window
    settings "$text" "$E2E_TMP/$name.ini"
    e2e_prepare_app "$name" --settings "$E2E_TMP/$name.ini"
    e2e_start_app "$E2E_APP_DIR"
    window=$(text_window "$E2E_PID")
    [[ -n $window ]] || e2e_fail "$name: no text window"
    wait_for 30 shows_lines "$window" "$lines" ||
        e2e_fail "$name: a start with TEXT=$text does not show $lines lines:"$'\n'"$(shape_rects "$window" | head -n 20)"
    window_at "$window" 100 100 || e2e_fail "$name: the text window is at $(window_geometry "$window")"
    REFERENCE=$(shape_rects "$window")
    stop_app "$E2E_PID"
}
reference_shape two_lines 'ab%rcd' 2
two_lines=$REFERENCE
reference_shape three_lines 'ab%rcd%ref' 3
three_lines=$REFERENCE
[[ $two_lines != "$three_lines" ]] || e2e_fail "two and three lines have the same shape"

settings Deskword "$E2E_TMP/settings.ini"
e2e_prepare_app app --settings "$E2E_TMP/settings.ini"
ini=$E2E_APP_DIR/deskword.ini
start_text_window
wait_for 30 shows_lines "$TEXT_WINDOW" 1 ||
    e2e_fail "the text was not shown:"$'\n'"$(shape_rects "$TEXT_WINDOW" | head -n 20)"
first=$(shape_rects "$TEXT_WINDOW")

# Whether the editor's text area (Frame1, less a margin) shows N lines of text; sets
# UI_LINES.
has_area_lines()
{
    UI_LINES=$(area_text_lines "$1" "$EDITOR_AREA_LEFT" "$EDITOR_AREA_TOP" 280 150) || return 1
    [[ -n $UI_LINES && $(wc -l <<<"$UI_LINES") -eq $2 ]]
}

# Whether the editor's text area shows the text caret: a dark column of pixels
# taller than any glyph of the texts typed here (the caret spans the whole line).
# Before a click into the text the focus is on a button and no caret is shown.
caret_shown()
{
    local x y w h state
    read -r x y w h state < <(window_geometry "$EDITOR") || return 1
    [[ $state == viewable ]] || return 1
    import -window root -crop "280x150+$((x + EDITOR_AREA_LEFT))+$((y + EDITOR_AREA_TOP))" \
        -depth 8 txt:- 2>/dev/null |
        awk -F'[,:() ]+' '
            NR > 1 && ($3 * 299 + $4 * 587 + $5 * 114) / 1000 < 80 {
                dark[$1, $2] = 1
                if ($1 + 0 > maxx) maxx = $1 + 0
            }
            END {
                for (c = 0; c <= maxx; ++c) {
                    run = 0
                    for (r = 0; r < 150; ++r) {
                        if (!((c, r) in dark)) { run = 0; continue }
                        if (++run >= 27) exit 0
                    }
                }
                exit 1
            }'
}

# A click into the text, away from the picture preview. The window manager holds the
# click back until it has focused the window, while keys go through at once: typing
# waits until the click has put the caret into the text.
click_into_text()
{
    caret_shown && e2e_fail "a caret is shown before the click into the text"
    click_client "$EDITOR" "${EDITOR_TEXT[@]}" || e2e_fail "the editor vanished"
    wait_for 10 caret_shown || e2e_fail "the click into the text showed no caret"
}

open_editor()
{
    menu_choose "$pid" "$MENU_EDIT"
    EDITOR=$(editor_window "$pid") || e2e_fail "\"編集\" opened no editor window"
    wait_for 10 has_area_lines "$EDITOR" "$1" ||
        e2e_fail "the editor does not show the $1 lines of the desktop text:"$'\n'"$UI_LINES"
}

# --- two lines and "実行" -------------------------------------------------------------
open_editor 1
# "フォント設定" has the focus: click into the text, then replace it.
click_into_text
xdotool key ctrl+a
xdotool type 'ab'
xdotool key Return
xdotool type 'cd'
wait_for 10 has_area_lines "$EDITOR" 2 ||
    e2e_fail "typing two lines does not show two lines in the editor:"$'\n'"$UI_LINES"
# Typing alone leaves the desktop and the settings alone.
shape_is "$TEXT_WINDOW" "$first" || e2e_fail "typing changed the text window before \"実行\""
ini_value_is "$ini" TEXT Deskword || e2e_fail "typing stored TEXT=$(ini_value "$ini" TEXT) before \"実行\""

click_client "$EDITOR" "${EDITOR_EXECUTE[@]}" || e2e_fail "the editor vanished"
wait_for 10 ini_value_is "$ini" TEXT 'ab%rcd' ||
    e2e_fail "\"実行\" stored TEXT=$(ini_value "$ini" TEXT), expected ab%rcd"
wait_for 10 shape_is "$TEXT_WINDOW" "$two_lines" ||
    e2e_fail "after \"実行\" the text window does not show the two lines as a start does:"$'\n'"$(shape_rects "$TEXT_WINDOW" | head -n 20)"$'\n'"expected:"$'\n'"$(head -n 20 <<<"$two_lines")"
window_at "$TEXT_WINDOW" 100 100 ||
    e2e_fail "after \"実行\" the text window is at $(window_geometry "$TEXT_WINDOW"), expected 100 100"
is_viewable "$EDITOR" || e2e_fail "\"実行\" closed the editor"

# --- a third line and the close box ---------------------------------------------------
click_into_text
xdotool key ctrl+End Return
xdotool type 'ef'
wait_for 10 has_area_lines "$EDITOR" 3 ||
    e2e_fail "typing a third line does not show three lines in the editor:"$'\n'"$UI_LINES"
close_box "$EDITOR" || e2e_fail "the editor has no window manager frame"
wait_for 10 is_hidden "$EDITOR" || e2e_fail "the close box did not close the editor"
wait_for 10 ini_value_is "$ini" TEXT 'ab%rcd%ref' ||
    e2e_fail "closing the editor stored TEXT=$(ini_value "$ini" TEXT), expected ab%rcd%ref"
wait_for 10 shape_is "$TEXT_WINDOW" "$three_lines" ||
    e2e_fail "closing the editor did not apply the three lines:"$'\n'"$(shape_rects "$TEXT_WINDOW" | head -n 20)"
is_running "$pid" || e2e_fail "closing the editor ended the program"

# --- opened again, a fourth line, Exit --------------------------------------------------
open_editor 3
click_into_text
xdotool key ctrl+End Return
xdotool type 'gh'
wait_for 10 has_area_lines "$EDITOR" 4 ||
    e2e_fail "typing a fourth line does not show four lines in the editor:"$'\n'"$UI_LINES"
ini_value_is "$ini" TEXT 'ab%rcd%ref' || e2e_fail "typing stored TEXT=$(ini_value "$ini" TEXT)"
shape_is "$TEXT_WINDOW" "$three_lines" || e2e_fail "typing changed the text window"
menu_choose "$pid" "$MENU_EXIT"
ended_cleanly "$pid" "Exit with the editor open"
ini_value_is "$ini" TEXT 'ab%rcd%ref%rgh' ||
    e2e_fail "Exit with the editor open stored TEXT=$(ini_value "$ini" TEXT), expected ab%rcd%ref%rgh"

# --- the end of the session with the editor open: two new lines, SIGTERM -----------------
e2e_start_app "$E2E_APP_DIR"
pid=$E2E_PID
TEXT_WINDOW=$(text_window "$pid")
[[ -n $TEXT_WINDOW ]] || e2e_fail "no text window after the restart"
wait_for 30 shows_lines "$TEXT_WINDOW" 4 || e2e_fail "the restart does not show the four lines"
open_editor 4
click_into_text
xdotool key ctrl+a
xdotool type 'ab'
xdotool key Return
xdotool type 'xy'
wait_for 10 has_area_lines "$EDITOR" 2 ||
    e2e_fail "replacing the text by two lines does not show two lines in the editor:"$'\n'"$UI_LINES"
kill -TERM "$pid"
ended_cleanly "$pid" "SIGTERM with the editor open"
ini_value_is "$ini" TEXT 'ab%rxy' ||
    e2e_fail "SIGTERM with the editor open stored TEXT=$(ini_value "$ini" TEXT), expected ab%rxy"

e2e_pass
