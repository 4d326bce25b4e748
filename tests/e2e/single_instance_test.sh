#!/usr/bin/env bash
# Only one Deskword runs per executable: a second start of the same executable ends
# at once with status 0 and leaves the first running, and a start after the first
# one crashed takes its place. The lock file carries the sticky bit.
source "$(dirname "$0")/lib.sh"
e2e_begin "$@"

e2e_prepare_app app
e2e_start_app "$E2E_APP_DIR"
first=$E2E_PID
wait_for 30 e2e_lock_held_by "$first" ||
    e2e_fail "the first instance did not take the single-instance lock"
is_running "$first" || e2e_fail "the first instance ended by itself"
# A clean-up of the runtime folder spares files with the sticky bit: without the lock
# a second instance could run.
[[ -k $(e2e_lock_file) ]] || e2e_fail "the lock file has no sticky bit"

# A second start of the same executable.
status=0
timeout 30 "$E2E_APP_DIR/deskword" >>"$E2E_APP_DIR/second.log" 2>&1 || status=$?
((status != 124)) || e2e_fail "the second instance did not end within 30 s"
((status == 0)) || e2e_fail "the second instance ended with status $status, expected 0"
is_running "$first" || e2e_fail "the first instance ended when the second started"
e2e_lock_held_by "$first" || e2e_fail "the second instance took the lock from the first"

# After a crash of the first, a new start runs and takes the lock over.
kill -KILL "$first"
# Reap it, as its parent would: a zombie still counts as a running process.
wait "$first" 2>/dev/null || true
e2e_start_app "$E2E_APP_DIR"
third=$E2E_PID
wait_for 30 e2e_lock_held_by "$third" ||
    e2e_fail "a start after a crash did not take the lock over (owner: $(e2e_lock_owner || echo none))"
is_running "$third" || e2e_fail "a start after a crash ended instead of running"

e2e_pass
