#!/usr/bin/env bash
# Start-up of Deskword against a minimal Qt program showing the same figure.
#
#   bench/startup.sh BUILD_DIR [RUNS]      (RUNS per program and screen size, default 7)
#
# BUILD_DIR is a build with -DDESKWORD_TESTS=ON -DDESKWORD_BENCH=ON (Release for
# figures worth comparing). For each screen size (1920x1080 and 3840x2160, or those
# in STARTUP_SCREENS) a desktop of its own (Xvfb, openbox, trayer) shows Deskword once
# with two lines of bold text and a 640 x 480 picture; its window's shape, position
# and pixels are read back from the X server. bench/shaped_minimal then shows the same
# pixels with the same shape (QWidget::setMask) at the same place, drawing the same
# text over them. The two programs
# start in turn, RUNS times each; time_to_window measures each start alike:
#   time     from the start to the window showing its final shape (the figure's extents)
#   cpu      processor time of the process (user + system) once it is idle
#   pss      its proportional set size then (/proc/PID/smaps_rollup); PSS shares the
#            pages of the Qt libraries among all processes using them, so it moves
#            with what else runs on the machine
#   private  its private dirty memory then (what it wrote itself: heap, stacks,
#            relocated data), which does not
#   pixmaps  the bytes of X pixmaps the client holds then (xrestop)
# and the script prints medians, min-max and the ratios Deskword / minimal of the
# medians.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=../scripts/desktop.sh
source "$root/scripts/desktop.sh"

build=$(cd "${1:?usage: bench/startup.sh BUILD_DIR [RUNS]}" && pwd)
runs=${2:-7}
read -r -a screens <<<"${STARTUP_SCREENS:-1920x1080 3840x2160}"
deskword=$build/deskword
minimal=$build/bench/shaped_minimal
tools=$build/tests/tools
for program in "$deskword" "$minimal" "$tools/time_to_window" "$tools/xshape_dump" \
    "$tools/selection_owner"; do
    [[ -x $program ]] || { echo "startup: $program is missing (build with -DDESKWORD_TESTS=ON -DDESKWORD_BENCH=ON)" >&2 && exit 2; }
done
for command in xrestop xdotool import convert; do
    command -v "$command" >/dev/null || { echo "startup: $command is missing (scripts/deps.sh)" >&2 && exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/deskword-startup.XXXXXX")
# STARTUP_KEEP=1 keeps the work folder: the figure and every start's row per screen.
trap 'desktop_stop; [[ -n ${STARTUP_KEEP:-} ]] && echo "kept $work" || rm -rf -- "$work"' EXIT
trap 'exit 130' INT TERM

# Private folders, no session bus (the tray is trayer's), no GL: as in the
# end-to-end tests.
mkdir -m 0700 "$work/runtime"
mkdir "$work/config"
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-session-bus
export QT_QPA_PLATFORM=xcb QT_XCB_GL_INTEGRATION=none
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_FONT_DPI

# Deskword's folder: the executable, its settings and its picture (a diamond with
# round holes 100 pixels below two lines of text at the window's origin).
app=$work/app
mkdir "$app"
cp "$deskword" "$app/deskword"
convert -size 640x480 xc:white +antialias -fill '#3060C0' -draw 'polygon 0,240 320,1 639,240 320,479' \
    -fill white -draw 'circle 320,240 320,300' -draw 'circle 160,240 160,270' \
    -draw 'circle 480,240 480,270' -draw 'circle 320,100 320,130' -draw 'circle 320,380 320,410' \
    -type TrueColor "BMP3:$app/picture.bmp"
printf '%s\r\n' '[DATA]' 'TEXT=Deskword on the desktop%rsecond line of the text' 'FontBold=True' \
    'FontName=DejaVu Sans' 'FontSize=28' 'Color=0' 'XPOS=0' 'YPOS=0' 'XPOS2=0' 'YPOS2=1500' \
    >"$app/deskword.ini"
# The minimal program draws the same text over Deskword's pixels: it loads and renders
# fonts as any program showing text must.
text=$'Deskword on the desktop\nsecond line of the text'

# At idle (run by time_to_window --at-idle): the pixmap bytes the X server holds for
# the client of the windows of process TIME_TO_WINDOW_PID (xrestop names clients by
# the base of their resource ids).
cat >"$work/pixmap_bytes.sh" <<'HOOK'
id=$(xdotool search --pid "$TIME_TO_WINDOW_PID" | head -n 1)
[ -n "$id" ] || exit 1
while read -r key _ value; do
    case $key in
    res_base) base=$((value)) ;;
    res_mask) mine=$(((id & ~value) == base)) ;;
    pixmap) [ "$mine" = 1 ] && echo "${value#: }" && exit 0 ;;
    esac
done < <(xrestop -b -m 1)
exit 1
HOOK
pixmap_bytes="bash $work/pixmap_bytes.sh"

# At idle of the first start: the shaped window of the process TIME_TO_WINDOW_PID
# named Form2, its shape (shape.txt), position (position.txt) and pixels (figure.png)
# into FIGURE_DIR.
# shellcheck disable=SC2016
read_figure='for id in $(xdotool search --pid "$TIME_TO_WINDOW_PID" --name "^Form2\$"); do
        [ "$("$TOOLS/xshape_dump" --shaped "$id")" = shaped ] || continue
        "$TOOLS/xshape_dump" "$id" >"$FIGURE_DIR/shape.txt"
        "$TOOLS/xshape_dump" --geometry "$id" >"$FIGURE_DIR/position.txt"
        import -window "$id" "$FIGURE_DIR/figure.png"
        break
    done'

# One start: prints "time cpu pss private pixmaps".
measure()
{
    local name=$1 size=$2
    shift 2
    local line
    line=$("$tools/time_to_window" --name "$name" --min-size "$size" --timeout 60 --idle \
        --at-idle "$pixmap_bytes" -- "$@" 2>>"$work/programs.log") ||
        { echo "startup: $name did not show its figure (see below)" >&2 && tail -n 20 "$work/programs.log" >&2 && return 1; }
    echo "$line" | tr '\n' ' '
    echo
}

# Reads rows of "time cpu pss private pixmaps" for one program; prints the median,
# minimum and maximum of each column in turn.
summary()
{
    awk '{ for (c = 1; c <= 5; ++c) v[c, NR] = $c }
    END {
        for (c = 1; c <= 5; ++c) {
            for (i = 1; i <= NR; ++i) a[i] = v[c, i]
            for (i = 2; i <= NR; ++i) for (j = i; j > 1 && a[j - 1] > a[j]; --j) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
            m = (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2
            printf "%s%.10g %.10g %.10g", (c > 1) ? " " : "", m, a[1], a[NR]
        }
        print ""
    }'
}

for screen in "${screens[@]}"; do
    mkdir "$work/$screen"
    DESKTOP_SCREEN=${screen}x24 desktop_start "$work/$screen" "$tools/selection_owner"
    export DISPLAY=$DESKTOP_DISPLAY

    # The first start (unmeasured; it also fills the caches) gives the figure.
    figure=$work/$screen
    FIGURE_DIR=$figure TOOLS=$tools "$tools/time_to_window" --name Form2 --min-size 640x560 \
        --timeout 60 --idle --at-idle "$read_figure" -- "$app/deskword" >/dev/null 2>>"$work/programs.log"
    [[ -s $figure/shape.txt && -s $figure/figure.png ]] ||
        { echo "startup: Deskword showed no shaped window on $screen" >&2 && exit 1; }
    read -r x y _ <"$figure/position.txt"
    extent=$(awk '{ if (NR == 1 || $1 < l) l = $1; if (NR == 1 || $2 < t) t = $2
                    if ($1 + $3 > r) r = $1 + $3; if ($2 + $4 > b) b = $2 + $4 }
                  END { print r - l "x" b - t }' "$figure/shape.txt")
    rects=$(wc -l <"$figure/shape.txt")
    measure shaped_minimal "$extent" "$minimal" "$figure/figure.png" "$figure/shape.txt" "$x" "$y" \
        "$text" >/dev/null

    : >"$figure/deskword.txt"
    : >"$figure/minimal.txt"
    for ((i = 0; i < runs; i++)); do
        measure shaped_minimal "$extent" "$minimal" "$figure/figure.png" "$figure/shape.txt" \
            "$x" "$y" "$text" >>"$figure/minimal.txt"
        measure Form2 "$extent" "$app/deskword" >>"$figure/deskword.txt"
    done
    desktop_stop

    read -r -a d < <(summary <"$figure/deskword.txt")
    read -r -a m < <(summary <"$figure/minimal.txt")
    echo "screen $screen: figure $extent ($rects rectangles), N = $runs starts each, medians (min-max)"
    printf '  %-9s %-20s %-18s %-21s %-21s %s\n' "" "time to shape, ms" "cpu, ms" "PSS, KiB" \
        "private dirty, KiB" "X pixmaps, bytes"
    for who in Deskword minimal; do
        if [[ $who == Deskword ]]; then v=("${d[@]}"); else v=("${m[@]}"); fi
        printf '  %-9s %-20s %-18s %-21s %-21s %s\n' "$who" "${v[0]} (${v[1]}-${v[2]})" \
            "${v[3]} (${v[4]}-${v[5]})" "${v[6]} (${v[7]}-${v[8]})" "${v[9]} (${v[10]}-${v[11]})" \
            "${v[12]} (${v[13]}-${v[14]})"
    done
    awk -v dt="${d[0]}" -v mt="${m[0]}" -v dc="${d[3]}" -v mc="${m[3]}" -v dp="${d[6]}" \
        -v mp="${m[6]}" -v dv="${d[9]}" -v mo="${m[9]}" -v dx="${d[12]}" -v e="$extent" 'BEGIN {
        split(e, wh, "x")
        printf "  Deskword / minimal: time %.2f (aim <= 1.2), cpu %.2f, PSS %.2f (aim <= 1.5), private dirty %.2f\n",
            dt / mt, dc / mc, dp / mp, dv / mo
        printf "  Deskword X pixmaps %d bytes against the extent x 4 = %d bytes (aim: at most that)\n",
            dx, wh[1] * wh[2] * 4 }'
done
