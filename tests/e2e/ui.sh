# shellcheck shell=bash
# What a user sees of Deskword and does with it, for the end-to-end tests: its text
# window and tray icon, the tray menu driven with the mouse, dragging the text, the
# settings file, pictures with a known outline. Sourced after lib.sh; ui_begin runs
# after e2e_begin.
#
#   ui_begin                          looks up the tools
#   window_geometry WIN               "x y w h state" (xshape_dump --geometry)
#   window_at WIN X Y                 true when the window's top-left corner is there
#   is_viewable WIN / is_hidden WIN   is_hidden: unmapped or gone
#   shape_rects WIN                   the window's X SHAPE, "x y w h" a line
#   text_window PID                   id of the text window (Form2); waits up to 10 s
#   tray_icon PID                     id of the tray icon's window
#   shape_is WIN RECTS                viewable with exactly that shape
#   shape_at_least WIN W H            viewable with a shape spanning W x H or more
#   screen_pixel X Y / pixel_is X Y #RRGGBB
#   menu_choose PID ITEM [SUBITEM]    right click on the tray icon and click the
#                                     item (0-based, separators not counted) and,
#                                     for the picture submenu, its item
#   menu_checked_mode PID             sets CHECKED_MODE, the index of the checked
#                                     picture display mode
#   stop_app PID                      SIGTERM, and waits for the end
#   ini_value FILE KEY                a value of section [DATA] (CR stripped)
#   image_region IMAGE DX DY [alpha]  canonical banded region of an image's figure
#                                     (pixels unlike pixel (0,0), transparent ones
#                                     alike; with "alpha": pixels of alpha 128 or
#                                     more), moved by (DX, DY)
#   region_bounds                     "left top right bottom" of rectangles on stdin

# shellcheck disable=SC2034 # the names below are for the test scripts
UI_XSHAPE_DUMP=""

# Menu items of the tray menu, in order, separators not counted.
MENU_EDIT=0
MENU_PICTURE=1
MENU_ABOUT=2
MENU_AUTOSTART=3
MENU_HIDE_FULLSCREEN=4
MENU_EXIT=5
# Items of the picture display submenu: the display modes.
MODE_FRONT=0
MODE_BEHIND=1
MODE_HIDDEN=2

# Left part of a menu that holds the check marks (pixels, at 96 DPI): text starts
# right of it.
UI_CHECK_COLUMN=24

ui_begin()
{
    UI_XSHAPE_DUMP=$(e2e_tool xshape_dump) || exit 1
}

window_geometry()
{
    "$UI_XSHAPE_DUMP" --geometry "$1"
}

window_at()
{
    local x y rest
    read -r x y rest < <(window_geometry "$1") || return 1
    [[ $x == "$2" && $y == "$3" ]]
}

is_viewable()
{
    [[ $(window_geometry "$1" 2>/dev/null) == *" viewable" ]]
}

# Unmapped, or gone.
is_hidden()
{
    ! is_viewable "$1"
}

shape_rects()
{
    "$UI_XSHAPE_DUMP" "$1"
}

# Windows the window manager does not manage: menus, tooltips, the text window.
is_override_redirect()
{
    xwininfo -id "$1" 2>/dev/null | grep -q 'Override Redirect State: yes'
}

# The text window shares the program's name with the editor, but places itself.
UI_TEXT_WINDOW=""
find_text_window()
{
    local id
    for id in $(xdotool search --all --pid "$1" --name '^Deskword$' 2>/dev/null); do
        if is_override_redirect "$id"; then
            UI_TEXT_WINDOW=$id
            return 0
        fi
    done
    return 1
}

text_window()
{
    wait_for 10 find_text_window "$1" && echo "$UI_TEXT_WINDOW"
}

# Waits until the program PID has ended after WHAT ("Exit", "SIGTERM", ...) and
# checks that it ended with status 0.
ended_cleanly()
{
    local pid=$1 what=$2 status=0
    wait_for 10 not_running "$pid" || e2e_fail "$what did not end the program"
    wait "$pid" || status=$?
    ((status == 0)) || e2e_fail "the program ended with status $status after $what"
}

# Starts the prepared program (e2e_prepare_app) and waits for its text window; sets
# pid and TEXT_WINDOW. WHAT, when given, starts the failure message.
start_text_window()
{
    e2e_start_app "$E2E_APP_DIR"
    pid=$E2E_PID
    TEXT_WINDOW=$(text_window "$pid")
    [[ -n $TEXT_WINDOW ]] || e2e_fail "${1:+$1: }no text window"
}

# The tray icon is the process's small viewable window (menus are larger).
find_tray_icon()
{
    local id x y w h state
    for id in $(viewable_windows "$1"); do
        read -r x y w h state < <(window_geometry "$id") || continue
        if ((w <= 64 && h <= 64)); then
            echo "$id"
            return 0
        fi
    done
    return 1
}

tray_icon()
{
    wait_for 30 find_tray_icon "$1" || return 1
    find_tray_icon "$1"
}

# Viewable windows of the process, one id a line, sorted. Tooltips do not count: the
# tray icon shows its own when the mouse rests on it.
viewable_windows()
{
    local id
    for id in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
        xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_TOOLTIP ||
            echo "$id"
    done | sort
}

# The one viewable window of the process that is not in the list $2 (ids, one a
# line); fails unless there is exactly one.
UI_NEW_WINDOW=""
find_new_window()
{
    local new
    new=$(comm -13 <(echo "$2") <(viewable_windows "$1"))
    [[ -n $new && $new != *$'\n'* ]] || return 1
    UI_NEW_WINDOW=$new
}

# Lines of text in a rectangle of the screen (LEFT TOP WIDTH HEIGHT), as the screen
# shows them: "top bottom centre_y checked" in screen coordinates, one a line, top to
# bottom. A line is a run of rows (gaps of up to 3 rows inside) holding dark pixels at
# or right of COLUMN (relative to LEFT); "checked" is 1 when dark pixels lie left of
# COLUMN beside the line. With COLUMN 0 every dark pixel is text.
screen_text_lines()
{
    import -window root -crop "${3}x${4}+${1}+${2}" -depth 8 txt:- 2>/dev/null |
        awk -F'[,:() ]+' -v oy="$2" -v column="$5" '
            NR > 1 && ($3 * 299 + $4 * 587 + $5 * 114) / 1000 < 80 {
                if ($1 >= column) ink[$2] = 1; else mark[$2] = 1
            }
            END {
                n = 0
                for (row = 0; row <= 4096; ++row) {
                    if (!(row in ink)) continue
                    if (n > 0 && row - bottom[n] <= 3) { bottom[n] = row; continue }
                    ++n; top[n] = row; bottom[n] = row
                }
                for (i = 1; i <= n; ++i) {
                    checked = 0
                    for (row = top[i] - 4; row <= bottom[i] + 4; ++row)
                        if (row in mark) checked = 1
                    printf "%d %d %d %d\n", top[i] + oy, bottom[i] + oy, \
                        int((top[i] + bottom[i]) / 2) + oy, checked
                }
            }'
}

# The text lines of a viewable window (see screen_text_lines), with a menu's check
# marks left of UI_CHECK_COLUMN.
text_lines()
{
    local x y w h state
    read -r x y w h state < <(window_geometry "$1") || return 1
    [[ $state == viewable ]] || return 1
    screen_text_lines "$x" "$y" "$w" "$h" "$UI_CHECK_COLUMN"
}

# Waits until the window shows the given number of text lines; sets UI_LINES.
UI_LINES=""
has_text_lines()
{
    UI_LINES=$(text_lines "$1") || return 1
    [[ -n $UI_LINES && $(wc -l <<<"$UI_LINES") -eq $2 ]]
}

# Clicks the middle of text line N (0-based) of the window.
click_line()
{
    local window=$1 index=$2 x y w h state cy
    read -r x y w h state < <(window_geometry "$window") || return 1
    cy=$(sed -n "$((index + 1))p" <<<"$UI_LINES" | cut -d' ' -f3)
    [[ -n $cy ]] || return 1
    xdotool mousemove "$((x + w / 2))" "$cy"
    xdotool click 1
}

# Right click on the tray icon; waits until the menu shows its six items. Sets
# UI_MENU (the menu's window) and UI_LINES (its items).
open_tray_menu()
{
    local pid=$1 tray x y w h state before
    tray=$(tray_icon "$pid") || e2e_fail "no tray icon"
    before=$(viewable_windows "$pid")
    read -r x y w h state < <(window_geometry "$tray") || e2e_fail "the tray icon vanished"
    xdotool mousemove "$((x + w / 2))" "$((y + h / 2))"
    xdotool click 3
    wait_for 10 find_new_window "$pid" "$before" || e2e_fail "a right click on the tray icon opened no menu"
    UI_MENU=$UI_NEW_WINDOW
    wait_for 10 has_text_lines "$UI_MENU" "$((MENU_EXIT + 1))" ||
        e2e_fail "the tray menu does not show $((MENU_EXIT + 1)) items:"$'\n'"$(text_lines "$UI_MENU")"
}

# Opens the picture display submenu of the open tray menu; sets UI_SUBMENU and
# UI_LINES (its items).
open_picture_submenu()
{
    local pid=$1 before
    before=$(viewable_windows "$pid")
    click_line "$UI_MENU" "$MENU_PICTURE" || e2e_fail "no picture display item"
    wait_for 10 find_new_window "$pid" "$before" || e2e_fail "the picture display submenu did not open"
    UI_SUBMENU=$UI_NEW_WINDOW
    wait_for 10 has_text_lines "$UI_SUBMENU" 3 ||
        e2e_fail "the picture display submenu does not show three items:"$'\n'"$(text_lines "$UI_SUBMENU")"
}

# A closed menu is unmapped or gone.
menus_closed()
{
    ! is_viewable "$UI_MENU" 2>/dev/null &&
        { [[ -z ${UI_SUBMENU:-} ]] || ! is_viewable "$UI_SUBMENU" 2>/dev/null; }
}

menu_choose()
{
    local pid=$1 item=$2 subitem=${3:-}
    UI_SUBMENU=""
    open_tray_menu "$pid"
    if [[ -n $subitem ]]; then
        open_picture_submenu "$pid"
        click_line "$UI_SUBMENU" "$subitem" || e2e_fail "no submenu item $subitem"
    else
        click_line "$UI_MENU" "$item" || e2e_fail "no menu item $item"
    fi
    # Exit may end the process before its menus are seen closing.
    wait_for 10 menus_closed_or_ended "$pid" || e2e_fail "the menu did not close after a choice"
}

menus_closed_or_ended()
{
    not_running "$1" || menus_closed
}

# Each press of Escape closes one menu level.
escape_menus()
{
    menus_closed && return 0
    xdotool key Escape
    menus_closed
}

CHECKED_MODE=""
menu_checked_mode()
{
    local pid=$1 checked
    UI_SUBMENU=""
    open_tray_menu "$pid"
    open_picture_submenu "$pid"
    checked=$(awk '$4 == 1 { print NR - 1 }' <<<"$UI_LINES")
    wait_for 10 escape_menus || e2e_fail "the menu did not close on Escape"
    [[ -n $checked ]] || e2e_fail "no picture display mode is checked:"$'\n'"$UI_LINES"
    [[ $checked != *$'\n'* ]] || e2e_fail "several picture display modes are checked:"$'\n'"$UI_LINES"
    CHECKED_MODE=$checked
}

# Whether the window is viewable with exactly the rectangles $2 as its shape.
shape_is()
{
    is_viewable "$1" && [[ $(shape_rects "$1") == "$2" ]]
}

# Whether the window is viewable and its shape spans at least $2 x $3 pixels.
shape_at_least()
{
    local bounds l t r b
    is_viewable "$1" || return 1
    bounds=$(shape_rects "$1" | region_bounds) || return 1
    read -r l t r b <<<"$bounds"
    ((r - l >= $2 && b - t >= $3))
}

# Colour of one screen pixel as #RRGGBB.
screen_pixel()
{
    import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
        grep -o '#[0-9A-Fa-f]\{6\}' | head -n 1
}

pixel_is()
{
    [[ $(screen_pixel "$1" "$2") == "$3" ]]
}

stop_app()
{
    kill -TERM "$1" 2>/dev/null || true
    wait_for 10 not_running "$1" || e2e_fail "process $1 did not end on SIGTERM"
    wait "$1" 2>/dev/null || true
}

ini_value()
{
    [[ -f $1 ]] || return 1
    tr -d '\r' <"$1" | awk -v key="$2" '
        /^\[/ { section = toupper($0) == "[DATA]"; next }
        section && index($0, "=") {
            name = substr($0, 1, index($0, "=") - 1)
            if (toupper(name) == toupper(key)) { print substr($0, index($0, "=") + 1); found = 1; exit }
        }
        END { exit !found }'
}

ini_value_is()
{
    [[ $(ini_value "$1" "$2") == "$3" ]]
}

image_region()
{
    convert "$1" -depth 8 txt:- | awk -F'[,:]' -v dx="$2" -v dy="$3" -v by_alpha="${4:-}" '
        NR == 1 { next }
        {
            # The pixel value is the list in the first parentheses; transparent
            # pixels (alpha 0) are all alike, whatever colour they carry.
            colour = $0
            sub(/^[^(]*\(/, "", colour)
            sub(/\).*/, "", colour)
            n = split(colour, v, ",")
            opaque[$1, $2] = (n == 2 || n == 4) ? v[n] + 0 >= 128 : 1
            if ((n == 2 || n == 4) && v[n] + 0 == 0) colour = "transparent"
            if ($1 == 0 && $2 == 0) key = colour
            figure[$1, $2] = colour
            if ($1 + 0 > maxx) maxx = $1 + 0
            if ($2 + 0 > maxy) maxy = $2 + 0
        }
        END {
            previous = ""; top = 0
            for (y = 0; y <= maxy + 1; ++y) {
                spans = ""
                if (y <= maxy) {
                    start = -1
                    for (x = 0; x <= maxx + 1; ++x) {
                        inside = x <= maxx && (by_alpha ? opaque[x, y] : figure[x, y] != key)
                        if (inside && start < 0) start = x
                        if (!inside && start >= 0) { spans = spans " " start ":" x; start = -1 }
                    }
                }
                if (spans != previous) {
                    flush(previous, top, y)
                    previous = spans; top = y
                }
            }
        }
        function flush(list, from, to,    n, parts, i, ends) {
            n = split(list, parts, " ")
            for (i = 1; i <= n; ++i) {
                if (parts[i] == "") continue
                split(parts[i], ends, ":")
                printf "%d %d %d %d\n", ends[1] + dx, from + dy, ends[2] - ends[1], to - from
            }
        }'
}

region_bounds()
{
    awk 'NF == 4 {
            if (n++ == 0 || $1 < l) l = $1
            if (n == 1 || $2 < t) t = $2
            if (n == 1 || $1 + $3 > r) r = $1 + $3
            if (n == 1 || $2 + $4 > b) b = $2 + $4
        }
        END { if (n == 0) exit 1; print l, t, r, b }'
}

# --- the editor window --------------------------------------------------------------
#   editor_window PID                 id of the process's viewable editor window
#                                     (caption "Deskword"); waits up to 10 s
#   editor_windows PID                all of them, one id a line
#   click_client WIN X Y              left click at pixel (X, Y) of the window's
#                                     client area
#   close_box WIN                     left click on the close button of the window
#                                     manager's title bar
#   area_text_lines WIN X Y W H       text_lines of the client rectangle X, Y, W, H
#   shape_line_count WIN              runs of rows of the window's shape, separated
#                                     by empty rows (one a text line)

# Centres of the editor's buttons and a point of its text area away from the
# picture preview, in client pixels at the size the editor opens with (401 x 206). The
# text area (Frame1) starts 2 px inside the client area.
EDITOR_EXECUTE=(52 190)
EDITOR_FONT=(160 190)
EDITOR_COLOUR=(256 190)
EDITOR_PICTURE=(352 190)
EDITOR_TEXT=(100 60)
EDITOR_AREA_LEFT=2
EDITOR_AREA_TOP=2

# The process's viewable editor windows, one id a line: named like the text window,
# but managed by the window manager.
editor_windows()
{
    local id
    for id in $(xdotool search --all --onlyvisible --pid "$1" --name '^Deskword$' 2>/dev/null); do
        if is_viewable "$id" && ! is_override_redirect "$id"; then
            echo "$id"
        fi
    done
}

UI_EDITOR=""
find_editor()
{
    UI_EDITOR=$(editor_windows "$1" | head -n 1)
    [[ -n $UI_EDITOR ]]
}

editor_window()
{
    wait_for 10 find_editor "$1" || return 1
    echo "$UI_EDITOR"
}

# xdotool's own idea of a window's place is off by the title bar under openbox;
# xshape_dump's geometry is the client area's place on the screen.
click_client()
{
    local x y w h state
    read -r x y w h state < <(window_geometry "$1") || return 1
    [[ $state == viewable ]] || return 1
    xdotool mousemove "$((x + $2))" "$((y + $3))"
    xdotool click 1
}

# The window manager's frame is the client's parent; the title bar spans the frame's
# top down to the client, and the close button is its rightmost, square button.
close_box()
{
    local parent fx fy fw cx cy rest title
    parent=$(xwininfo -tree -id "$1" 2>/dev/null | awk '/Parent window id:/ { print $4 }')
    [[ -n $parent ]] || return 1
    read -r fx fy fw < <(xwininfo -id "$parent" 2>/dev/null | awk '
        /Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
        /Width:/ { w = $NF } END { print x, y, w }') || return 1
    read -r cx cy rest < <(window_geometry "$1") || return 1
    title=$((cy - fy))
    ((title > 4)) || return 1
    xdotool mousemove "$((fx + fw - 1 - title / 2))" "$((fy + title / 2))"
    xdotool click 1
}

# The text lines (see screen_text_lines) of the area (LEFT TOP WIDTH HEIGHT, relative
# to the window) of a viewable window.
area_text_lines()
{
    local x y w h state
    read -r x y w h state < <(window_geometry "$1") || return 1
    [[ $state == viewable ]] || return 1
    screen_text_lines "$((x + $2))" "$((y + $3))" "$4" "$5" 0
}

shape_line_count()
{
    shape_rects "$1" | sort -k2,2n | awk '
        NF == 4 {
            if (n == 0 || $2 > bottom) { ++n; bottom = $2 + $4 }
            else if ($2 + $4 > bottom) bottom = $2 + $4
        }
        END { print n + 0 }'
}

# Whether the window has reached (X, Y); if not, moves the pointer off the target by
# a pixel and back, so that the move sees the pointer's last position.
reached()
{
    window_at "$1" "$2" "$3" && return 0
    xdotool mousemove "$4" "$(($5 + 1))"
    xdotool mousemove "$4" "$5"
    return 1
}

# Drags the text window by its widest glyph rectangle by (DX, DY), in steps.
drag_text()
{
    local dx=$1 dy=$2 wx wy rest gx gy gw sx sy i
    read -r wx wy rest < <(window_geometry "$TEXT_WINDOW") || e2e_fail "the text window vanished"
    read -r gx gy gw _ < <(shape_rects "$TEXT_WINDOW" | sort -k3,3nr | head -n 1) ||
        e2e_fail "the text window has no shape"
    sx=$((wx + gx + gw / 2))
    sy=$((wy + gy))
    xdotool mousemove "$sx" "$sy"
    xdotool mousedown 1
    for i in 1 2 3 4 5 6 7 8 9 10; do
        xdotool mousemove "$((sx + dx * i / 10))" "$((sy + dy * i / 10))"
    done
    if ! wait_for 10 reached "$TEXT_WINDOW" "$((wx + dx))" "$((wy + dy))" "$((sx + dx))" "$((sy + dy))"; then
        xdotool mouseup 1
        e2e_fail "dragging by the glyph at $sx,$sy by $dx,$dy left the window at $(window_geometry "$TEXT_WINDOW")"
    fi
    xdotool mouseup 1
}
