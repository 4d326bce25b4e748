#!/usr/bin/env bash
# The command line and the running copy:
# - --help and --version print and end with status 0 without a display; an unknown
#   option prints the usage on the error output and ends with status 2; --quit with
#   no copy running says so on the error output and ends with status 1;
# - --edit with no copy running starts with the editor open; --edit with a copy
#   running opens that copy's editor and ends with status 0;
# - --quit ends the running copy as Exit does: its settings are stored, both end with
#   status 0;
# - 1,013 silent connections to the running copy's socket are dropped within a few
#   seconds, few at a time, the program's descriptors stay few, and afterwards the
#   socket is there and a second start opens the editor;
# - two copies in two folders they cannot write (read-only mounts) share the settings
#   file in the configuration folder, and so are one program: the second start of
#   the other copy opens the first one's editor and ends.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=ui.sh
source "$(dirname "$0")/ui.sh"
e2e_begin "$@"
ui_begin
trap 'e2e_fail "unexpected failure at line $LINENO: $BASH_COMMAND"' ERR

# No XPOS: the position the program stores at its end shows that it stored.
printf '%s\r\n' '[DATA]' 'TEXT=Deskword' 'FontBold=True' 'FontName=DejaVu Sans' 'FontSize=20' \
    'Color=0' >"$E2E_TMP/settings.ini"
e2e_prepare_app app --settings "$E2E_TMP/settings.ini"
app=$E2E_APP_DIR
settings=$app/deskword.ini

# run_plain ARGS...: runs the program without a display; sets status, out, err.
run_plain()
{
    status=0
    timeout 20 env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$app/deskword" "$@" \
        >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
    out=$(cat "$E2E_TMP/out")
    err=$(cat "$E2E_TMP/err")
}

# --- without a display, without a running copy ---------------------------------------------
run_plain --help
((status == 0)) || e2e_fail "--help ended with status $status: $err"
[[ $out == Usage:* && $out == *--edit* && $out == *--quit* && $out == *--version* ]] ||
    e2e_fail "--help printed: $out"
run_plain --version
((status == 0)) || e2e_fail "--version ended with status $status: $err"
[[ $out =~ ^deskword\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || e2e_fail "--version printed: $out"
for wrong in --bogus -x extra "--edit --quit"; do
    # shellcheck disable=SC2086 # the last case is two options
    run_plain $wrong
    ((status == 2)) || e2e_fail "'$wrong' ended with status $status"
    [[ -z $out && $err == *Usage:* ]] || e2e_fail "'$wrong' printed '$out' and '$err'"
done
run_plain --quit
((status == 1)) || e2e_fail "--quit without a running copy ended with status $status"
[[ -n $err ]] || e2e_fail "--quit without a running copy said nothing"
! compgen -G "$XDG_RUNTIME_DIR/deskword-*" >/dev/null ||
    e2e_fail "a run without a display left files: $(ls -A "$XDG_RUNTIME_DIR")"

# --- --edit starts with the editor open; --edit again reaches it ---------------------------
"$app/deskword" --edit >>"$app/deskword.log" 2>&1 &
pid=$!
desktop_adopt "$pid"
wait_for 30 find_editor "$pid" || e2e_fail "--edit did not start with the editor open"
editor=$UI_EDITOR
close_box "$editor" || e2e_fail "no close box on the editor"
wait_for 10 is_hidden "$editor" || e2e_fail "the editor did not close"
status=0
timeout 20 "$app/deskword" --edit >>"$app/second.log" 2>&1 || status=$?
((status == 0)) || e2e_fail "--edit with a running copy ended with status $status"
wait_for 20 find_editor "$pid" || e2e_fail "--edit did not open the running copy's editor"

# --- a flood of silent connections ---------------------------------------------------------
sockets=("$XDG_RUNTIME_DIR"/deskword-*.socket)
socket=${sockets[0]}
[[ -S $socket ]] || e2e_fail "no socket in the runtime folder"
python3 - "$socket" "$pid" >"$E2E_TMP/flood.log" 2>&1 <<'PY' || e2e_fail "the flood: $(cat "$E2E_TMP/flood.log")"
import os, resource, select, socket, sys, time
path, pid = sys.argv[1], sys.argv[2]
soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
resource.setrlimit(resource.RLIMIT_NOFILE, (max(soft, min(hard, 4096)), hard))
clients = []
for _ in range(1013):
    client = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    client.connect(path)
    clients.append(client)
most = 0
open_ = set(clients)
deadline = time.monotonic() + 30
while open_ and time.monotonic() < deadline:
    most = max(most, len(os.listdir(f"/proc/{pid}/fd")))
    readable, _, _ = select.select(list(open_), [], [], 0.5)
    for client in readable:
        if client.recv(16) == b"":
            open_.discard(client)
if open_:
    sys.exit(f"{len(open_)} of 1013 silent connections were still open after 30 s")
if most > 200:
    sys.exit(f"the program held {most} descriptors")
for client in clients:
    client.close()
print(f"all dropped; at most {most} descriptors")
PY
[[ -S $socket ]] || e2e_fail "the socket is gone after the flood"
editors=$(editor_windows "$pid" | grep -c .)
close_box "$UI_EDITOR" || e2e_fail "no close box on the editor"
wait_for 10 is_hidden "$UI_EDITOR" || e2e_fail "the editor did not close"
status=0
timeout 20 "$app/deskword" >>"$app/second.log" 2>&1 || status=$?
((status == 0)) || e2e_fail "a second start after the flood ended with status $status"
wait_for 20 find_editor "$pid" || e2e_fail "after the flood, a second start did not open the editor"
((editors == 1)) || e2e_fail "$editors editors were open"

# --- --quit ends the running copy as Exit does ---------------------------------------------
! ini_value "$settings" XPOS >/dev/null || e2e_fail "the settings hold a position before the end"
run_plain --quit
((status == 0)) || e2e_fail "--quit ended with status $status: $err"
ended_cleanly "$pid" "--quit"
ini_value "$settings" XPOS >/dev/null || e2e_fail "--quit did not store the position"
! compgen -G "$XDG_RUNTIME_DIR/deskword-*" >/dev/null ||
    e2e_fail "the end left files: $(ls -A "$XDG_RUNTIME_DIR")"

# --- two copies in read-only folders are one program ----------------------------------------
# start_read_only DIR: runs DIR/deskword with DIR mounted read-only (a mount namespace
# of its own; the process keeps its ID through the execs).
start_read_only()
{
    unshare -m sh -c 'mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" && exec "$1/deskword"' \
        sh "$1" >>"$E2E_TMP/$(basename "$1").log" 2>&1 &
}
e2e_prepare_app ro-one
one=$E2E_APP_DIR
e2e_prepare_app ro-two
two=$E2E_APP_DIR
start_read_only "$one"
first=$!
desktop_adopt "$first"
[[ -n $(text_window "$first") ]] || e2e_fail "the copy in a read-only folder showed no text"
status=0
start_read_only "$two"
second=$!
desktop_adopt "$second"
wait_for 20 not_running "$second" || e2e_fail "the second copy in a read-only folder runs beside the first"
wait "$second" || status=$?
((status == 0)) || e2e_fail "the second copy in a read-only folder ended with status $status"
wait_for 20 find_editor "$first" || e2e_fail "the second copy did not open the first one's editor"
is_running "$first" || e2e_fail "the first copy ended"

e2e_pass
