# Harness of the end-to-end tests; each test script sources it. It parses the
# script's arguments, gives the test its own virtual desktop (Xvfb, openbox, trayer)
# and private folders, starts Deskword from a folder of its own, and ends everything
# when the script exits.
#
# Arguments of every test script:  --deskword PATH  --tools DIR
#
#   e2e_begin "$@"                 desktop up, E2E_TMP and the environment set (with
#                                  E2E_DESKTOP=own set before: no desktop, the test
#                                  starts one of its own)
#   e2e_prepare_app NAME [--settings FILE] [--picture FILE]...
#                                  a folder E2E_TMP/NAME holding a copy of the
#                                  executable (and deskword.ini, pictures); sets
#                                  E2E_APP_DIR
#   e2e_start_app DIR              starts DIR/deskword in the background; sets E2E_PID
#   e2e_windows PID                ids of the process's windows, one a line (waits
#                                  up to 10 s for the first)
#   e2e_lock_file                  Deskword's single-instance lock file
#   e2e_lock_owner                 the process id written in it
#   e2e_fail MESSAGE               prints FAIL with the logs and exits 1
#   e2e_pass                       prints PASS and exits 0
#   e2e_skip MESSAGE               prints SKIP and exits 77 (not installed)
#   wait_for SECONDS COMMAND...    from scripts/desktop.sh

set -euo pipefail

E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=../../scripts/desktop.sh
source "$E2E_ROOT/scripts/desktop.sh"

E2E_NAME=$(basename "$0" .sh)
E2E_DESKWORD=""
E2E_TOOLS=""
E2E_TMP=""
E2E_PID=""
E2E_APP_DIR=""

e2e_cleanup()
{
    desktop_stop
    if [[ -n $E2E_TMP && -d $E2E_TMP ]]; then
        rm -rf -- "$E2E_TMP"
    fi
}

e2e_logs()
{
    local log
    while IFS= read -r -d '' log; do
        if [[ -s $log ]]; then
            echo "--- ${log#"$E2E_TMP"/} (last lines)" >&2
            tail -n 30 "$log" >&2
        fi
    done < <(find "$E2E_TMP" -name '*.log' -print0 2>/dev/null)
}

e2e_fail()
{
    echo "FAIL: $E2E_NAME: $*" >&2
    e2e_logs
    exit 1
}

# Ends a test whose programs are not installed as skipped (CTest's SKIP_RETURN_CODE).
e2e_skip()
{
    echo "SKIP: $E2E_NAME: $*" >&2
    exit 77
}

e2e_pass()
{
    echo "PASS: $E2E_NAME"
    exit 0
}

e2e_tool()
{
    local tool=$E2E_TOOLS/$1
    [[ -x $tool ]] || e2e_fail "tool $1 not found in $E2E_TOOLS"
    echo "$tool"
}

e2e_begin()
{
    while (($# > 0)); do
        case $1 in
        --deskword) E2E_DESKWORD=$2 && shift 2 ;;
        --tools) E2E_TOOLS=$2 && shift 2 ;;
        *) echo "usage: $0 --deskword PATH --tools DIR" >&2 && exit 2 ;;
        esac
    done
    [[ -x $E2E_DESKWORD ]] || e2e_fail "no deskword executable at '$E2E_DESKWORD'"
    [[ -d $E2E_TOOLS ]] || e2e_fail "no tools folder at '$E2E_TOOLS'"

    E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/deskword-e2e.XXXXXX")
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM

    # Private folders, no session bus (the tray is trayer's XEmbed tray), no GL.
    mkdir -m 0700 "$E2E_TMP/runtime"
    mkdir "$E2E_TMP/config"
    export XDG_RUNTIME_DIR=$E2E_TMP/runtime
    export XDG_CONFIG_HOME=$E2E_TMP/config
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$E2E_TMP/no-session-bus
    export QT_QPA_PLATFORM=xcb
    export QT_XCB_GL_INTEGRATION=none
    unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_FONT_DPI
    # Sanitizer settings when the test runs outside ./test.sh.
    export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
    export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$E2E_ROOT/scripts/lsan.supp:print_suppressions=0}
    export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

    # A test of a real desktop shell brings that desktop up itself.
    [[ ${E2E_DESKTOP:-openbox} == openbox ]] || return 0
    local selection_owner
    selection_owner=$(e2e_tool selection_owner) || exit 1
    mkdir "$E2E_TMP/desktop"
    desktop_start "$E2E_TMP/desktop" "$selection_owner" ||
        e2e_fail "the virtual desktop did not start"
    export DISPLAY=$DESKTOP_DISPLAY
}

e2e_prepare_app()
{
    local name=$1
    shift
    E2E_APP_DIR=$E2E_TMP/$name
    mkdir "$E2E_APP_DIR"
    # A copy, not a link: the program finds its settings and pictures beside the
    # executable's own path.
    cp "$E2E_DESKWORD" "$E2E_APP_DIR/deskword"
    while (($# > 0)); do
        case $1 in
        --settings) cp "$2" "$E2E_APP_DIR/deskword.ini" && shift 2 ;;
        --picture) cp "$2" "$E2E_APP_DIR/" && shift 2 ;;
        *) e2e_fail "e2e_prepare_app: unknown option $1" ;;
        esac
    done
}

e2e_start_app()
{
    local dir=$1
    "$dir/deskword" >>"$dir/deskword.log" 2>&1 &
    E2E_PID=$!
    desktop_adopt "$E2E_PID"
}

e2e_windows()
{
    timeout 10 xdotool search --sync --pid "$1" 2>/dev/null
}

e2e_lock_file()
{
    local files=("$XDG_RUNTIME_DIR"/deskword-*.lock)
    [[ -e ${files[0]} ]] && echo "${files[0]}"
}

e2e_lock_owner()
{
    local file
    file=$(e2e_lock_file) || return 1
    head -n 1 "$file" 2>/dev/null
}

# True when the lock file names the process.
e2e_lock_held_by()
{
    [[ "$(e2e_lock_owner)" == "$1" ]]
}
