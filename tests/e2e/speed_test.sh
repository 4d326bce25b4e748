#!/usr/bin/env bash
# Start-up speed: the time from starting Deskword to its composed text window on the
# screen (two lines of text and a 640 x 480 picture), against the time a minimal Qt
# Widgets program takes to show one plain window, both measured alike by
# time_to_window on the same desktop, alternately, several times each. Prints the
# medians and their ratio (the aim is at most 1.5). The timings do not decide the
# result, since machines differ; a program that never shows its window fails.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
e2e_begin "$@"
time_to_window=$(e2e_tool time_to_window) || exit 1
minimal_window=$(e2e_tool minimal_window) || exit 1
runs=${E2E_SPEED_RUNS:-5}

# A 640 x 480 picture whose figure spans the full width and all rows but the first:
# a diamond with round holes.
picture=$E2E_TMP/picture.bmp
convert -size 640x480 xc:white +antialias -fill '#3060C0' -draw 'polygon 0,240 320,1 639,240 320,479' \
    -fill white -draw 'circle 320,240 320,300' -draw 'circle 160,240 160,270' \
    -draw 'circle 480,240 480,270' -draw 'circle 320,100 320,130' -draw 'circle 320,380 320,410' \
    -type TrueColor "BMP3:$picture" || e2e_fail "cannot write the test picture"
# The text at the window's origin, the picture 100 pixels below it: once both are
# composed the window's shape spans 640 pixels across and more than 560 down, which
# neither the busy badge nor either part alone does.
printf '%s\r\n' '[DATA]' 'TEXT=Deskword on the desktop%rsecond line of the text' 'FontBold=True' \
    'FontName=DejaVu Sans' 'FontSize=28' 'Color=0' 'XPOS=0' 'YPOS=0' 'XPOS2=0' 'YPOS2=1500' \
    >"$E2E_TMP/settings.ini"
e2e_prepare_app app --settings "$E2E_TMP/settings.ini" --picture "$picture"

# Prints the milliseconds to the shown window; fails when it is never shown.
time_deskword()
{
    "$time_to_window" --name Form2 --min-size 640x560 --timeout 60 -- "$E2E_APP_DIR/deskword" \
        2>>"$E2E_APP_DIR/deskword.log"
}

time_minimal()
{
    "$time_to_window" --name minimal_window --min-size 640x480 --timeout 60 -- "$minimal_window" \
        2>>"$E2E_TMP/minimal_window.log"
}

median()
{
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# One unmeasured run each fills the caches.
time_deskword >/dev/null || e2e_fail "Deskword did not show its composed text window"
time_minimal >/dev/null || e2e_fail "the minimal Qt program did not show its window"

deskword_times=()
minimal_times=()
for ((i = 0; i < runs; i++)); do
    t=$(time_minimal) || e2e_fail "the minimal Qt program did not show its window (run $((i + 1)))"
    minimal_times+=("$t")
    t=$(time_deskword) || e2e_fail "Deskword did not show its composed text window (run $((i + 1)))"
    deskword_times+=("$t")
done

deskword_median=$(printf '%s\n' "${deskword_times[@]}" | median)
minimal_median=$(printf '%s\n' "${minimal_times[@]}" | median)
echo "minimal Qt window:   ${minimal_times[*]} ms, median $minimal_median ms"
echo "Deskword composed:   ${deskword_times[*]} ms, median $deskword_median ms"
awk -v d="$deskword_median" -v m="$minimal_median" \
    'BEGIN { printf "ratio Deskword / minimal: %.2f (aim: at most 1.5)\n", d / m }'

e2e_pass
