#!/usr/bin/env bash
# The picture display commands of the tray menu, chosen with the mouse as a user
# would, with a text and a picture that lie one below the other:
# - "非表示" takes the picture out of the window's shape, keeps the text, checks
#   that mode and stores PICTURE=2;
# - "文字の手前" brings the same picture back even after its file was deleted (the
#   shape is not rebuilt from the file) and stores PICTURE=0;
# - "文字の背後" with nothing overlapping changes nothing visible and stores 1;
# - where text and picture overlap, "文字の手前" paints the picture over the glyphs
#   and "文字の背後" the glyphs over the picture, with the same outline.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=ui.sh
source "$(dirname "$0")/ui.sh"
e2e_begin "$@"
ui_begin

bmp=$E2E_TMP/picture.bmp
convert -size 120x90 xc:white +antialias -fill '#0000FF' -draw 'polygon 5,85 60,5 115,85' \
    -fill white -draw 'rectangle 50,50 70,85' -type TrueColor "BMP3:$bmp" ||
    e2e_fail "cannot write the test bitmap"

# The text at the window's top, the picture 100 pixels lower: no row holds both, so
# the window's banded shape is the text's rectangles followed by the picture's.
printf '%s\r\n' '[DATA]' 'TEXT=Deskword' 'FontBold=True' 'FontName=DejaVu Sans' 'FontSize=20' \
    'Color=0' 'XPOS=1500' 'YPOS=1500' 'XPOS2=0' 'YPOS2=1500' >"$E2E_TMP/settings.ini"
picture_rects=$(image_region "$bmp" 0 100)

e2e_prepare_app app --settings "$E2E_TMP/settings.ini" --picture "$bmp"
e2e_start_app "$E2E_APP_DIR"
pid=$E2E_PID
ini=$E2E_APP_DIR/deskword.ini
TEXT_WINDOW=$(text_window "$pid")
[[ -n $TEXT_WINDOW ]] || e2e_fail "no text window"

# Text and picture composed: the picture's rectangles end the shape, the text's
# (all above row 100) come first.
composed()
{
    is_viewable "$TEXT_WINDOW" || return 1
    local all count
    all=$(shape_rects "$TEXT_WINDOW") || return 1
    count=$(grep -c . <<<"$picture_rects")
    [[ $(tail -n "$count" <<<"$all") == "$picture_rects" ]] || return 1
    TEXT_RECTS=$(head -n -"$count" <<<"$all")
    [[ -n $TEXT_RECTS ]] && awk '$2 + $4 > 100 { exit 1 }' <<<"$TEXT_RECTS"
}
wait_for 30 composed ||
    e2e_fail "text and picture were not composed:"$'\n'"$(shape_rects "$TEXT_WINDOW" | head -n 30)"
both=$(shape_rects "$TEXT_WINDOW")

menu_choose "$pid" "$MENU_PICTURE" "$MODE_HIDDEN"
wait_for 10 ini_value_is "$ini" PICTURE 2 || e2e_fail "\"非表示\" did not store PICTURE=2"
wait_for 10 shape_is "$TEXT_WINDOW" "$TEXT_RECTS" ||
    e2e_fail "\"非表示\" did not leave the text alone in the shape:"$'\n'"$(shape_rects "$TEXT_WINDOW" | head -n 30)"
menu_checked_mode "$pid"
[[ $CHECKED_MODE == "$MODE_HIDDEN" ]] ||
    e2e_fail "after \"非表示\" the menu checks mode $CHECKED_MODE"

# The picture comes back from what was built at start-up, not from the file.
rm -- "$E2E_APP_DIR/picture.bmp"
menu_choose "$pid" "$MENU_PICTURE" "$MODE_FRONT"
wait_for 10 ini_value_is "$ini" PICTURE 0 || e2e_fail "\"文字の手前\" did not store PICTURE=0"
wait_for 10 shape_is "$TEXT_WINDOW" "$both" ||
    e2e_fail "\"文字の手前\" did not bring the picture back:"$'\n'"$(shape_rects "$TEXT_WINDOW" | head -n 30)"
menu_checked_mode "$pid"
[[ $CHECKED_MODE == "$MODE_FRONT" ]] || e2e_fail "after \"文字の手前\" the menu checks mode $CHECKED_MODE"

# Behind the text: nothing overlaps, so nothing changes but the stored mode.
menu_choose "$pid" "$MENU_PICTURE" "$MODE_BEHIND"
wait_for 10 ini_value_is "$ini" PICTURE 1 || e2e_fail "\"文字の背後\" did not store PICTURE=1"
shape_is "$TEXT_WINDOW" "$both" ||
    e2e_fail "\"文字の背後\" changed the shape of text and picture:"$'\n'"$(shape_rects "$TEXT_WINDOW" | head -n 30)"
stop_app "$pid"

# --- text and picture overlapping -------------------------------------------------------
# A blue block under the whole red text; the start shows the text alone (PICTURE=2),
# so that its glyph pixels are known.
block=$E2E_TMP/block.bmp
convert -size 400x60 xc:white -fill '#0000FF' -draw 'rectangle 1,1 398,58' -type TrueColor \
    "BMP3:$block" || e2e_fail "cannot write the block bitmap"
printf '%s\r\n' '[DATA]' 'TEXT=Deskword' 'FontBold=True' 'FontName=DejaVu Sans' 'FontSize=20' \
    'Color=255' 'XPOS=1500' 'YPOS=1500' 'XPOS2=0' 'YPOS2=0' 'PICTURE=2' >"$E2E_TMP/overlap.ini"
e2e_prepare_app overlap --settings "$E2E_TMP/overlap.ini" --picture "$block"
mv -- "$E2E_APP_DIR/block.bmp" "$E2E_APP_DIR/picture.bmp"
e2e_start_app "$E2E_APP_DIR"
pid=$E2E_PID
ini=$E2E_APP_DIR/deskword.ini
TEXT_WINDOW=$(text_window "$pid")
[[ -n $TEXT_WINDOW ]] || e2e_fail "overlap: no text window"
wait_for 30 shape_at_least "$TEXT_WINDOW" 60 10 || e2e_fail "overlap: the text was not shown"
text_only=$(shape_rects "$TEXT_WINDOW")
read -r gx gy gw _ < <(sort -k3,3nr <<<"$text_only" | head -n 1)
glyph_x=$((100 + gx + gw / 2))
glyph_y=$((100 + gy))
((gx >= 1 && gx + gw <= 399 && gy >= 1 && gy < 59)) || e2e_fail "overlap: the text is not over the block"
wait_for 10 pixel_is "$glyph_x" "$glyph_y" "#FF0000" ||
    e2e_fail "overlap: the glyph pixel shows $(screen_pixel "$glyph_x" "$glyph_y"), expected red"

menu_choose "$pid" "$MENU_PICTURE" "$MODE_FRONT"
wait_for 10 ini_value_is "$ini" PICTURE 0 || e2e_fail "overlap: \"文字の手前\" did not store PICTURE=0"
wait_for 10 pixel_is "$glyph_x" "$glyph_y" "#0000FF" ||
    e2e_fail "overlap: in front of the text the picture does not cover the glyph ($(screen_pixel "$glyph_x" "$glyph_y"))"
front=$(shape_rects "$TEXT_WINDOW")
[[ $front != "$text_only" ]] || e2e_fail "overlap: the picture did not join the shape"
menu_choose "$pid" "$MENU_PICTURE" "$MODE_BEHIND"
wait_for 10 ini_value_is "$ini" PICTURE 1 || e2e_fail "overlap: \"文字の背後\" did not store PICTURE=1"
wait_for 10 pixel_is "$glyph_x" "$glyph_y" "#FF0000" ||
    e2e_fail "overlap: behind the text the picture covers the glyph ($(screen_pixel "$glyph_x" "$glyph_y"))"
shape_is "$TEXT_WINDOW" "$front" ||
    e2e_fail "overlap: the outline differs between in front and behind:"$'\n'"$(shape_rects "$TEXT_WINDOW" | head -n 30)"

e2e_pass
