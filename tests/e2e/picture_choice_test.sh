#!/usr/bin/env bash
# Choosing the picture in the editor, as a user would:
# - the desktop starts with picture.bmp beside the program;
# - "画像..." opens the picture dialog; the path of a PNG with transparency is typed
#   and Return pressed: PICTUREFILE holds the path at once, and picture.bmp stays;
# - "実行": the text window's shape is the text and, at the picture offset, exactly
#   the PNG's alpha outline (alpha 128 and more), pixel (0, 0) included although it
#   is opaque;
# - after a restart the PNG is shown again, not picture.bmp.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=ui.sh
source "$(dirname "$0")/ui.sh"
e2e_begin "$@"
ui_begin

bmp=$E2E_TMP/picture.bmp
convert -size 40x30 xc:white -fill '#00A000' -draw 'rectangle 5,5 34,24' \
    -type TrueColor "BMP3:$bmp" || e2e_fail "cannot write the test bitmap"
# Transparent, with an opaque red disc drawn with soft edges, a faint blue band that
# stays outside (alpha 100) and an opaque black corner at (0, 0).
png=$E2E_TMP/chosen/figure.png
mkdir "$E2E_TMP/chosen"
convert -size 64x48 xc:none -fill '#FF0000' -draw 'circle 32,26 32,6' \
    -fill '#0000FF64' -draw 'rectangle 0,40 63,47' \
    -fill '#000000' -draw 'rectangle 0,0 3,2' "PNG32:$png" || e2e_fail "cannot write the test picture"

# One line of text at the window's top, the picture 60 pixels lower: no row holds both.
printf '%s\r\n' '[DATA]' 'TEXT=Deskword' 'FontBold=True' 'FontName=DejaVu Sans' 'FontSize=20' \
    'FontItalic=False' 'FontUnderline=False' 'FontStrikethrough=False' \
    'Color=0' 'XPOS=1500' 'YPOS=1500' 'XPOS2=300' 'YPOS2=900' 'PICTURE=0' >"$E2E_TMP/settings.ini"
e2e_prepare_app app --settings "$E2E_TMP/settings.ini" --picture "$bmp"
ini=$E2E_APP_DIR/deskword.ini
bmp_sum=$(md5sum <"$E2E_APP_DIR/picture.bmp")

# Text and the picture's region $1 composed: the picture's rectangles end the shape,
# the text's come first and lie above them.
composed_with()
{
    is_viewable "$TEXT_WINDOW" || return 1
    local all count
    all=$(shape_rects "$TEXT_WINDOW") || return 1
    count=$(grep -c . <<<"$1")
    [[ $(tail -n "$count" <<<"$all") == "$1" ]] || return 1
    [[ -n $(head -n -"$count" <<<"$all") ]]
}
shape_dump()
{
    shape_rects "$TEXT_WINDOW" | head -n 40
}
bmp_region=$(image_region "$bmp" 20 60)
png_region=$(image_region "$png" 20 60 alpha)
[[ $(head -n 1 <<<"$png_region") == "20 60 4 3" ]] ||
    e2e_fail "the test picture's outline does not start with its opaque corner:"$'\n'"$png_region"

start_text_window
wait_for 30 composed_with "$bmp_region" ||
    e2e_fail "picture.bmp was not composed at (20, 60):"$'\n'"$(shape_dump)"

menu_choose "$pid" "$MENU_EDIT"
EDITOR=$(editor_window "$pid") || e2e_fail "\"編集\" opened no editor window"
before=$(viewable_windows "$pid")
click_client "$EDITOR" "${EDITOR_PICTURE[@]}" || e2e_fail "the editor vanished"
wait_for 10 find_new_window "$pid" "$before" || e2e_fail "\"画像...\" opened no dialog"
DIALOG=$UI_NEW_WINDOW
dialog_focused()
{
    [[ $(xdotool getwindowfocus 2>/dev/null) == "$DIALOG" ]]
}
wait_for 10 dialog_focused || e2e_fail "the picture dialog did not take the keyboard focus"
# The dialog's file name field has the focus: type the path and press Return.
xdotool type --delay 30 "$png"
xdotool key Return
wait_for 15 is_hidden "$DIALOG" || e2e_fail "the picture dialog did not close on Return"
wait_for 10 ini_value_is "$ini" PICTUREFILE "$png" ||
    e2e_fail "PICTUREFILE is '$(ini_value "$ini" PICTUREFILE)', expected $png"
# The desktop follows at "実行".
composed_with "$bmp_region" || e2e_fail "the choice alone changed the text window:"$'\n'"$(shape_dump)"

click_client "$EDITOR" "${EDITOR_EXECUTE[@]}" || e2e_fail "the editor vanished"
wait_for 15 composed_with "$png_region" ||
    e2e_fail "after \"実行\" the shape does not end with the picture's alpha outline:"$'\n'"$(shape_dump)"$'\n'"expected:"$'\n'"$png_region"
[[ -f $E2E_APP_DIR/picture.bmp && $(md5sum <"$E2E_APP_DIR/picture.bmp") == "$bmp_sum" ]] ||
    e2e_fail "picture.bmp was moved or changed"

stop_app "$pid"
e2e_start_app "$E2E_APP_DIR"
pid=$E2E_PID
TEXT_WINDOW=$(text_window "$pid")
[[ -n $TEXT_WINDOW ]] || e2e_fail "no text window after the restart"
wait_for 30 composed_with "$png_region" ||
    e2e_fail "after a restart the chosen picture is not shown:"$'\n'"$(shape_dump)"
stop_app "$pid"

e2e_pass
