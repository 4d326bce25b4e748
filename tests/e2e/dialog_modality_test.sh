#!/usr/bin/env bash
# The font and colour dialogs are modal to the editor only: with either open, the
# tray menu still opens and its commands run, and the dialog is still there to be
# answered afterwards.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=ui.sh
source "$(dirname "$0")/ui.sh"
e2e_begin "$@"
ui_begin

printf '%s\r\n' '[DATA]' 'TEXT=Deskword' 'FontBold=True' 'FontName=DejaVu Sans' 'FontSize=20' \
    'Color=0' 'XPOS=1500' 'YPOS=1500' 'XPOS2=0' 'YPOS2=0' 'PICTURE=0' >"$E2E_TMP/settings.ini"
e2e_prepare_app app --settings "$E2E_TMP/settings.ini"
ini=$E2E_APP_DIR/deskword.ini
start_text_window
wait_for 30 shape_at_least "$TEXT_WINDOW" 20 20 || e2e_fail "the text was not shown"

menu_choose "$pid" "$MENU_EDIT"
EDITOR=$(editor_window "$pid") || e2e_fail "\"編集\" opened no editor"

# The dialog is the one new window the button opens.
open_dialog()
{
    local x=$1 y=$2 name=$3 before
    before=$(viewable_windows "$pid")
    click_client "$EDITOR" "$x" "$y" || e2e_fail "cannot click \"$name\""
    wait_for 10 find_new_window "$pid" "$before" || e2e_fail "\"$name\" opened no dialog"
    DIALOG=$UI_NEW_WINDOW
}

check_tray_with_dialog()
{
    local name=$1 mode=$2 value=$3
    # The tray menu opens over the dialog and its command runs at once.
    menu_choose "$pid" "$MENU_PICTURE" "$mode"
    wait_for 10 ini_value_is "$ini" PICTURE "$value" ||
        e2e_fail "with the $name dialog open, the tray menu's command did not run"
    is_viewable "$DIALOG" || e2e_fail "the $name dialog went away"
    # Escape answers the dialog: cancelled, nothing changes.
    timeout 10 xdotool windowactivate --sync "$DIALOG" 2>/dev/null || true
    xdotool key Escape
    wait_for 10 is_hidden "$DIALOG" || e2e_fail "the $name dialog did not close on Escape"
}

open_dialog "${EDITOR_FONT[@]}" "フォント設定"
check_tray_with_dialog font "$MODE_HIDDEN" 2
open_dialog "${EDITOR_COLOUR[@]}" "色設定"
check_tray_with_dialog colour "$MODE_FRONT" 0
[[ $(ini_value "$ini" FontName) == "DejaVu Sans" ]] || e2e_fail "a cancelled dialog changed FontName"
[[ $(ini_value "$ini" Color) == 0 ]] || e2e_fail "a cancelled dialog changed Color"

stop_app "$pid"
e2e_pass
