#!/usr/bin/env bash
# Starting Deskword again always leads somewhere:
# - a second start ends with status 0 and the running instance shows its editor;
#   with the editor open but minimized, a further start brings it back, still one;
# - a copy of the program in another folder runs beside the first, and a second start
#   of that copy opens the copy's editor, not the first one's;
# - after a crash (its socket left behind) a new instance is reached all the same;
# - without any system tray: the first start opens the editor; closed with nothing
#   typed, no window remains, and starting the program again brings the editor back.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=ui.sh
source "$(dirname "$0")/ui.sh"
e2e_begin "$@"
ui_begin
# A command that fails where no check expects it says where, with the logs.
trap 'e2e_fail "unexpected failure at line $LINENO: $BASH_COMMAND"' ERR

printf '%s\r\n' '[DATA]' 'TEXT=Deskword' 'FontBold=True' 'FontName=DejaVu Sans' 'FontSize=20' \
    'Color=0' 'XPOS=1500' 'YPOS=1500' >"$E2E_TMP/settings.ini"

# Starts the program of the folder again; it must end by itself with status 0.
second_start()
{
    local status=0
    timeout 20 "$1/deskword" >>"$1/second.log" 2>&1 || status=$?
    ((status != 124)) || e2e_fail "a second start did not end within 20 s"
    ((status == 0)) || e2e_fail "a second start ended with status $status"
}

# Starts the program and waits for its text on the desktop; sets pid.
start_with_text()
{
    e2e_start_app "$1"
    pid=$E2E_PID
    local window
    window=$(text_window "$pid") || true
    [[ -n $window ]] || e2e_fail "$1: no text window"
    wait_for 30 shape_at_least "$window" 100 20 || e2e_fail "$1: the text was not shown"
}

editor_count()
{
    editor_windows "$1" | grep -c .
}

# --- a second start opens the editor --------------------------------------------------------
e2e_prepare_app app --settings "$E2E_TMP/settings.ini"
app=$E2E_APP_DIR
start_with_text "$app"
first=$pid
[[ -z $(editor_windows "$first") ]] ||
    e2e_fail "the editor is open before a second start"
second_start "$app"
wait_for 20 find_editor "$first" || e2e_fail "a second start did not open the running instance's editor"
editor=$UI_EDITOR
is_running "$first" || e2e_fail "the first instance ended when the second started"

xdotool windowminimize "$editor" || e2e_fail "cannot minimize the editor"
wait_for 10 is_hidden "$editor" || e2e_fail "the editor could not be minimized"
second_start "$app"
wait_for 20 is_viewable "$editor" || e2e_fail "a second start did not bring the minimized editor back"
(($(editor_count "$first") == 1)) || e2e_fail "a second start opened another editor"

# --- a copy in another folder is a program of its own ---------------------------------------
e2e_prepare_app copy --settings "$E2E_TMP/settings.ini"
copy=$E2E_APP_DIR
start_with_text "$copy"
other=$pid
is_running "$first" || e2e_fail "the copy's start ended the first program"
second_start "$copy"
wait_for 20 find_editor "$other" || e2e_fail "a second start of the copy did not open the copy's editor"
(($(editor_count "$first") == 1)) || e2e_fail "a second start of the copy touched the first program"

# --- after a crash ----------------------------------------------------------------------------
kill -KILL "$first" || e2e_fail "the first program ended before it could crash"
wait "$first" 2>/dev/null || true
sockets=("$XDG_RUNTIME_DIR"/deskword-*.socket)
((${#sockets[@]} == 2)) || e2e_fail "expected the crashed program's socket beside the copy's: ${sockets[*]}"
start_with_text "$app"
third=$pid
second_start "$app"
wait_for 20 find_editor "$third" || e2e_fail "after a crash, a second start did not open the new instance's editor"
is_running "$other" || e2e_fail "the copy ended"

# --- no system tray ---------------------------------------------------------------------------
desktop_stop_tray || e2e_fail "the tray did not end"
selection="$(e2e_tool selection_owner)"
tray_gone()
{
    ! "$selection" _NET_SYSTEM_TRAY_S0
}
wait_for 10 tray_gone || e2e_fail "the tray's selection is still owned"

e2e_prepare_app notray
lone=$E2E_APP_DIR
e2e_start_app "$lone"
pid=$E2E_PID
wait_for 30 find_editor "$pid" || e2e_fail "without a tray, the first start did not open the editor"
close_box "$UI_EDITOR" || e2e_fail "no close box on the editor"
no_windows()
{
    [[ -z $(viewable_windows "$pid") ]]
}
wait_for 10 no_windows || e2e_fail "windows remain after the editor closed: $(viewable_windows "$pid")"
is_running "$pid" || e2e_fail "the program ended when its editor closed"
second_start "$lone"
wait_for 20 find_editor "$pid" || e2e_fail "without a tray, starting again did not bring the editor back"

e2e_pass
