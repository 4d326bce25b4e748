#!/usr/bin/env bash
# Scaled screens: at Xft.dpi 192 (200 %) and at QT_SCALE_FACTOR=1.5 (150 %) the text
# is drawn and shaped at device pixels, not magnified from logical pixels:
# - the window's X SHAPE is, pixel for pixel, the text-coloured pixels of the screen
#   (none outside it, none missing), and it has edges at odd pixels;
# - a glyph as tall as the em (│) is the font's size at that DPI, to a pixel;
# - the tray's right click opens the menu at 192 DPI;
# - with per-monitor factors (QT_SCREEN_SCALE_FACTORS) the first one serves;
# - the stored position is a physical one: the same twips put the text at the same
#   place in inches after a restart at the other scale, and are stored unchanged;
# - the picture is shown at its pixels times the scale, and the shape holds exactly
#   its drawn pixels too.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=ui.sh
source "$(dirname "$0")/ui.sh"
e2e_begin "$@"
ui_begin

# Text of a colour nothing else on the desktop has (0x00BBGGRR 0xFD01FE), at 1500 x
# 1500 twips: 200 px at 192 DPI, 150 px at 144 DPI.
ink="#FE01FD"
points=36
printf '%s\r\n' '[DATA]' 'TEXT=│Sharp 字' 'FontBold=False' 'FontName=IPAGothic' "FontSize=$points" 'Color=16581118' \
    'XPOS=1500' 'YPOS=1500' 'XPOS2=6000' 'YPOS2=300' 'PICTURE=0' >"$E2E_TMP/settings.ini"
# The picture: a 15 x 11 block of another colour of its own on a white key, right of
# the text and below the bar's top.
ink2="#02FD01"
convert -size 21x15 xc:white -fill "$ink2" -draw 'rectangle 3,2 17,12' BMP3:"$E2E_TMP/picture.bmp"
e2e_prepare_app app --settings "$E2E_TMP/settings.ini" --picture "$E2E_TMP/picture.bmp"
ini=$E2E_APP_DIR/deskword.ini

# The window's shape on the screen: its rectangles moved by the window's place.
screen_shape()
{
    local x y rest
    read -r x y rest < <(window_geometry "$1") || return 1
    shape_rects "$1" | awk -v dx="$x" -v dy="$y" 'NF == 4 { print $1 + dx, $2 + dy, $3, $4 }'
}

# A screenshot with the pixels of the text's and the picture's colours white and all
# others black; sets INK_MASK (the file), INK_COUNT (how many white pixels it has)
# and PICTURE_SIZE ("W H" of the picture's colour).
ink_mask()
{
    local shot=$E2E_TMP/$1.png
    INK_MASK=$E2E_TMP/$1-mask.png
    import -window root "$shot" || return 1
    convert "$shot" -fill black -opaque white -fill white -opaque "$ink" -opaque "$ink2" \
        -fill black +opaque white "$INK_MASK" || return 1
    INK_COUNT=$(convert "$INK_MASK" -format '%[fx:int(mean*w*h+0.5)]' info:)
    PICTURE_SIZE=$(convert "$shot" -fill black +opaque "$ink2" -trim -format '%w %h' info:)
}

region_pixels()
{
    awk 'NF == 4 { n += $3 * $4 } END { print n + 0 }'
}

# Checks one start at the given DPI; sets LEFT and TOP, the shape's top-left corner
# on the screen.
check_scaled_start()
{
    local name=$1 dpi=$2 pid window shape drawn bar_left bar_height expected odd
    e2e_start_app "$E2E_APP_DIR"
    pid=$E2E_PID
    window=$(text_window "$pid")
    [[ -n $window ]] || e2e_fail "$name: no text window"
    wait_for 30 shape_at_least "$window" $((points * dpi * 2 / 72)) $((points * dpi / 72 - 4)) ||
        e2e_fail "$name: the text was not shown: $(window_geometry "$window")"

    shape=$(screen_shape "$window") || e2e_fail "$name: cannot read the shape"
    ink_mask "$name" || e2e_fail "$name: no screenshot"
    [[ $INK_COUNT -eq $(region_pixels <<<"$shape") ]] ||
        e2e_fail "$name: $INK_COUNT text-coloured pixels on the screen, $(region_pixels <<<"$shape") in the shape"
    # The white pixels around the shape, as a region (with the counts equal, none
    # lies elsewhere); the crop's top-left pixel is black, the key.
    local l t r b
    read -r l t r b < <(region_bounds <<<"$shape")
    l=$((l > 8 ? l - 8 : 0))
    t=$((t > 8 ? t - 8 : 0))
    convert "$INK_MASK" -crop "$((r + 8 - l))x$((b + 8 - t))+$l+$t" +repage "$E2E_TMP/$name-crop.png"
    drawn=$(image_region "$E2E_TMP/$name-crop.png" "$l" "$t")
    [[ $drawn == "$shape" ]] ||
        e2e_fail "$name: the shape is not the drawn pixels:"$'\n'"$(diff <(echo "$shape") <(echo "$drawn") | head -n 20)"

    # Magnified logical pixels would leave every edge even.
    odd=$(awk '($1 % 2) || ($2 % 2) || ($3 % 2) || ($4 % 2) { n++ } END { print n + 0 }' <<<"$shape")
    ((odd > 0)) || e2e_fail "$name: every edge of the shape is at an even pixel"

    # The bar is the leftmost glyph; its column is as tall as the em.
    read -r LEFT TOP _ < <(region_bounds <<<"$shape")
    bar_left=$LEFT
    bar_height=$(awk -v x="$bar_left" '$1 == x { if (n++ == 0 || $2 < t) t = $2
                                              if ($2 + $4 > b) b = $2 + $4 }
                                     END { print b - t }' <<<"$shape")
    expected=$((points * dpi / 72))
    ((bar_height >= expected - 1 && bar_height <= expected + 1)) ||
        e2e_fail "$name: the bar is $bar_height px tall, $points points at $dpi DPI are $expected px"
    # The block is 15 x 11 pixels in the file: times the scale (less than a pixel off
    # where that is not whole).
    local pw ph
    read -r pw ph <<<"$PICTURE_SIZE"
    ((pw * 96 > 15 * dpi - 96 && pw * 96 < 15 * dpi + 96 &&
        ph * 96 > 11 * dpi - 96 && ph * 96 < 11 * dpi + 96)) ||
        e2e_fail "$name: the picture's block is shown $pw x $ph px at $dpi DPI"
    echo "$name: picture block $pw x $ph px, shape $(wc -l <<<"$shape") rectangles, $odd with odd edges, bar $bar_height px, at $LEFT $TOP"
    PID=$pid
}

# --- 200 %: Xft.dpi 192, Qt's own scaling would make it factor 2 ---------------------
echo 'Xft.dpi: 192' | xrdb -nocpp -merge || e2e_fail "xrdb failed"
check_scaled_start xft192 192
left192=$LEFT
top192=$TOP
# The tray's mouse message is decoded with 7.5 twips per pixel: the menu opens.
open_tray_menu "$PID"
wait_for 10 escape_menus || e2e_fail "the tray menu did not close"
stop_app "$PID"
if ! ini_value_is "$ini" XPOS 1500 || ! ini_value_is "$ini" YPOS 1500; then
    e2e_fail "the position was stored as $(ini_value "$ini" XPOS), $(ini_value "$ini" YPOS) at 192 DPI"
fi

# --- 150 %: QT_SCALE_FACTOR=1.5 at 96 DPI ------------------------------------------
xrdb -nocpp -remove || e2e_fail "xrdb failed"
export QT_SCALE_FACTOR=1.5
check_scaled_start scale150 144
unset QT_SCALE_FACTOR
# Same place in inches: 144 / 192 of the pixels, to a pixel (glyph bearings round).
for pair in "$left192 $LEFT" "$top192 $TOP"; do
    read -r at192 at144 <<<"$pair"
    diff=$((at192 * 3 - at144 * 4))
    ((diff >= -4 && diff <= 4)) ||
        e2e_fail "the text moved: at $at192 px at 192 DPI but at $at144 px at 144 DPI"
done
stop_app "$PID"
if ! ini_value_is "$ini" XPOS 1500 || ! ini_value_is "$ini" YPOS 1500; then
    e2e_fail "the position was stored as $(ini_value "$ini" XPOS), $(ini_value "$ini" YPOS) at 144 DPI"
fi

# --- per-monitor factors: the first screen's factor (2) serves the program ---------
export QT_SCREEN_SCALE_FACTORS="2;1"
check_scaled_start screens2 192
unset QT_SCREEN_SCALE_FACTORS
((LEFT == left192 && TOP == top192)) ||
    e2e_fail "at factor 2 the text is at $LEFT $TOP, at Xft.dpi 192 at $left192 $top192"
stop_app "$PID"
e2e_pass
