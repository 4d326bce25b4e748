#!/usr/bin/env bash
# Start-up with a huge TEXT (10 MB, inside the 16 MiB settings limit), with a tray and
# without one (then the start opens the editor with the text).
#
#   bench/huge_text.sh BUILD_DIR TOOLS_DIR [RUNS]     (RUNS per case, default 5)
#
# BUILD_DIR holds deskword (a Release build for figures worth quoting); TOOLS_DIR
# holds time_to_window and selection_owner (any build with -DDESKWORD_TESTS=ON). Two
# texts: 100,000 lines of 100 characters, and one line of 10,000,000; without a tray
# the settings count as a first run, so that the start opens the editor. For each case it
# prints the time from the start to the first window (the text window with a tray, the
# editor without), the processor time, and the peak resident memory (VmHWM) once idle.
#
# Release builds, two runs each, interleaved with the build before the editor's mirror
# shared the typing box's document, load average about 10 on 2 cores (wall times there
# are mostly waiting; compare processor time and memory):
#                                   before                     after
#   with a tray, 100,000 lines      cpu 0.59-0.77 s, 99 MB     cpu 0.58-0.76 s, 99 MB
#   with a tray, one line           cpu 0.40-0.47 s, 98 MB     cpu 0.54-0.62 s, 98 MB
#   without a tray, 100,000 lines   cpu 2.01-2.74 s, 228 MB    cpu 0.93-1.22 s, 137 MB
#   without a tray, one line        no editor within 60 s      cpu 0.47-0.63 s, 98 MB
# (the long line is shown shortened and read-only, and kept whole).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=../scripts/desktop.sh
source "$root/scripts/desktop.sh"
build=$(cd "${1:?usage: bench/huge_text.sh BUILD_DIR TOOLS_DIR [RUNS]}" && pwd)
tools=$(cd "${2:?usage: bench/huge_text.sh BUILD_DIR TOOLS_DIR [RUNS]}" && pwd)
runs=${3:-5}

work=$(mktemp -d "${TMPDIR:-/tmp}/deskword-huge.XXXXXX")
trap 'desktop_stop; rm -rf -- "$work"' EXIT
trap 'exit 130' INT TERM
mkdir -m 0700 "$work/runtime"
mkdir "$work/config"
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-session-bus
export QT_QPA_PLATFORM=xcb QT_XCB_GL_INTEGRATION=none
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_FONT_DPI

mkdir "$work/desktop"
desktop_start "$work/desktop" "$tools/selection_owner"
export DISPLAY=$DESKTOP_DISPLAY

# The settings with the text; without FontBold the start counts as a first run,
# which opens the editor when there is no tray.
settings()
{
    printf '[DATA]\r\nTEXT='
    python3 -c "import sys; sys.stdout.write($1)"
    printf '\r\n%sFontName=DejaVu Sans\r\nFontSize=12\r\nColor=255\r\nXPOS=0\r\nYPOS=0\r\n' "$2"
}

run_case()
{
    local label=$1 text=$2 which=$3 size=$4 bold=${5:-}
    local app=$work/app
    rm -rf "$app" && mkdir "$app"
    cp "$build/deskword" "$app/deskword"
    settings "$text" "$bold" >"$app/huge.ini"
    echo "$label ($(stat -c %s "$app/huge.ini") bytes of settings)"
    for ((i = 0; i < runs; ++i)); do
        cp "$app/huge.ini" "$app/deskword.ini"
        # shellcheck disable=SC2086 # $which is one option or none
        "$tools/time_to_window" --name Deskword $which --min-size "$size" --timeout 60 --idle \
            --at-idle 'grep VmHWM /proc/$TIME_TO_WINDOW_PID/status' -- "$app/deskword" |
            tr '\n' ' ' | awk '{ printf "  time %s ms  cpu %s ms  peak %s kB\n", $1, $2, $6 }'
    done
}

lines="'%r'.join(['x' * 100] * 100000)"
one_line="'x' * 10000000"
bold=$'FontBold=False\r\n'
# The text window and the editor are both titled Deskword: the text window is not
# managed by the window manager, the editor is.
run_case "with a tray, 100,000 lines" "$lines" "" 100x5 "$bold"
run_case "with a tray, one line" "$one_line" "" 100x5 "$bold"
desktop_stop_tray
run_case "without a tray, 100,000 lines" "$lines" --managed 300x150
run_case "without a tray, one line" "$one_line" --managed 300x150
