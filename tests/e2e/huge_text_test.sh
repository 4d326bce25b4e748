#!/usr/bin/env bash
# A TEXT as large as a settings file may hold (10 MB), without a system tray, where
# the start opens the editor with the text: 100,000 lines, and one line of 10,000,000
# characters. The editor shows within a generous bound (bench/huge_text.sh has the
# figures), and the orderly end, which stores the editor's text, stores the very
# text that was read: the long line too, which the editor can only show shortened.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=ui.sh
source "$(dirname "$0")/ui.sh"
e2e_begin "$@"
ui_begin

desktop_stop_tray || e2e_fail "the tray did not end"
selection="$(e2e_tool selection_owner)"
tray_gone()
{
    ! "$selection" _NET_SYSTEM_TRAY_S0
}
wait_for 10 tray_gone || e2e_fail "the tray's selection is still owned"

# Settings with the text that EXPRESSION makes (Python); without FontBold the start
# counts as a first run, which opens the editor when there is no tray.
write_settings()
{
    {
        printf '[DATA]\r\nTEXT='
        python3 -c "import sys; sys.stdout.write($2)"
        printf '\r\nFontName=DejaVu Sans\r\nFontSize=12\r\nXPOS=0\r\nYPOS=0\r\n'
    } >"$1"
}

opens_and_keeps()
{
    local name=$1 expression=$2
    e2e_prepare_app "$name"
    write_settings "$E2E_APP_DIR/deskword.ini" "$expression"
    local stored start
    stored=$(ini_value "$E2E_APP_DIR/deskword.ini" TEXT)
    ((${#stored} >= 10000000)) || e2e_fail "$name: the test's text is only ${#stored} characters"
    start=$SECONDS
    e2e_start_app "$E2E_APP_DIR"
    local pid=$E2E_PID
    wait_for 60 find_editor "$pid" || e2e_fail "$name: the editor did not show within 60 s"
    echo "$name: the editor showed within $((SECONDS - start)) s"
    stop_app "$pid"
    [[ $(ini_value "$E2E_APP_DIR/deskword.ini" TEXT) == "$stored" ]] ||
        e2e_fail "$name: the stored text changed when the program ended"
}

opens_and_keeps lines "'%r'.join(['%06d' % i + 'x' * 94 for i in range(100000)])"
opens_and_keeps one_line "'y' * 5000 + 'x' * 9995000"

e2e_pass
