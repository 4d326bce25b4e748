#!/usr/bin/env bash
# Start-up of Deskword against a minimal Qt program showing the same figure.
#
#   bench/startup.sh [BUILD_DIR [ROUNDS]]      (rounds per screen size, default 15)
#
# BUILD_DIR is a Release build with -DDESKWORD_TESTS=ON -DDESKWORD_BENCH=ON. Without
# it the script uses build-bench/ in the source tree, configuring it so the first
# time and building what it needs (a few minutes on two cores; later runs reuse it).
#
# For each screen size (1920x1080 and 3840x2160, or those in STARTUP_SCREENS) a
# desktop of its own (Xvfb, openbox, trayer) shows Deskword once with two lines of
# bold text and a 640 x 480 picture; its window's shape, position and pixels are read
# back from the X server. bench/shaped_minimal then shows the same
# pixels with the same shape (QWidget::setMask) at the same place, drawing the same
# text over them, in two kinds of window (STARTUP_MINIMAL picks them):
#   desktop  the kind Deskword shows its figure in under a compositor:
#            override-redirect, 32-bit visual (without a compositor, as here,
#            Deskword's is 24-bit, and the X server keeps no second copy of its
#            pixels to blend it into the desktop: compare its pixmaps with plain's)
#   plain    an ordinary window the window manager places
# Each round starts Deskword and each minimal program once, in an order that changes
# from round to round (every order of the programs in turn, so that none is always
# first or always after the same one). time_to_window measures each start alike:
#   time     from the start to the window showing exactly the figure's shape
#   cpu      processor time of the process once it is idle: user + system of every
#            thread, those that have ended by then included (its CPU-time clock)
#   private  its private dirty memory then (/proc/PID/smaps_rollup: what it wrote
#            itself, heap, stacks, relocated data). PSS is left out: it shares the
#            pages of the Qt libraries among all processes using them, so it moves
#            with what else runs on the machine
#   pixmaps  the bytes of X pixmaps the client holds then (xrestop)
# For each measure the script prints the median of each program and, for each minimal
# program, the median and interquartile range of the paired ratios Deskword / minimal
# of the same round; and the load average at the start and end of each screen's
# rounds, since other work on the machine moves the times.
#
# On a busy machine the times measure the queue for the processors more than the
# programs: STARTUP_NICE=-20 (root or CAP_SYS_NICE) runs the desktops and all the
# programs at that priority, ahead of other work, alike for both.
#
# STARTUP_DESKWORD=PATH times another Deskword executable (an earlier commit's build,
# or one with a planted delay, to see that the ratios move); STARTUP_KEEP=1 keeps the
# work folder with every start's row.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=../scripts/desktop.sh
source "$root/scripts/desktop.sh"

build=${1:-}
if [[ -z $build ]]; then
    build=$root/build-bench
    if [[ ! -f $build/CMakeCache.txt ]]; then
        cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DDESKWORD_BENCH=ON \
            -DDESKWORD_TESTS=ON >/dev/null
    fi
    cmake --build "$build" -j 2 --target deskword shaped_minimal time_to_window xshape_dump \
        selection_owner >/dev/null
fi
build=$(cd "$build" && pwd)
type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
[[ $type == Release ]] ||
    echo "startup: $build is a '${type}' build, not Release: its times are not Deskword's" >&2
rounds=${2:-15}
read -r -a screens <<<"${STARTUP_SCREENS:-1920x1080 3840x2160}"
read -r -a kinds <<<"${STARTUP_MINIMAL:-desktop plain}"
for kind in "${kinds[@]}"; do
    [[ $kind == desktop || $kind == plain ]] ||
        { echo "startup: STARTUP_MINIMAL holds desktop and/or plain, not '$kind'" >&2 && exit 2; }
done
deskword=${STARTUP_DESKWORD:-$build/deskword}
if [[ -n ${STARTUP_NICE:-} ]]; then
    renice -n "$STARTUP_NICE" -p $$ >/dev/null || { echo "startup: cannot renice to $STARTUP_NICE" >&2 && exit 2; }
fi
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
# Written to disk before it runs: until the kernel writes a fresh copy back (half a
# minute or so), its mapped pages count as Deskword's private dirty memory, which the
# minimal program, run where it was built, never pays.
sync -- "$app/deskword"
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
# named Deskword (the text window; the editor bears the name too, unshaped), its
# shape (shape.txt), position (position.txt) and pixels (figure.png) into FIGURE_DIR.
# shellcheck disable=SC2016
read_figure='for id in $(xdotool search --pid "$TIME_TO_WINDOW_PID" --name "^Deskword\$"); do
        [ "$("$TOOLS/xshape_dump" --shaped "$id")" = shaped ] || continue
        "$TOOLS/xshape_dump" "$id" >"$FIGURE_DIR/shape.txt"
        "$TOOLS/xshape_dump" --geometry "$id" >"$FIGURE_DIR/position.txt"
        import -window "$id" "$FIGURE_DIR/figure.png"
        break
    done'

# One start: prints "time cpu pss private pixmaps".
measure()
{
    local name=$1 shape=$2
    shift 2
    local line
    line=$("$tools/time_to_window" --name "$name" --shape "$shape" --timeout 60 --idle \
        --at-idle "$pixmap_bytes" -- "$@" 2>>"$work/programs.log") ||
        { echo "startup: $name did not show its figure (see below)" >&2 && tail -n 20 "$work/programs.log" >&2 && return 1; }
    echo "$line" | tr '\n' ' '
    echo
}

# Prints the three load averages.
load()
{
    local one five fifteen _
    read -r one five fifteen _ </proc/loadavg
    echo "$one $five $fifteen"
}

# The order of the programs in round R: every rotation of them, then every rotation
# of them reversed (for two programs A B: AB BA BA AB, for three all six orders).
order()
{
    local round=$1
    shift
    local -a names=("$@") turned=()
    local n=${#names[@]} i
    for ((i = 0; i < n; i++)); do
        turned+=("${names[(i + round) % n]}")
    done
    if (((round / n) % 2 == 1)); then
        for ((i = n - 1; i >= 0; i--)); do
            printf '%s ' "${turned[i]}"
        done
    else
        printf '%s ' "${turned[@]}"
    fi
    echo
}

# The columns of a start's row that are reported: time, cpu, private dirty, pixmaps.
columns="1 2 4 5"
labels=("time to exact shape, ms" "cpu, every thread, ms" "private dirty, KiB" "X pixmaps, bytes")

# Prints "median q1 q3" (quartiles interpolated between neighbours) of column C of
# FILE, or of the ratios column C of FILE / column C of OTHER row by row.
statistics()
{
    local c=$1 file=$2 other=${3:-}
    if [[ -n $other ]]; then paste -d ' ' "$file" "$other"; else cat "$file"; fi |
        awk -v c="$c" -v paired="${other:+1}" '{
            width = paired ? NF / 2 : NF
            a[NR] = paired ? ($(c + width) > 0 ? $c / $(c + width) : 0) : $c }
        function at(p,   pos, low) {
            pos = 1 + (NR - 1) * p; low = int(pos)
            return low >= NR ? a[NR] : a[low] + (pos - low) * (a[low + 1] - a[low]) }
        END {
            for (i = 2; i <= NR; ++i) for (j = i; j > 1 && a[j - 1] > a[j]; --j) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
            printf "%.10g %.10g %.10g\n", at(0.5), at(0.25), at(0.75) }'
}

# One start of deskword or a minimal program (desktop, plain) on the current screen:
# its row is appended to FIGURE/NAME.txt.
start()
{
    case $1 in
    deskword) measure Deskword "$shape" "$app/deskword" ;;
    desktop) measure shaped_minimal "$shape" "$minimal" --desktop-window "$figure/figure.png" \
        "$shape" "$x" "$y" "$text" ;;
    plain) measure shaped_minimal "$shape" "$minimal" "$figure/figure.png" "$shape" "$x" "$y" \
        "$text" ;;
    esac >>"$figure/$1.txt"
}

for screen in "${screens[@]}"; do
    mkdir "$work/$screen"
    DESKTOP_SCREEN=${screen}x24 desktop_start "$work/$screen" "$tools/selection_owner"
    export DISPLAY=$DESKTOP_DISPLAY

    # The first start (unmeasured; it also fills the caches) gives the figure.
    figure=$work/$screen
    FIGURE_DIR=$figure TOOLS=$tools "$tools/time_to_window" --name Deskword --min-size 640x560 \
        --timeout 60 --idle --at-idle "$read_figure" -- "$app/deskword" >/dev/null 2>>"$work/programs.log"
    [[ -s $figure/shape.txt && -s $figure/figure.png ]] ||
        { echo "startup: Deskword showed no shaped window on $screen" >&2 && exit 1; }
    read -r x y _ <"$figure/position.txt"
    extent=$(awk '{ if (NR == 1 || $1 < l) l = $1; if (NR == 1 || $2 < t) t = $2
                    if ($1 + $3 > r) r = $1 + $3; if ($2 + $4 > b) b = $2 + $4 }
                  END { print r - l "x" b - t }' "$figure/shape.txt")
    rects=$(wc -l <"$figure/shape.txt")
    shape=$figure/shape.txt
    # One unmeasured start of each minimal program fills its caches too.
    for kind in "${kinds[@]}"; do
        start "$kind"
        : >"$figure/$kind.txt"
    done
    : >"$figure/deskword.txt"

    load_start=$(load)
    for ((round = 0; round < rounds; round++)); do
        for who in $(order "$round" deskword "${kinds[@]}"); do
            start "$who"
        done
    done
    load_end=$(load)
    desktop_stop

    echo "screen $screen: figure $extent ($rects rectangles), $rounds rounds in changing order, nice $(nice);" \
        "load average $load_start at the start, $load_end at the end"
    printf '  %-24s %14s' "median" Deskword
    for kind in "${kinds[@]}"; do printf ' %14s' "minimal $kind"; done
    echo
    i=0
    for c in $columns; do
        printf '  %-24s %14s' "${labels[i]}" "$(statistics "$c" "$figure/deskword.txt" | cut -d ' ' -f 1)"
        for kind in "${kinds[@]}"; do
            printf ' %14s' "$(statistics "$c" "$figure/$kind.txt" | cut -d ' ' -f 1)"
        done
        echo
        i=$((i + 1))
    done
    printf '  %-24s' "paired ratio, median (IQR)"
    for kind in "${kinds[@]}"; do printf ' %22s' "Deskword / $kind"; done
    echo
    i=0
    for c in $columns; do
        printf '  %-24s' "${labels[i]%%,*}"
        for kind in "${kinds[@]}"; do
            read -r median q1 q3 < <(statistics "$c" "$figure/deskword.txt" "$figure/$kind.txt")
            printf ' %22s' "$(printf '%.2f (%.2f-%.2f)' "$median" "$q1" "$q3")"
        done
        echo
        i=$((i + 1))
    done
    echo "  the figure's extent x 4 = $(awk -v e="$extent" 'BEGIN { split(e, wh, "x"); print wh[1] * wh[2] * 4 }') bytes"
done
