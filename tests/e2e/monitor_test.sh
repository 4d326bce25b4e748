#!/usr/bin/env bash
# Two monitors on one Xvfb screen (xrandr --setmonitor), the primary on the right:
# - a first run puts the text's top-left corner at the centre of the primary monitor;
# - a stored place on the left monitor, which is then unplugged, brings the whole
#   figure onto the right one, both while the program runs and at the next start; the
#   stored place stays as it was until the program ends, also after a drag (only the
#   drop is stored, not the recovery's move);
# - a stored place beyond the right edge brings the whole figure back at start-up,
#   not only the corner the busy badge needs.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=ui.sh
source "$(dirname "$0")/ui.sh"
# shellcheck source=desktops.sh
source "$(dirname "$0")/desktops.sh"
e2e_begin "$@"
ui_begin

# The primary monitor holds Xvfb's one output; the left one is virtual.
xrandr --setmonitor '*right' 640/169x1024/271+640+0 screen >/dev/null
xrandr --setmonitor left 640/169x1024/271+0+0 none >/dev/null
[[ $(xrandr --listmonitors | head -n 1) == "Monitors: 2" ]] || e2e_fail "the screen was not split"

# Starts the program from the prepared folder and waits for its text (wider than the
# busy badge); sets pid and TEXT_WINDOW.
start_text()
{
    start_text_window
    wait_for 30 shape_at_least "$TEXT_WINDOW" 100 8 || e2e_fail "the text was not shown"
}

kill_text()
{
    kill -KILL "$pid"
    wait "$pid" 2>/dev/null || true
}

# Whether the figure lies wholly on the right monitor with its left edge between X
# and X2 (default X).
figure_on_right_at()
{
    local l t r b
    read -r l t r b < <(figure_rects "$TEXT_WINDOW" | region_bounds) || return 1
    ((l >= $1 && l <= ${2:-$1} && r <= 1280 && t >= 0 && b <= 1024))
}

# First run (no FontBold): the corner at the primary monitor's centre.
printf '%s\r\n' '[DATA]' 'TEXT=Deskword Deskword Deskword' >"$E2E_TMP/first.ini"
e2e_prepare_app first --settings "$E2E_TMP/first.ini"
start_text
wait_for 10 window_at "$TEXT_WINDOW" 960 512 ||
    e2e_fail "a first run put the text at $(window_geometry "$TEXT_WINDOW"), expected 960 512"
kill_text

# A stored place on the left monitor.
printf '%s\r\n' '[DATA]' 'TEXT=Deskword' 'FontBold=True' 'FontName=DejaVu Sans' 'FontSize=28' \
    'Color=0' 'XPOS=1500' 'YPOS=4500' 'XPOS2=0' 'YPOS2=0' >"$E2E_TMP/stored.ini"
e2e_prepare_app stored --settings "$E2E_TMP/stored.ini"
ini=$E2E_APP_DIR/deskword.ini
start_text
window_at "$TEXT_WINDOW" 100 300 ||
    e2e_fail "the text is at $(window_geometry "$TEXT_WINDOW"), expected 100 300"

# A drag stores its drop; the recovery below must not store its own move.
drag_text 60 40
wait_for 10 ini_value_is "$ini" XPOS 2400 && wait_for 10 ini_value_is "$ini" YPOS 5100 ||
    e2e_fail "the drop stored XPOS=$(ini_value "$ini" XPOS) YPOS=$(ini_value "$ini" YPOS)"

# The left monitor goes while the program runs.
xrandr --delmonitor left >/dev/null
wait_for 20 figure_on_right_at 640 ||
    e2e_fail "after the left monitor went the figure is at $(figure_rects "$TEXT_WINDOW" | region_bounds)"
[[ $(ini_value "$ini" XPOS) == 2400 && $(ini_value "$ini" YPOS) == 5100 ]] ||
    e2e_fail "the recovery stored XPOS=$(ini_value "$ini" XPOS) YPOS=$(ini_value "$ini" YPOS)"
kill_text

# The next start with the left monitor still gone: the figure lands just inside the
# monitor's left edge.
start_text
wait_for 20 figure_on_right_at 640 672 ||
    e2e_fail "at start-up the figure is at $(figure_rects "$TEXT_WINDOW" | region_bounds)"
kill_text
[[ $(ini_value "$ini" XPOS) == 2400 ]] || e2e_fail "the stored place changed without an exit"

# A stored place beyond the right edge (a monitor there is gone), with a figure much
# wider than the busy badge: all of it comes back, up to the right edge.
printf '%s\r\n' '[DATA]' 'TEXT=Deskword Deskword Deskword' 'FontBold=True' \
    'FontName=DejaVu Sans' 'FontSize=28' 'Color=0' 'XPOS=21000' 'YPOS=4500' 'XPOS2=0' \
    'YPOS2=0' >"$E2E_TMP/beyond.ini"
e2e_prepare_app beyond --settings "$E2E_TMP/beyond.ini"
start_text
wait_for 20 figure_on_right_at 640 1280 ||
    e2e_fail "at start-up the figure beyond the right edge is at $(figure_rects "$TEXT_WINDOW" | region_bounds)"
kill_text

e2e_pass
