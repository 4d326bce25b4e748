#!/usr/bin/env bash
# The picture beside the program joins the text window cut to its outline:
# - picture.bmp, with picture.gif beside it, and no text: the window's X SHAPE is
#   exactly the bitmap figure's region at the stored picture offset, and the figure
#   is painted in its own colours;
# - picture.gif alone (transparent background): its figure's region;
# - with no text, hiding the picture hides the window, and showing it behind the
#   text brings the same shape back; each choice is stored as PICTURE;
# - a first run (no FontBold) puts the picture at offset (0, 0) of a window whose
#   corner is at the screen centre.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=ui.sh
source "$(dirname "$0")/ui.sh"
e2e_begin "$@"
ui_begin

# A bitmap on white: a red triangle (many bands of one span) and a blue disc that
# shares rows with it (bands of two spans), drawn without antialiasing.
bmp=$E2E_TMP/picture.bmp
convert -size 160x120 xc:white +antialias -fill '#FF0000' -draw 'polygon 10,110 70,8 130,110' \
    -fill '#0000FF' -draw 'circle 130,40 130,62' -type TrueColor "BMP3:$bmp" ||
    e2e_fail "cannot write the test bitmap"
# A GIF with a transparent background and a different figure: a green ring (its
# hole transparent too) and a square.
gif=$E2E_TMP/picture.gif
convert -size 90x70 xc:white +antialias -fill '#00A000' -draw 'circle 45,35 45,65' \
    -fill white -draw 'circle 45,35 45,45' -fill '#00A000' -draw 'rectangle 5,5 20,20' \
    -transparent white "GIF:$gif" || e2e_fail "cannot write the test GIF"

bmp_region=$(image_region "$bmp" 0 0)
gif_region=$(image_region "$gif" 0 0)
[[ $(grep -c . <<<"$bmp_region") -gt 20 && $(grep -c . <<<"$gif_region") -gt 20 ]] ||
    e2e_fail "the test pictures have no figure"
[[ $bmp_region != "$gif_region" ]] || e2e_fail "the test pictures have the same figure"

moved()
{
    awk -v dx="$2" -v dy="$3" '{ print $1 + dx, $2 + dy, $3, $4 }' <<<"$1"
}

settings()
{
    printf '%s\r\n' '[DATA]' "$@" >"$E2E_TMP/settings.ini"
}

# --- picture.bmp and picture.gif, no text: only the bitmap -----------------------------
settings 'TEXT=' 'FontBold=True' 'XPOS=3000' 'YPOS=1500' 'XPOS2=1500' 'YPOS2=750'
e2e_prepare_app both --settings "$E2E_TMP/settings.ini" --picture "$bmp" --picture "$gif"
start_text_window "bmp"
expected=$(moved "$bmp_region" 100 50)
wait_for 30 shape_is "$TEXT_WINDOW" "$expected" ||
    e2e_fail "bmp: the shape is not the bitmap's figure at (100, 50):"$'\n'"$(shape_rects "$TEXT_WINDOW" | head -n 20)"$'\n'"expected:"$'\n'"$(head -n 20 <<<"$expected")"
window_at "$TEXT_WINDOW" 200 100 ||
    e2e_fail "bmp: the window is at $(window_geometry "$TEXT_WINDOW"), expected 200 100"
# Inside the triangle and the disc their colours show.
wait_for 10 pixel_is $((200 + 100 + 70)) $((100 + 50 + 90)) "#FF0000" ||
    e2e_fail "bmp: the triangle shows $(screen_pixel 370 240), expected #FF0000"
pixel_is $((200 + 100 + 130)) $((100 + 50 + 40)) "#0000FF" ||
    e2e_fail "bmp: the disc shows $(screen_pixel 430 190), expected #0000FF"
stop_app "$pid"

# --- picture.gif alone ---------------------------------------------------------------
settings 'TEXT=' 'FontBold=True' 'XPOS=0' 'YPOS=0' 'XPOS2=3000' 'YPOS2=4500'
e2e_prepare_app gif_only --settings "$E2E_TMP/settings.ini" --picture "$gif"
e2e_start_app "$E2E_APP_DIR"
pid=$E2E_PID
ini=$E2E_APP_DIR/deskword.ini
TEXT_WINDOW=$(text_window "$pid")
[[ -n $TEXT_WINDOW ]] || e2e_fail "gif: no text window"
expected=$(moved "$gif_region" 200 300)
wait_for 30 shape_is "$TEXT_WINDOW" "$expected" ||
    e2e_fail "gif: the shape is not the GIF's figure at (200, 300):"$'\n'"$(shape_rects "$TEXT_WINDOW" | head -n 20)"$'\n'"expected:"$'\n'"$(head -n 20 <<<"$expected")"
window_at "$TEXT_WINDOW" 0 0 || e2e_fail "gif: the window is at $(window_geometry "$TEXT_WINDOW"), expected 0 0"
wait_for 10 pixel_is $((200 + 45)) $((300 + 60)) "#00A000" ||
    e2e_fail "gif: the ring shows $(screen_pixel 245 360), expected #00A000"

# No text and the picture hidden: nothing to show, the window goes.
menu_choose "$pid" "$MENU_PICTURE" "$MODE_HIDDEN"
wait_for 10 ini_value_is "$ini" PICTURE 2 || e2e_fail "hiding the picture did not store PICTURE=2"
wait_for 10 is_hidden "$TEXT_WINDOW" ||
    e2e_fail "with no text, hiding the picture left the window shown: $(window_geometry "$TEXT_WINDOW")"
# Behind the (missing) text: the same picture comes back.
menu_choose "$pid" "$MENU_PICTURE" "$MODE_BEHIND"
wait_for 10 ini_value_is "$ini" PICTURE 1 || e2e_fail "the picture behind the text did not store PICTURE=1"
wait_for 10 shape_is "$TEXT_WINDOW" "$expected" ||
    e2e_fail "the picture behind the text did not bring the GIF's shape back:"$'\n'"$(shape_rects "$TEXT_WINDOW" | head -n 20)"
stop_app "$pid"

# --- a first run with a picture: offset (0, 0) at the screen centre ---------------------
settings 'TEXT=' 'XPOS=3000' 'YPOS=1500' 'XPOS2=1500' 'YPOS2=750'
e2e_prepare_app first_run --settings "$E2E_TMP/settings.ini" --picture "$bmp"
start_text_window "first run"
wait_for 30 shape_is "$TEXT_WINDOW" "$bmp_region" ||
    e2e_fail "first run: the shape is not the bitmap's figure at (0, 0):"$'\n'"$(shape_rects "$TEXT_WINDOW" | head -n 20)"
window_at "$TEXT_WINDOW" 640 512 ||
    e2e_fail "first run: the window is at $(window_geometry "$TEXT_WINDOW"), expected 640 512"
stop_app "$pid"

e2e_pass
