#!/usr/bin/env bash
# "ログイン時に起動" (Start at login) in the tray menu, chosen with the mouse:
# - choosing it writes $XDG_CONFIG_HOME/autostart/io.github.deskword.Deskword.desktop,
#   which desktop-file-validate accepts and whose Exec names this very program (in a
#   folder whose name needs quoting);
# - choosing it again removes the file.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=ui.sh
source "$(dirname "$0")/ui.sh"
e2e_begin "$@"
ui_begin
command -v desktop-file-validate >/dev/null ||
    e2e_fail "desktop-file-validate is not installed (scripts/deps.sh installs it)"

printf '%s\r\n' '[DATA]' 'TEXT=Deskword' 'FontBold=True' 'FontName=DejaVu Sans' 'FontSize=28' \
    'Color=0' 'XPOS=1500' 'YPOS=3000' 'XPOS2=0' 'YPOS2=0' >"$E2E_TMP/settings.ini"
e2e_prepare_app "start at login" --settings "$E2E_TMP/settings.ini"
entry=$XDG_CONFIG_HOME/autostart/io.github.deskword.Deskword.desktop
[[ ! -e $entry ]] || e2e_fail "an autostart entry exists before the test"

start_text_window
wait_for 30 shape_at_least "$TEXT_WINDOW" 100 20 ||
    e2e_fail "the text was not shown: $(window_geometry "$TEXT_WINDOW") $(shape_rects "$TEXT_WINDOW" | head -n 3) $(cat "$E2E_APP_DIR/deskword.log")"

entry_written()
{
    [[ -f $entry ]]
}
menu_choose "$pid" "$MENU_AUTOSTART"
wait_for 10 entry_written || e2e_fail "\"ログイン時に起動\" wrote no $entry"
desktop-file-validate "$entry" >"$E2E_TMP/validate.log" 2>&1 ||
    e2e_fail "the autostart entry is not valid: $(cat "$E2E_TMP/validate.log")"
exec_line=$(grep '^Exec=' "$entry")
program=$(readlink -f "$E2E_APP_DIR/deskword")
[[ $exec_line == "Exec=\"$program\"" ]] ||
    e2e_fail "the autostart entry has $exec_line, expected Exec=\"$program\""
grep -q '^Hidden=' "$entry" && e2e_fail "the autostart entry is hidden"

entry_gone()
{
    [[ ! -e $entry ]]
}
menu_choose "$pid" "$MENU_AUTOSTART"
wait_for 10 entry_gone || e2e_fail "choosing \"ログイン時に起動\" again did not remove $entry"
is_running "$pid" || e2e_fail "the program ended"

e2e_pass
