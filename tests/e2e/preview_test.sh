#!/usr/bin/env bash
# Placing the picture with the editor's preview, as a user would:
# - the editor opened from the tray shows the picture over the text at its desktop
#   offset (XPOS2, YPOS2 = 0, 60 pixels);
# - the preview dragged with the left button by (80, 20) pixels follows the mouse, and
#   the drop stores XPOS2=1200 and YPOS2=1200 at once, while the desktop still shows
#   the picture at the old offset;
# - "実行": the picture's part of the text window's shape moves by exactly (80, 20),
#   the text's part stays as it was.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=ui.sh
source "$(dirname "$0")/ui.sh"
e2e_begin "$@"
ui_begin

# A blue triangle on white, drawn without antialiasing: an outline of many bands.
bmp=$E2E_TMP/picture.bmp
convert -size 64x48 xc:white +antialias -fill '#0000FF' -draw 'polygon 4,44 32,4 60,44' \
    -type TrueColor "BMP3:$bmp" || e2e_fail "cannot write the test bitmap"
# A point well inside the triangle, in picture pixels: where the preview is grabbed.
grab_x=32
grab_y=32
dx=80
dy=20

# One line of text at the window's top (rows 0 to about 30), the picture 60 pixels
# lower and, after the drag, 80: no row holds both, so the window's banded shape is the
# text's rectangles followed by the picture's.
printf '%s\r\n' '[DATA]' 'TEXT=Deskword' 'FontBold=True' 'FontName=DejaVu Sans' 'FontSize=20' \
    'FontItalic=False' 'FontUnderline=False' 'FontStrikethrough=False' \
    'Color=0' 'XPOS=1500' 'YPOS=1500' 'XPOS2=0' 'YPOS2=900' 'PICTURE=0' >"$E2E_TMP/settings.ini"
e2e_prepare_app app --settings "$E2E_TMP/settings.ini" --picture "$bmp"
ini=$E2E_APP_DIR/deskword.ini
start_text_window

# Text and picture composed with the picture's figure at (X, Y): the picture's
# rectangles end the shape, the text's come first and lie above it. Sets TEXT_RECTS.
TEXT_RECTS=""
composed_at()
{
    is_viewable "$TEXT_WINDOW" || return 1
    local picture all count
    picture=$(image_region "$bmp" "$1" "$2")
    all=$(shape_rects "$TEXT_WINDOW") || return 1
    count=$(grep -c . <<<"$picture")
    [[ $(tail -n "$count" <<<"$all") == "$picture" ]] || return 1
    TEXT_RECTS=$(head -n -"$count" <<<"$all")
    [[ -n $TEXT_RECTS ]] && awk -v top="$2" '$2 + $4 > top { exit 1 }' <<<"$TEXT_RECTS"
}
shape_dump()
{
    shape_rects "$TEXT_WINDOW" | head -n 40
}
wait_for 30 composed_at 0 60 ||
    e2e_fail "text and picture (at 0, 60) were not composed:"$'\n'"$(shape_dump)"
text_before=$TEXT_RECTS
shape_before=$(shape_rects "$TEXT_WINDOW")

menu_choose "$pid" "$MENU_EDIT"
EDITOR=$(editor_window "$pid") || e2e_fail "\"編集\" opened no editor window"

# The preview's top-left corner lies at the picture offset inside the text area.
preview_x=$((EDITOR_AREA_LEFT + 0))
preview_y=$((EDITOR_AREA_TOP + 60))
# Whether the screen shows the colour at client pixel (X, Y) of the editor.
editor_pixel_is()
{
    local x y rest
    read -r x y rest < <(window_geometry "$EDITOR") || return 1
    pixel_is "$((x + $1))" "$((y + $2))" "$3"
}
editor_pixel_is_not()
{
    local colour
    colour=$(editor_pixel "$1" "$2") && [[ -n $colour && $colour != "$3" ]]
}
editor_pixel()
{
    local x y rest
    read -r x y rest < <(window_geometry "$EDITOR") || return 1
    screen_pixel "$((x + $1))" "$((y + $2))"
}
wait_for 10 editor_pixel_is "$((preview_x + grab_x))" "$((preview_y + grab_y))" "#0000FF" ||
    e2e_fail "the editor does not show the preview at the picture offset ($(editor_pixel "$((preview_x + grab_x))" "$((preview_y + grab_y))"))"

# The drag: press on the figure, move in steps, release (DX, DY) away.
read -r ex ey _ < <(window_geometry "$EDITOR") || e2e_fail "the editor vanished"
sx=$((ex + preview_x + grab_x))
sy=$((ey + preview_y + grab_y))
xdotool mousemove "$sx" "$sy"
xdotool mousedown 1
for i in 1 2 3 4 5 6 7 8 9 10; do
    xdotool mousemove "$((sx + dx * i / 10))" "$((sy + dy * i / 10))"
done
xdotool mouseup 1
# The pointer out of the way of the pixels looked at below.
xdotool mousemove 5 1000

wait_for 10 ini_value_is "$ini" XPOS2 $((dx * 15)) ||
    e2e_fail "the drop stored XPOS2=$(ini_value "$ini" XPOS2), expected $((dx * 15))"
wait_for 10 ini_value_is "$ini" YPOS2 $(((60 + dy) * 15)) ||
    e2e_fail "the drop stored YPOS2=$(ini_value "$ini" YPOS2), expected $(((60 + dy) * 15))"
wait_for 10 editor_pixel_is "$((preview_x + dx + grab_x))" "$((preview_y + dy + grab_y))" "#0000FF" ||
    e2e_fail "the preview was not shown at its new place ($(editor_pixel "$((preview_x + dx + grab_x))" "$((preview_y + dy + grab_y))"))"
wait_for 10 editor_pixel_is_not "$((preview_x + grab_x))" "$((preview_y + grab_y))" "#0000FF" ||
    e2e_fail "the preview is still shown at its old place"
# The desktop follows only at the next Execute.
shape_is "$TEXT_WINDOW" "$shape_before" ||
    e2e_fail "the drag alone changed the text window:"$'\n'"$(shape_dump)"

click_client "$EDITOR" "${EDITOR_EXECUTE[@]}" || e2e_fail "the editor vanished"
wait_for 10 composed_at "$dx" $((60 + dy)) ||
    e2e_fail "after \"実行\" the picture is not at ($dx, $((60 + dy))) in the shape:"$'\n'"$(shape_dump)"
[[ $TEXT_RECTS == "$text_before" ]] ||
    e2e_fail "after \"実行\" the text's part of the shape changed:"$'\n'"$TEXT_RECTS"$'\n'"was:"$'\n'"$text_before"
window_at "$TEXT_WINDOW" 100 100 ||
    e2e_fail "after \"実行\" the text window is at $(window_geometry "$TEXT_WINDOW"), expected 100 100"
[[ $(ini_value "$ini" XPOS2) == $((dx * 15)) && $(ini_value "$ini" YPOS2) == $(((60 + dy) * 15)) ]] ||
    e2e_fail "\"実行\" changed the stored offset to $(ini_value "$ini" XPOS2), $(ini_value "$ini" YPOS2)"

e2e_pass
