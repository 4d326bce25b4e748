#!/usr/bin/env bash
# Deskword on sway with waybar (a private session bus), sway nested in the virtual
# desktop (its X11 backend: the mouse on the virtual desktop is sway's mouse). sway
# refuses to run as root: run by root, it, waybar and Deskword run as the user nobody.
# - Through XWayland: after the editor was opened and closed (the busy badge shows
#   while the shape builds), no pixel outside the text's shape differs from the
#   desktop without Deskword; a drag moves the text.
# - On Wayland alone (QT_QPA_PLATFORM=wayland): the text window's title is
#   "Deskword" and its app id the desktop entry's, and the README's rule
#   (for_window [app_id="io.github.deskword.Deskword" title="Deskword"] floating
#   enable, sticky enable) makes it floating and sticky.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=ui.sh
source "$(dirname "$0")/ui.sh"
# shellcheck source=desktops.sh
source "$(dirname "$0")/desktops.sh"
# shellcheck source=dbus_tray.sh
source "$(dirname "$0")/dbus_tray.sh"
for tool in sway swaymsg waybar grim; do
    command -v "$tool" >/dev/null || e2e_skip "$tool is not installed"
done
e2e_begin "$@"
ui_begin
trap 'e2e_fail "unexpected failure at line $LINENO: $BASH_COMMAND"' ERR

# The user's own folders; the test's folder is readable by it. As root, the user is
# nobody.
chmod 0755 "$E2E_TMP"
user_runtime=$E2E_TMP/user-runtime
user_home=$E2E_TMP/user-home
mkdir -m 0700 "$user_runtime"
mkdir "$user_home" "$user_home/.config"
dbus_session_begin

# A command as the user: "${as_user[@]}" COMMAND... (the command keeps the process id).
as_user=(env HOME="$user_home" XDG_RUNTIME_DIR="$user_runtime" XDG_CONFIG_HOME="$user_home/.config")
user_owns()
{
    :
}
if ((EUID == 0)); then
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups "${as_user[@]}")
    user_owns()
    {
        chown -R nobody:nogroup "$@"
    }
fi
user_owns "$user_runtime" "$user_home"

# --- sway -------------------------------------------------------------------------------
# waybar without a clock: the screen stays still. The rule is the README's.
cat >"$E2E_TMP/waybar.json" <<'EOF'
{ "height": 30, "modules-left": ["sway/workspaces"], "modules-right": ["tray"] }
EOF
cat >"$E2E_TMP/sway.conf" <<EOF
output * bg #336699 solid_color
xwayland enable
bar {
    swaybar_command waybar --config $E2E_TMP/waybar.json
}
for_window [app_id="io.github.deskword.Deskword" title="Deskword"] floating enable, sticky enable
EOF
"${as_user[@]}" env WLR_BACKENDS=x11 WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    sway --config "$E2E_TMP/sway.conf" >"$E2E_TMP/sway.log" 2>&1 &
desktop_adopt $!
find_ipc_socket()
{
    local sockets=("$user_runtime"/sway-ipc.*.sock)
    [[ -S ${sockets[0]} ]] && SWAYSOCK=${sockets[0]}
}
SWAYSOCK=""
wait_for 30 find_ipc_socket || e2e_fail "sway did not open its IPC socket"
export SWAYSOCK
sway_msg()
{
    "${as_user[@]}" env SWAYSOCK="$SWAYSOCK" swaymsg "$@"
}
wait_for 30 sway_msg -t get_outputs || e2e_fail "sway does not answer"
# XWayland's display, as sway gives it to the programs it starts.
sway_msg exec "echo \$DISPLAY \$WAYLAND_DISPLAY >$user_home/displays" >/dev/null
wait_for 30 test -s "$user_home/displays" || e2e_fail "sway did not run a command"
read -r xwayland_display wayland_display <"$user_home/displays"
[[ -n $xwayland_display && -n $wayland_display ]] || e2e_fail "sway gave no XWayland display"
# XWayland lets in only sway's user; the test's tools run as the test's (root).
xwayland_open()
{
    "${as_user[@]}" env DISPLAY="$xwayland_display" xhost +si:localuser:root
}
wait_for 30 xwayland_open || e2e_fail "XWayland did not start"

# sway's output on the virtual desktop: positions on it are sway's positions.
output_window=""
find_output_window()
{
    output_window=$(xwininfo -root -tree 2>/dev/null | awk '/"wlroots - X11-1"/ { print $1; exit }')
    [[ -n $output_window ]]
}
wait_for 30 find_output_window || e2e_fail "sway's output window did not appear"
read -r ox oy ow oh _ < <(window_geometry "$output_window") || e2e_fail "sway's output window vanished"
DESKTOP_WIDTH=$ow
DESKTOP_HEIGHT=$oh
export DISPLAY=$xwayland_display
mouse_at()
{
    DISPLAY=$DESKTOP_DISPLAY xdotool mousemove "$((ox + $1))" "$((oy + $2))"
}
# The pointer off sway's output, so that sway draws no cursor on it.
DISPLAY=$DESKTOP_DISPLAY xdotool mousemove 0 0
# What sway shows; grim writes through the user's Wayland socket.
screenshot()
{
    "${as_user[@]}" env WAYLAND_DISPLAY="$wayland_display" grim -t png - >"$1" 2>/dev/null
}
# Two pictures in a row alike: nothing is changing on the screen.
screen_still()
{
    screenshot "$E2E_TMP/still-b.png" || return 1
    local same=0
    [[ -f $E2E_TMP/still-a.png && $(differing_pixels "$E2E_TMP/still-a.png" "$E2E_TMP/still-b.png") == 0 ]] &&
        same=1
    mv "$E2E_TMP/still-b.png" "$E2E_TMP/still-a.png"
    ((same == 1))
}
wait_for 30 screen_still || e2e_fail "sway's screen did not settle"
cp "$E2E_TMP/still-a.png" "$E2E_TMP/base.png"

printf '%s\r\n' '[DATA]' 'TEXT=Deskword' 'FontBold=True' 'FontName=DejaVu Sans' 'FontSize=28' \
    'Color=255' 'XPOS=3000' 'YPOS=4500' 'XPOS2=0' 'YPOS2=0' 'PICTURE=2' >"$E2E_TMP/settings.ini"
e2e_prepare_app app --settings "$E2E_TMP/settings.ini"
user_owns "$E2E_APP_DIR"
start_as_user()
{
    "${as_user[@]}" env DISPLAY="$xwayland_display" WAYLAND_DISPLAY="$wayland_display" "$@" \
        "$E2E_APP_DIR/deskword" >>"$E2E_APP_DIR/deskword.log" 2>&1 &
    pid=$!
    desktop_adopt "$pid"
}

# --- XWayland: nothing outside the shape ---------------------------------------------------
start_as_user env -u QT_QPA_PLATFORM
TEXT_WINDOW=$(text_window "$pid")
[[ -n $TEXT_WINDOW ]] || e2e_fail "no text window in XWayland"
wait_for 30 shape_at_least "$TEXT_WINDOW" 100 20 || e2e_fail "the text was not shown"

# A second start opens the editor; closing it builds the shape anew, with the badge.
"${as_user[@]}" env -u QT_QPA_PLATFORM DISPLAY="$xwayland_display" WAYLAND_DISPLAY="$wayland_display" \
    "$E2E_APP_DIR/deskword" >>"$E2E_APP_DIR/deskword.log" 2>&1 ||
    e2e_fail "the second start failed"
editor=$(editor_window "$pid") || e2e_fail "a second start did not open the editor"
sway_msg "[title=\"^Deskword\$\" floating]" kill >/dev/null 2>&1 ||
    sway_msg "[title=\"^Deskword\$\"]" kill >/dev/null || e2e_fail "sway cannot close the editor"
wait_for 10 is_hidden "$editor" || e2e_fail "the editor did not close"
wait_for 30 shape_at_least "$TEXT_WINDOW" 100 20 || e2e_fail "the text did not come back"
wait_for 30 screen_still || e2e_fail "the screen did not settle after the editor closed"
figure_mask "$TEXT_WINDOW" "$E2E_TMP/mask.png" || e2e_fail "no figure"
outside_unchanged "$E2E_TMP/base.png" "$E2E_TMP/mask.png" ||
    e2e_fail "$OUTSIDE_DIFFERENCE pixels outside the text's shape differ from the desktop"

# A drag of a glyph moves the text by as much.
read -r gx gy gw _ < <(shape_rects "$TEXT_WINDOW" | sort -k3,3nr | head -n 1)
read -r wx wy _ < <(window_geometry "$TEXT_WINDOW")
mouse_at "$((wx + gx + gw / 2))" "$((wy + gy))"
DISPLAY=$DESKTOP_DISPLAY xdotool mousedown 1
for step in 1 2 3 4 5; do
    mouse_at "$((wx + gx + gw / 2 + step * 20))" "$((wy + gy + step * 10))"
done
DISPLAY=$DESKTOP_DISPLAY xdotool mouseup 1
wait_for 10 window_at "$TEXT_WINDOW" "$((wx + 100))" "$((wy + 50))" ||
    e2e_fail "a drag by (100, 50) moved the text from ($wx, $wy) to: $(window_geometry "$TEXT_WINDOW")"
stop_app "$pid"

# --- Wayland alone: the title and app id, and the README's rule -------------------------
start_as_user env -u DISPLAY QT_QPA_PLATFORM=wayland
NODE=""
find_node()
{
    NODE=$(sway_msg -t get_tree | python3 -c '
import json, sys
pid = int(sys.argv[1])
def walk(node, floating):
    if node.get("pid") == pid:
        print(node.get("name"), node.get("app_id"), node.get("sticky"), node.get("type"))
    for child in node.get("nodes", []):
        walk(child, floating)
    for child in node.get("floating_nodes", []):
        walk(child, True)
walk(json.load(sys.stdin), False)' "$pid")
    [[ -n $NODE ]]
}
wait_for 30 find_node || e2e_fail "the text window is not in sway's tree"
[[ $NODE == "Deskword io.github.deskword.Deskword True floating_con" ]] ||
    e2e_fail "the text window is (title, app id, sticky, type): $NODE"
stop_app "$pid"

e2e_pass
