# A virtual desktop for Deskword: Xvfb with openbox as window manager and trayer
# as system tray. Sourced by run.sh and by the end-to-end tests; bash only.
#
#   desktop_start WORKDIR SELECTION_OWNER_TOOL   sets DESKTOP_DISPLAY (":N"); the
#                                                screen is DESKTOP_SCREEN (default
#                                                1280x1024x24) at 96 dpi
#   desktop_start_xvfb WORKDIR [XVFB_OPTION]...  Xvfb alone, for a desktop of the
#                                                caller's own; sets DESKTOP_DISPLAY
#   desktop_stop                                 ends everything started here
#   desktop_stop_tray                            ends the tray alone (a desktop
#                                                without a system tray)
#   wait_for SECONDS COMMAND...                  polls COMMAND until it succeeds
#   is_running PID                               a live process (not a zombie)
#
# Every process started here is remembered in DESKTOP_PIDS; the caller ends them
# with desktop_stop (normally from an EXIT trap).

DESKTOP_PIDS=()
DESKTOP_DISPLAY=""
DESKTOP_TRAY_PID=""

# Polls the command every tenth of a second until it succeeds; fails after the
# given number of seconds.
wait_for()
{
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        if ((SECONDS > deadline)); then
            return 1
        fi
        sleep 0.1
    done
}

is_running()
{
    local pid=$1 stat
    [[ -r /proc/$pid/stat ]] || return 1
    read -r stat </proc/"$pid"/stat 2>/dev/null || return 1
    stat=${stat##*) }
    [[ ${stat:0:1} != Z ]]
}

not_running()
{
    ! is_running "$1"
}

# Remembers a started process so that desktop_stop ends it.
desktop_adopt()
{
    DESKTOP_PIDS+=("$1")
}

# Ends the remembered processes, newest first: SIGTERM, then SIGKILL after five
# seconds.
desktop_stop()
{
    local i pid
    for ((i = ${#DESKTOP_PIDS[@]} - 1; i >= 0; i--)); do
        pid=${DESKTOP_PIDS[i]}
        if is_running "$pid"; then
            kill -TERM "$pid" 2>/dev/null || true
            if ! wait_for 5 not_running "$pid"; then
                kill -KILL "$pid" 2>/dev/null || true
            fi
        fi
        wait "$pid" 2>/dev/null || true
    done
    DESKTOP_PIDS=()
}

desktop_fail()
{
    echo "desktop: $*" >&2
    local log
    for log in "$DESKTOP_WORKDIR"/*.log; do
        [[ -s $log ]] && sed "s|^|  ${log##*/}: |" "$log" | tail -n 20 >&2
    done
    return 1
}

# Xvfb alone (more Xvfb options may follow the folder); sets DESKTOP_DISPLAY.
desktop_start_xvfb()
{
    DESKTOP_WORKDIR=$1
    shift
    local display_file=$DESKTOP_WORKDIR/xvfb.display

    command -v Xvfb >/dev/null || desktop_fail "Xvfb is not installed" || return 1
    # Xvfb picks a free display number and writes it to fd 3 once it accepts clients.
    Xvfb -displayfd 3 -noreset -screen 0 "${DESKTOP_SCREEN:-1280x1024x24}" -dpi 96 -nolisten tcp \
        "$@" 3>"$display_file" >"$DESKTOP_WORKDIR/xvfb.log" 2>&1 &
    desktop_adopt $!
    wait_for 30 grep -q '^[0-9][0-9]*$' "$display_file" ||
        desktop_fail "Xvfb did not report its display within 30 s" || return 1
    DESKTOP_DISPLAY=:$(head -n 1 "$display_file")
    wait_for 30 env DISPLAY="$DESKTOP_DISPLAY" xdpyinfo ||
        desktop_fail "display $DESKTOP_DISPLAY does not accept clients" || return 1
}

desktop_start()
{
    local selection_owner=$2
    desktop_start_xvfb "$1" || return 1

    DISPLAY=$DESKTOP_DISPLAY openbox --sm-disable >"$DESKTOP_WORKDIR/openbox.log" 2>&1 &
    desktop_adopt $!
    wait_for 30 env DISPLAY="$DESKTOP_DISPLAY" "$selection_owner" WM_S0 ||
        desktop_fail "openbox did not take WM_S0 within 30 s" || return 1

    DISPLAY=$DESKTOP_DISPLAY trayer --edge top --align right --widthtype pixel --width 200 \
        --heighttype pixel --height 32 --transparent false >"$DESKTOP_WORKDIR/trayer.log" 2>&1 &
    DESKTOP_TRAY_PID=$!
    desktop_adopt $!
    wait_for 30 env DISPLAY="$DESKTOP_DISPLAY" "$selection_owner" _NET_SYSTEM_TRAY_S0 ||
        desktop_fail "trayer did not take _NET_SYSTEM_TRAY_S0 within 30 s" || return 1
}

desktop_stop_tray()
{
    [[ -n $DESKTOP_TRAY_PID ]] || return 0
    kill -TERM "$DESKTOP_TRAY_PID" 2>/dev/null || true
    wait_for 10 not_running "$DESKTOP_TRAY_PID" || return 1
    wait "$DESKTOP_TRAY_PID" 2>/dev/null || true
    DESKTOP_TRAY_PID=""
}
