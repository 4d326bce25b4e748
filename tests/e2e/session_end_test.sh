#!/usr/bin/env bash
# The end of a session and restarts in a PID namespace (a container or sandbox),
# where every start of the program is process 1 of its namespace, with a /proc of its
# own:
# - SIGTERM ends the program as Exit does: status 0, the single-instance lock is
#   released, and the next start runs;
# - after a crash the lock names process 1, which is the new start itself: that lock
#   is stale, and the new start runs.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=ui.sh
source "$(dirname "$0")/ui.sh"
e2e_begin "$@"

printf '%s\r\n' '[DATA]' 'TEXT=Deskword' 'FontBold=True' 'FontName=DejaVu Sans' 'FontSize=28' \
    'Color=0' 'XPOS=1500' 'YPOS=3000' >"$E2E_TMP/settings.ini"
e2e_prepare_app app --settings "$E2E_TMP/settings.ini"

# The program's process, as seen from here, once the namespace has started it.
ns_child()
{
    NS_PID=$(pgrep -P "$NS_UNSHARE" | head -n 1)
    [[ -n $NS_PID ]]
}

# Windows of the program inside the namespace carry its process ID there: 1.
has_windows() { xdotool search --pid 1 >/dev/null 2>&1; }
no_windows() { ! has_windows; }

# Starts the program in a PID namespace of its own and waits until it shows its
# windows and holds the lock; sets NS_UNSHARE and NS_PID.
ns_start()
{
    wait_for 10 no_windows || e2e_fail "the windows of the program before are still there"
    unshare --pid --fork --mount-proc --kill-child "$E2E_APP_DIR/deskword" >>"$E2E_APP_DIR/deskword.log" 2>&1 &
    NS_UNSHARE=$!
    desktop_adopt "$NS_UNSHARE"
    wait_for 10 ns_child || e2e_fail "$1: the namespace started no program"
    wait_for 30 has_windows ||
        e2e_fail "$1: the program showed no window (ended: $(not_running "$NS_PID" && echo yes || echo no))"
    [[ $(e2e_lock_owner) == 1 ]] || e2e_fail "$1: the lock names $(e2e_lock_owner || echo nobody), not process 1"
    is_running "$NS_PID" || e2e_fail "$1: the program ended by itself"
}

ns_start "first start"
kill -TERM "$NS_PID"
wait_for 10 not_running "$NS_UNSHARE" || e2e_fail "SIGTERM did not end the program"
status=0
wait "$NS_UNSHARE" || status=$?
((status == 0)) || e2e_fail "SIGTERM ended the program with status $status"
[[ -z $(e2e_lock_file) ]] || e2e_fail "the lock $(e2e_lock_file) was left behind"

ns_start "start after SIGTERM"
kill -KILL "$NS_PID"
wait "$NS_UNSHARE" 2>/dev/null || true
[[ -n $(e2e_lock_file) ]] || e2e_fail "a crash released the lock"

ns_start "start after a crash"
kill -TERM "$NS_PID"
wait_for 10 not_running "$NS_UNSHARE" || e2e_fail "SIGTERM did not end the program"

e2e_pass
