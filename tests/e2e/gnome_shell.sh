# shellcheck shell=bash
# GNOME Shell 43 as a user's desktop, brought up headless for the end-to-end tests:
# an X11 session (gnome-shell on Xvfb) or a Wayland session (gnome-shell's virtual
# monitor, with the XWayland it starts), with the AppIndicator extension in the top
# bar. Everything is the test's own: HOME, runtime folder, a session bus and a system
# bus with a stand-in for logind (python3-dbusmock), settings in a key file. The test
# hooks extension (gnome/deskword-e2e@...) opens the shell's Eval call and gives the
# test a pointer inside the shell, whose clicks reach native Wayland windows as well as
# X ones. Sourced after lib.sh (with E2E_DESKTOP=own) and ui.sh.
#
#   gnome_installed                   the Debian packages are there; else sets
#                                     GNOME_MISSING (gnome_missing.sh)
#   gnome_shell_begin x11|wayland     the session up; DISPLAY (and XAUTHORITY) name its
#                                     X server, WAYLAND_DISPLAY its Wayland socket
#   shell_hooks METHOD [ARG]...       a method of the hooks extension (gnome/shell.py)
#   shell_click X Y BUTTON            press and release at a screen point
#   shell_drag X Y DX DY              left button drag by (DX, DY) in small steps
#   recorder_start                    a native window (GTK 4, maximised) below
#                                     everything, recording presses in RECORDER_PRESSES
#   shell_screenshot FILE             the screen as the shell shows it

GNOME_MISSING=""
GNOME_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/gnome" && pwd)
GNOME_HOOKS_UUID=deskword-e2e@deskword.github.io
GNOME_APPINDICATOR_UUID=ubuntu-appindicators@ubuntu.com
GNOME_SESSION=""
RECORDER_PRESSES=""
RECORDER_TITLE=deskword-e2e-below

# The packages are installed (scripts/deps.sh --desktops installs them).
gnome_installed()
{
    GNOME_MISSING=$("$E2E_ROOT/tests/e2e/gnome_missing.sh") && [[ -z $GNOME_MISSING ]]
}

# A D-Bus daemon of the test's own (session or system): no service activation,
# everyone may own and call. Sets BUS_ADDRESS.
BUS_ADDRESS=""
private_bus()
{
    local type=$1 dir=$2
    cat >"$dir/$type.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>$type</type>
  <listen>unix:path=$dir/$type-bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
    dbus-daemon --config-file="$dir/$type.conf" --nofork --nopidfile --print-address=3 \
        3>"$dir/$type.address" >"$dir/$type-dbus.log" 2>&1 &
    desktop_adopt $!
    wait_for 20 grep -q . "$dir/$type.address" || e2e_fail "the private $type bus did not start"
    BUS_ADDRESS=$(head -n 1 "$dir/$type.address")
}

shell_hooks()
{
    /usr/bin/python3 "$GNOME_DIR/shell.py" hooks "$@"
}

shell_is_ready()
{
    [[ $(shell_hooks ready 2>/dev/null) == true ]]
}

shell_screenshot()
{
    /usr/bin/python3 "$GNOME_DIR/shell.py" screenshot "$1"
}

gnome_shell_begin()
{
    GNOME_SESSION=$1
    gnome_installed || e2e_fail "GNOME Shell's packages are missing: $GNOME_MISSING"
    local dir=$E2E_TMP/gnome
    mkdir "$dir"

    # A home of the test's own: the shell's settings and extensions live there.
    export HOME=$dir/home
    export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share
    export XDG_CACHE_HOME=$HOME/.cache XDG_STATE_HOME=$HOME/.local/state
    mkdir -p "$XDG_CONFIG_HOME/glib-2.0/settings" "$XDG_DATA_HOME/gnome-shell/extensions"
    cp -r "$GNOME_DIR/$GNOME_HOOKS_UUID" "$XDG_DATA_HOME/gnome-shell/extensions/"
    # Settings in a key file that every process of the test reads alike (dconf would
    # need its own service on the bus).
    export GSETTINGS_BACKEND=keyfile
    cat >"$XDG_CONFIG_HOME/glib-2.0/settings/keyfile" <<EOF
[org/gnome/shell]
enabled-extensions=['$GNOME_APPINDICATOR_UUID', '$GNOME_HOOKS_UUID']
welcome-dialog-last-shown-version='999'
EOF

    # Started here, not in a subshell: desktop_stop ends them.
    private_bus system "$dir"
    export DBUS_SYSTEM_BUS_ADDRESS=$BUS_ADDRESS
    private_bus session "$dir"
    export DBUS_SESSION_BUS_ADDRESS=$BUS_ADDRESS
    # The shell asks logind for its session; a stand-in answers on the system bus.
    /usr/bin/python3 -m dbusmock --system --template logind >"$dir/logind.log" 2>&1 &
    desktop_adopt $!
    wait_for 20 gdbus introspect --system --dest org.freedesktop.login1 \
        --object-path /org/freedesktop/login1 || e2e_fail "the logind stand-in did not start"

    # Mesa's software renderer, the desktop's own names.
    export LIBGL_ALWAYS_SOFTWARE=1 NO_AT_BRIDGE=1 XDG_CURRENT_DESKTOP=GNOME
    export XDG_SESSION_DESKTOP=gnome XDG_SESSION_TYPE=$GNOME_SESSION
    unset WAYLAND_DISPLAY
    if [[ $GNOME_SESSION == x11 ]]; then
        mkdir "$dir/xvfb"
        desktop_start_xvfb "$dir/xvfb" +extension GLX || e2e_fail "Xvfb did not start"
        export DISPLAY=$DESKTOP_DISPLAY
        gnome-shell --x11 --replace --sm-disable >"$dir/gnome-shell.log" 2>&1 &
    else
        unset DISPLAY XAUTHORITY
        gnome-shell --headless --wayland --virtual-monitor \
            "${DESKTOP_WIDTH}x$DESKTOP_HEIGHT" --sm-disable >"$dir/gnome-shell.log" 2>&1 &
    fi
    desktop_adopt $!
    wait_for 90 shell_is_ready ||
        e2e_fail "GNOME Shell ($GNOME_SESSION) did not come up within 90 s"

    local state
    state=$(/usr/bin/python3 "$GNOME_DIR/shell.py" eval \
        "imports.ui.main.extensionManager.lookup('$GNOME_APPINDICATOR_UUID')?.state ?? 'none'")
    [[ $state == 1 ]] || e2e_fail "the AppIndicator extension is not enabled (state $state)"

    if [[ $GNOME_SESSION == wayland ]]; then
        export WAYLAND_DISPLAY=wayland-0
        [[ -S $XDG_RUNTIME_DIR/$WAYLAND_DISPLAY ]] || e2e_fail "no Wayland socket in the runtime folder"
        # The shell's XWayland: its display and the key to it.
        DISPLAY=$(/usr/bin/python3 "$GNOME_DIR/shell.py" eval "imports.gi.GLib.getenv('DISPLAY')")
        XAUTHORITY=$(/usr/bin/python3 "$GNOME_DIR/shell.py" eval "imports.gi.GLib.getenv('XAUTHORITY')")
        [[ $DISPLAY == :* && -f $XAUTHORITY ]] ||
            e2e_fail "the shell's XWayland is not up (DISPLAY '$DISPLAY', XAUTHORITY '$XAUTHORITY')"
        export DISPLAY XAUTHORITY
        wait_for 30 xdpyinfo || e2e_fail "XWayland at $DISPLAY does not accept clients"
    fi
}

shell_click()
{
    shell_hooks move "$1" "$2" >/dev/null &&
        shell_hooks press "$3" >/dev/null &&
        shell_hooks release "$3" >/dev/null
}

shell_drag()
{
    local x=$1 y=$2 dx=$3 dy=$4 step
    shell_hooks move "$x" "$y" >/dev/null && shell_hooks press 1 >/dev/null || return 1
    for step in 1 2 3 4 5; do
        shell_hooks move "$((x + dx * step / 5))" "$((y + dy * step / 5))" >/dev/null || return 1
    done
    shell_hooks release 1 >/dev/null
}

recorder_shown()
{
    local windows
    windows=$(shell_hooks windows) || return 1
    [[ $'\n'$windows$'\n' == *" $RECORDER_TITLE"$'\n'* ]]
}

recorder_start()
{
    RECORDER_PRESSES=$E2E_TMP/gnome/presses
    : >"$RECORDER_PRESSES"
    # Native on Wayland; an X client in the X11 session.
    local backend=x11
    [[ $GNOME_SESSION == wayland ]] && backend=wayland
    GDK_BACKEND=$backend GTK_A11Y=none /usr/bin/python3 "$GNOME_DIR/shell.py" recorder "$RECORDER_TITLE" \
        "$RECORDER_PRESSES" >"$E2E_TMP/gnome/recorder.log" 2>&1 &
    desktop_adopt $!
    wait_for 30 recorder_shown || e2e_fail "the window below did not appear"
    if [[ $GNOME_SESSION == wayland ]]; then
        [[ $'\n'$(shell_hooks windows)$'\n' == *" wayland $RECORDER_TITLE"$'\n'* ]] ||
            e2e_fail "the window below is not a native Wayland window: $(shell_hooks windows)"
    fi
}

recorder_count()
{
    wc -l <"$RECORDER_PRESSES"
}
