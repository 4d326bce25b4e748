#!/usr/bin/env bash
# Takes the README's screenshot: Deskword with a two-line text and a picture on a
# virtual desktop (Xvfb, openbox, trayer), scaled down to a small PNG.
#
#   packaging/screenshot.sh BUILD_DIR [OUTPUT]    OUTPUT defaults to docs/screenshot.png
#
# BUILD_DIR holds the deskword executable and tests/tools/selection_owner and
# xshape_dump (cmake --build BUILD_DIR --target deskword selection_owner xshape_dump).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: $0 BUILD_DIR [OUTPUT]}" && pwd)
output=$(realpath -m "${2:-$root/docs/screenshot.png}")
source "$root/scripts/desktop.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/deskword-screenshot.XXXXXX")
stop()
{
    desktop_stop
    rm -rf -- "$work"
}
trap stop EXIT
trap 'exit 130' INT TERM

mkdir -m 0700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-session-bus
export QT_QPA_PLATFORM=xcb QT_XCB_GL_INTEGRATION=none

desktop_start "$work" "$build/tests/tools/selection_owner"
export DISPLAY=$DESKTOP_DISPLAY
xsetroot -solid '#2F4F6F'

# The program in a folder of its own, with its settings (Shift_JIS, positions in
# twips: 15 a pixel at 96 DPI; the colour is 0x00BBGGRR) and a picture whose
# top-left pixel's colour is cut away.
mkdir "$work/app"
cp "$build/deskword" "$work/app/deskword"
printf '%s\r\n' '[DATA]' 'TEXT=Deskword%rデスクトップに言葉を' 'FontName=IPAPGothic' \
    'FontBold=True' 'FontItalic=False' 'FontSize=36' 'Color=4901887' \
    'XPOS=3000' 'YPOS=2700' 'XPOS2=7500' 'YPOS2=0' 'PICTURE=0' |
    iconv -f UTF-8 -t SHIFT_JIS >"$work/app/deskword.ini"
convert -size 120x120 xc:white -fill '#F2C94C' -stroke '#C0392B' -strokewidth 6 \
    -draw 'circle 60,60 60,10' -fill '#C0392B' -stroke none \
    -draw 'circle 43,50 43,42' -draw 'circle 77,50 77,42' \
    -fill none -stroke '#C0392B' -strokewidth 6 -draw 'arc 35,55 85,90 20,160' \
    +antialias -type TrueColor BMP3:"$work/app/picture.bmp"

# A window under the text: the text stays above it and it shows between the letters.
xmessage -geometry 600x250+420+140 -buttons "" -fn 9x15 \
    "$(printf '%s\n' '' '' '' '' '' '' '' '' 'An ordinary window below Deskword:' \
        'it shows between the letters, and clicks there reach it.')" \
    >"$work/xmessage.log" 2>&1 &
desktop_adopt $!
wait_for 30 xdotool search --name '^xmessage$' ||
    { echo "screenshot: the xmessage window did not appear" >&2 && exit 1; }

"$work/app/deskword" >"$work/deskword.log" 2>&1 &
pid=$!
desktop_adopt "$pid"

# The text window is shaped once its build is done: wait until its shape holds the
# text and the picture (many rectangles) and no longer changes.
text_window()
{
    local window
    for window in $(xdotool search --pid "$pid" 2>/dev/null); do
        if [[ $("$build/tests/tools/xshape_dump" --shaped "$window" 2>/dev/null) == shaped ]]; then
            echo "$window"
            return 0
        fi
    done
    return 1
}
shape_settled()
{
    local window now
    window=$(text_window) || return 1
    now=$("$build/tests/tools/xshape_dump" "$window" | wc -l)
    ((now > 100)) || return 1
    [[ $now == "${last_count:-}" ]] && return 0
    last_count=$now
    return 1
}
last_count=""
wait_for 60 shape_settled || { echo "screenshot: the text window did not settle" >&2 && exit 1; }

mkdir -p "$(dirname "$output")"
# The upper left of the screen with the text, and the tray at the top right.
import -window root "$work/full.png"
convert "$work/full.png" -crop 1280x460+0+0 +repage -resize 60% \
    -colors 64 -strip PNG8:"$output"
echo "screenshot: $output ($(stat -c %s "$output") bytes)"
