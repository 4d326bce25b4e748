# shellcheck shell=bash
# A D-Bus system tray for the end-to-end tests, as on KDE Plasma or on GNOME with the
# AppIndicator extension: a private session bus started here (never the machine's)
# and a StatusNotifierWatcher of our own on it (sni_host.py). Sourced after lib.sh;
# dbus_tray_begin runs after e2e_begin.
#
#   dbus_session_begin     private bus up (DBUS_SESSION_BUS_ADDRESS points at it); any
#                          user may connect (desktops run as another user)
#   dbus_tray_begin        the private bus and the watcher registered on it
#   sni_host ARGS...       runs sni_host.py on that bus (item, layout, click, context)
#   dbus_tray_item         waits up to 20 s for the first item to register; sets
#                          SNI_ITEM (its service name)
#   menu_layout            the item's exported menu (sni_host.py layout); sets
#                          SNI_LAYOUT

SNI_HOST=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/sni_host.py
SNI_ITEM=""
SNI_LAYOUT=""

dbus_session_begin()
{
    command -v dbus-daemon >/dev/null || e2e_fail "dbus-daemon is not installed"
    local dir=$E2E_TMP/dbus
    mkdir "$dir"
    # A bus of the test's own: no service activation, everyone may own and call.
    cat >"$dir/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$dir/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
    <allow user="*"/>
  </policy>
</busconfig>
EOF
    dbus-daemon --config-file="$dir/bus.conf" --nofork --nopidfile --print-address=3 \
        3>"$dir/address" >"$dir/dbus-daemon.log" 2>&1 &
    desktop_adopt $!
    wait_for 20 grep -q . "$dir/address" || e2e_fail "the private session bus did not start"
    DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$dir/address")
    export DBUS_SESSION_BUS_ADDRESS
    [[ $DBUS_SESSION_BUS_ADDRESS == *"$dir/bus"* ]] ||
        e2e_fail "the session bus is not the test's own: $DBUS_SESSION_BUS_ADDRESS"
}

dbus_tray_begin()
{
    [[ -x /usr/bin/python3 ]] || e2e_fail "/usr/bin/python3 is not installed"
    dbus_session_begin
    local dir=$E2E_TMP/dbus
    SNI_ITEMS=$dir/items
    : >"$SNI_ITEMS"
    /usr/bin/python3 "$SNI_HOST" watcher "$dir/watcher.ready" "$SNI_ITEMS" \
        >"$dir/sni_host.log" 2>&1 &
    desktop_adopt $!
    wait_for 20 test -s "$dir/watcher.ready" || e2e_fail "the StatusNotifierWatcher did not start"
}

sni_host()
{
    /usr/bin/python3 "$SNI_HOST" "$@"
}

dbus_tray_item()
{
    wait_for 20 test -s "$SNI_ITEMS" || e2e_fail "no StatusNotifierItem registered with the watcher"
    SNI_ITEM=$(head -n 1 "$SNI_ITEMS")
}

# The menu as the host reads it: several entries, the last one "終了".
has_menu_layout()
{
    SNI_LAYOUT=$(sni_host layout "$SNI_ITEM" 2>/dev/null) || return 1
    [[ $(tail -n 1 <<<"$SNI_LAYOUT" | cut -f6) == "終了" ]]
}

menu_layout()
{
    wait_for 20 has_menu_layout ||
        e2e_fail "the item exports no menu:"$'\n'"$(sni_host layout "$SNI_ITEM" 2>&1)"
}
