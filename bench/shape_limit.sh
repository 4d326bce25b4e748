#!/bin/bash
# How many rectangles a window shape may have through Qt on this X server build:
# for each count, a fresh Xvfb, a window shaped by that many rectangles, and the
# number of rectangles the server then holds for it (0 or "lost" when it failed).
#
#   bench/shape_limit.sh BUILD_DIR [COUNT...]   (default: 32765 32766 2097150)
set -u
build=${1:?usage: shape_limit.sh BUILD_DIR [COUNT...]}
shift
counts=("$@")
[ ${#counts[@]} -gt 0 ] || counts=(32765 32766 2097150)
probe=$build/bench/shape_limit_probe
dump=$build/tests/tools/xshape_dump
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for n in "${counts[@]}"; do
    exec 3< <(exec Xvfb -displayfd 1 -screen 0 4200x1100x24 -nolisten tcp 2>/dev/null)
    xvfb=$!
    read -r display <&3
    DISPLAY=:$display QT_QPA_PLATFORM=xcb "$probe" "$n" >"$work/out" 2>"$work/err" &
    app=$!
    held=lost
    for _ in $(seq 1 200); do
        grep -q '^window' "$work/out" && break
        kill -0 "$app" 2>/dev/null || break
        sleep 0.1
    done
    window=$(awk '/^window/{print $2}' "$work/out")
    if [ -n "$window" ]; then
        for _ in $(seq 1 50); do
            if held=$(DISPLAY=:$display "$dump" "$window" 2>/dev/null | wc -l) && [ "$held" -gt 0 ]; then
                break
            fi
            DISPLAY=:$display "$dump" --shaped "$window" >/dev/null 2>&1 || { held=lost; break; }
            sleep 0.2
        done
    fi
    wait "$app"
    echo "asked $n, held $held $(grep -m1 'connection broke' "$work/err")"
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
done
