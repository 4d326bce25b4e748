#!/usr/bin/env bash
# A region given to a window becomes the window's X SHAPE: the server holds exactly
# the region's rectangles in the same order, only the shape's pixels show on the
# screen, an empty region shows nothing of the window, and no region shows all of it.
source "$(dirname "$0")/lib.sh"
e2e_begin "$@"
shape_window=$(e2e_tool shape_window) || exit 1
xshape_dump=$(e2e_tool xshape_dump) || exit 1

# The shape that shape_window builds, in canonical banded order: the bar across the
# top (made of two touching halves), then the two legs in one band.
expected_rects="10 10 100 30
10 40 30 100
80 40 30 100"

# Red in the window's 0x00BBGGRR background colour.
red="#FF0000"

window_viewable()
{
    [[ $("$xshape_dump" --geometry "$1") == *" viewable" ]]
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

# Starts shape_window with the options and waits until its window is viewable.
# Sets SHAPE_PID, WINDOW_ID, REGION_RECTS (the layer's rectangles, "x y w h" lines)
# and WINDOW_X, WINDOW_Y (its position on the screen).
show_shape_window()
{
    local name=$1
    shift
    local out=$E2E_TMP/$name.out
    "$shape_window" "$@" >"$out" 2>"$E2E_TMP/$name.log" &
    SHAPE_PID=$!
    desktop_adopt "$SHAPE_PID"
    wait_for 30 grep -qx ready "$out" || e2e_fail "$name: shape_window did not start"
    WINDOW_ID=$(sed -n 's/^window //p' "$out")
    REGION_RECTS=$(sed -n 's/^rect //p' "$out")
    wait_for 30 window_viewable "$WINDOW_ID" ||
        e2e_fail "$name: window $WINDOW_ID did not become viewable"
    local geometry
    read -r WINDOW_X WINDOW_Y geometry < <("$xshape_dump" --geometry "$WINDOW_ID")
    [[ $geometry == "200 160 viewable" ]] ||
        e2e_fail "$name: window size/state is '$geometry', expected '200 160 viewable'"
}

close_shape_window()
{
    kill "$SHAPE_PID"
    wait_for 10 not_running "$SHAPE_PID" || e2e_fail "shape_window $SHAPE_PID did not end"
}

# --- a shape of several rectangles ---
show_shape_window shaped
[[ $REGION_RECTS == "$expected_rects" ]] ||
    e2e_fail "the layer's region is not canonical:"$'\n'"$REGION_RECTS"
[[ $("$xshape_dump" --shaped "$WINDOW_ID") == shaped ]] || e2e_fail "the window has no shape"
server_rects=$("$xshape_dump" "$WINDOW_ID") || e2e_fail "cannot read the window's shape"
[[ $server_rects == "$expected_rects" ]] ||
    e2e_fail "the X server holds other rectangles:"$'\n'"$server_rects"$'\n'"expected:"$'\n'"$expected_rects"
# Inside the bar and a leg the window's colour shows; between the legs, and left of
# the bar, the desktop does.
wait_for 30 pixel_is $((WINDOW_X + 60)) $((WINDOW_Y + 20)) "$red" ||
    e2e_fail "the bar is not drawn (pixel $(screen_pixel $((WINDOW_X + 60)) $((WINDOW_Y + 20))))"
pixel_is $((WINDOW_X + 95)) $((WINDOW_Y + 130)) "$red" || e2e_fail "the right leg is not drawn"
! pixel_is $((WINDOW_X + 60)) $((WINDOW_Y + 100)) "$red" || e2e_fail "the gap between the legs shows"
! pixel_is $((WINDOW_X + 5)) $((WINDOW_Y + 20)) "$red" || e2e_fail "the left of the bar shows"
close_shape_window

# --- an empty region: nothing of the window is visible ---
show_shape_window empty --empty
[[ -z $REGION_RECTS ]] || e2e_fail "the empty region has rectangles: $REGION_RECTS"
[[ $("$xshape_dump" --shaped "$WINDOW_ID") == shaped ]] ||
    e2e_fail "an empty region left the window unshaped (the whole window shows)"
server_rects=$("$xshape_dump" "$WINDOW_ID") || e2e_fail "cannot read the window's shape"
while read -r x y w h; do
    [[ -z $x ]] && continue
    if ((x < 200 && y < 160 && x + w > 0 && y + h > 0)); then
        e2e_fail "the empty region shows part of the window: $x $y $w $h"
    fi
done <<<"$server_rects"
close_shape_window

# --- no region: the whole window shows ---
show_shape_window unshaped --none
[[ $("$xshape_dump" --shaped "$WINDOW_ID") == unshaped ]] ||
    e2e_fail "region 0 left a shape on the window"
wait_for 30 pixel_is $((WINDOW_X + 60)) $((WINDOW_Y + 100)) "$red" ||
    e2e_fail "without a region the window is not drawn whole"
close_shape_window

e2e_pass
