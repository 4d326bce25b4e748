#!/usr/bin/env bash
# A text whose shape needs more rectangles than one X SHAPE request holds (32,765)
# shows whole: the X server holds exactly the text's pixels as the window's bounding
# shape, and the same as its input shape. A text of ten million characters in one
# line starts like any other: its start shows, with no message.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=ui.sh
source "$(dirname "$0")/ui.sh"
e2e_begin "$@"
ui_begin

# Thirty-two lines of 100 "X": every row of a line crosses each glyph's strokes, so the
# shape has tens of thousands of rectangles. Red (255) on the desktop, at (100, 100).
line=$(printf 'X%.0s' $(seq 1 100))
text=$line
for _ in $(seq 2 32); do
    text+="%r$line"
done
settings=$E2E_TMP/large.ini
printf '%s\r\n' '[DATA]' "TEXT=$text" 'FontBold=False' 'FontItalic=False' \
    'FontName=DejaVu Sans' 'FontSize=9' 'FontStrikethrough=False' 'FontUnderline=False' \
    'Color=255' 'XPOS=1500' 'YPOS=1500' 'XPOS2=0' 'YPOS2=0' >"$settings"
e2e_prepare_app large --settings "$settings"
start_text_window large
wait_for 30 shape_at_least "$TEXT_WINDOW" 600 200 ||
    e2e_fail "the text was not shown (window $(window_geometry "$TEXT_WINDOW"))"
window_at "$TEXT_WINDOW" 100 100 ||
    e2e_fail "the text window is at $(window_geometry "$TEXT_WINDOW"), expected 100 100"

bounding=$(shape_rects "$TEXT_WINDOW")
count=$(grep -c . <<<"$bounding")
((count > 32765)) || e2e_fail "the text's shape has only $count rectangles: the test needs more"
input=$("$UI_XSHAPE_DUMP" --input "$TEXT_WINDOW") || e2e_fail "cannot read the input shape"
[[ $input == "$bounding" ]] ||
    e2e_fail "the input shape ($(grep -c . <<<"$input") rectangles) is not the bounding shape ($count)"

# The screen, one pixel around the shape's extent, against the shape: the pixels that
# differ from the desktop's (the crop's pixel (0, 0)) are exactly the shape's.
read -r l t r b < <(region_bounds <<<"$bounding")
crop=$E2E_TMP/crop.png
shown_is_shape()
{
    import -window root -crop "$((r - l + 2))x$((b - t + 2))+$((100 + l - 1))+$((100 + t - 1))" \
        "$crop" 2>/dev/null || return 1
    [[ $(image_region "$crop" $((l - 1)) $((t - 1))) == "$bounding" ]]
}
wait_for 30 shown_is_shape ||
    e2e_fail "the screen does not show exactly the shape's pixels ($count rectangles)"
# Nothing but the text and the tray icon shows: no message box.
expected_windows=$(sort <<<"$TEXT_WINDOW"$'\n'"$(tray_icon "$pid")")
[[ $(viewable_windows "$pid") == "$expected_windows" ]] ||
    e2e_fail "other windows show: $(viewable_windows "$pid" | tr '\n' ' ')"
stop_app "$pid"

# --- ten million characters in one line ---
{
    printf '[DATA]\r\nTEXT='
    head -c 10000000 /dev/zero | tr '\0' 'x'
    printf '\r\nFontBold=False\r\nFontName=DejaVu Sans\r\nFontSize=12\r\nColor=255\r\n'
    printf 'XPOS=1500\r\nYPOS=1500\r\nXPOS2=0\r\nYPOS2=0\r\n'
} >"$E2E_TMP/huge.ini"
e2e_prepare_app huge --settings "$E2E_TMP/huge.ini"
start_text_window huge
# The line reaches the screen's right edge.
wait_for 60 shape_at_least "$TEXT_WINDOW" 1170 5 ||
    e2e_fail "huge: the text was not shown (window $(window_geometry "$TEXT_WINDOW"))"
expected_windows=$(sort <<<"$TEXT_WINDOW"$'\n'"$(tray_icon "$pid")")
[[ $(viewable_windows "$pid") == "$expected_windows" ]] ||
    e2e_fail "huge: other windows show: $(viewable_windows "$pid" | tr '\n' ' ')"
stop_app "$pid"
e2e_pass
