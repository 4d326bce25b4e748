#!/usr/bin/env bash
# Dragging the text and keeping its place:
# - the text, dragged by a glyph pixel with the left button, moves with the mouse;
# - Exit from the tray menu ends the program and stores the dropped position (in
#   twips); the next start shows the text there;
# - the dropped position is stored as soon as the text comes to rest: after a drag
#   and a crash the next start shows the text where it was dropped;
# - SIGTERM (the end of the session) ends the program as Exit does: status 0, and
#   the next start shows the text where it was dropped.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=ui.sh
source "$(dirname "$0")/ui.sh"
e2e_begin "$@"
ui_begin

printf '%s\r\n' '[DATA]' 'TEXT=Deskword' 'FontBold=True' 'FontName=DejaVu Sans' 'FontSize=28' \
    'Color=0' 'XPOS=1500' 'YPOS=3000' 'XPOS2=0' 'YPOS2=0' >"$E2E_TMP/settings.ini"
e2e_prepare_app app --settings "$E2E_TMP/settings.ini"
ini=$E2E_APP_DIR/deskword.ini

# Starts the program and waits for its text at (X, Y); sets pid and TEXT_WINDOW.
start_at()
{
    start_text_window
    # One line of 28 points is taller and wider than the busy badge.
    wait_for 30 shape_at_least "$TEXT_WINDOW" 100 20 ||
        e2e_fail "the text was not shown: $(window_geometry "$TEXT_WINDOW")"
    window_at "$TEXT_WINDOW" "$1" "$2" ||
        e2e_fail "the text window is at $(window_geometry "$TEXT_WINDOW"), expected $1 $2"
}

start_at 100 200
drag_text 150 120
# Dropped: the window stays, and the next right click on the tray icon still works.
menu_choose "$pid" "$MENU_EXIT"
ended_cleanly "$pid" "Exit"
[[ $(ini_value "$ini" XPOS) == 3750 && $(ini_value "$ini" YPOS) == 4800 ]] ||
    e2e_fail "Exit stored XPOS=$(ini_value "$ini" XPOS) YPOS=$(ini_value "$ini" YPOS), expected 3750 4800 (250, 320 pixels)"

# Whether the settings file holds the position (XPOS, YPOS) in twips.
stored_at()
{
    ini_value_is "$ini" XPOS "$1" && ini_value_is "$ini" YPOS "$2"
}

start_at 250 320
drag_text -200 150
wait_for 10 stored_at 750 7050 ||
    e2e_fail "the drop was not stored: XPOS=$(ini_value "$ini" XPOS) YPOS=$(ini_value "$ini" YPOS), expected 750 7050 (50, 470 pixels)"
# A crash after the drop loses nothing.
kill -KILL "$pid"
wait "$pid" 2>/dev/null || true
start_at 50 470

# The end of the session after a drop. The window manager tells the program where
# the window went only once it has finished the move, so the signal is sent once the
# drop has been seen (and stored); ending must keep that place.
drag_text 100 -70
wait_for 10 stored_at 2250 6000 ||
    e2e_fail "the drop was not stored: XPOS=$(ini_value "$ini" XPOS) YPOS=$(ini_value "$ini" YPOS), expected 2250 6000 (150, 400 pixels)"
kill -TERM "$pid"
ended_cleanly "$pid" "SIGTERM"
stored_at 2250 6000 ||
    e2e_fail "SIGTERM stored XPOS=$(ini_value "$ini" XPOS) YPOS=$(ini_value "$ini" YPOS), expected 2250 6000 (150, 400 pixels)"
start_at 150 400

e2e_pass
