# shellcheck shell=bash
# Screenshots of the text window's figure against the desktop, for the tests of the
# desktops Deskword meets (compositors, workspaces, monitors, Wayland). Sourced after
# lib.sh and ui.sh.
#
#   figure_rects WIN                  the window's shape in screen pixels, "x y w h"
#   figure_mask WIN FILE              a screen-sized image: white on the figure,
#                                     black elsewhere
#   screenshot FILE                   the whole screen
#   outside_unchanged BASE MASK       the screen equals the screenshot BASE outside
#                                     the figure (white in MASK), below the top 100
#                                     rows (the tray changes when Deskword starts)
#   figure_is COLOUR MASK             every pixel of the figure has the colour
#   compositor_start NAME ARGS...     starts a compositor, waits until it owns
#                                     _NET_WM_CM_S0; sets COMPOSITOR_PID
#   compositor_stop                   ends it and waits until the selection is free

DESKTOP_WIDTH=1280
DESKTOP_HEIGHT=1024
COMPOSITOR_PID=""

figure_rects()
{
    local wx wy rest
    read -r wx wy rest < <(window_geometry "$1") || return 1
    shape_rects "$1" | awk -v dx="$wx" -v dy="$wy" 'NF == 4 { print $1 + dx, $2 + dy, $3, $4 }'
}

figure_mask()
{
    local draw=() x y w h
    while read -r x y w h; do
        draw+=(-draw "rectangle $x,$y $((x + w - 1)),$((y + h - 1))")
    done < <(figure_rects "$1")
    ((${#draw[@]} > 0)) || return 1
    convert -size "${DESKTOP_WIDTH}x${DESKTOP_HEIGHT}" xc:black -fill white "${draw[@]}" "$2"
}

screenshot()
{
    import -window root -depth 8 "$1" 2>/dev/null
}

# Number of pixels in which two images differ (compare prints it on stderr).
differing_pixels()
{
    compare -metric AE "$1" "$2" null: 2>&1 || true
}

outside_unchanged()
{
    local base=$1 mask=$2 shot=$E2E_TMP/outside-shot.png count
    screenshot "$shot" || return 1
    # Both pictures black on the figure, then compared below the tray.
    local a=$E2E_TMP/outside-a.png b=$E2E_TMP/outside-b.png
    convert "$base" \( "$mask" -negate \) -compose multiply -composite \
        -crop "${DESKTOP_WIDTH}x$((DESKTOP_HEIGHT - 100))+0+100" +repage "$a" || return 1
    convert "$shot" \( "$mask" -negate \) -compose multiply -composite \
        -crop "${DESKTOP_WIDTH}x$((DESKTOP_HEIGHT - 100))+0+100" +repage "$b" || return 1
    count=$(differing_pixels "$a" "$b")
    OUTSIDE_DIFFERENCE=$count
    [[ $count == 0 ]]
}

figure_is()
{
    local colour=$1 mask=$2 shot=$E2E_TMP/figure-shot.png count
    screenshot "$shot" || return 1
    local a=$E2E_TMP/figure-a.png b=$E2E_TMP/figure-b.png
    # The screen black outside the figure, against the figure filled with the colour.
    convert "$shot" "$mask" -compose multiply -composite "$a" || return 1
    convert "$mask" -fill "$colour" -opaque white "$b" || return 1
    count=$(differing_pixels "$a" "$b")
    FIGURE_DIFFERENCE=$count
    [[ $count == 0 ]]
}

compositor_start()
{
    local name=$1
    shift
    "$@" >"$E2E_TMP/$name.log" 2>&1 &
    COMPOSITOR_PID=$!
    desktop_adopt "$COMPOSITOR_PID"
    wait_for 20 "$(e2e_tool selection_owner)" _NET_WM_CM_S0 ||
        e2e_fail "$name did not take _NET_WM_CM_S0 within 20 s"
}

compositor_stop()
{
    local owner
    owner=$(e2e_tool selection_owner) || exit 1
    kill -TERM "$COMPOSITOR_PID" 2>/dev/null || true
    wait_for 10 not_running "$COMPOSITOR_PID" || e2e_fail "the compositor did not end"
    wait "$COMPOSITOR_PID" 2>/dev/null || true
    wait_for 10 bash -c "! '$owner' _NET_WM_CM_S0" || e2e_fail "_NET_WM_CM_S0 is still owned"
}
