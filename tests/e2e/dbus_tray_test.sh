#!/usr/bin/env bash
# The menu on a D-Bus tray (a StatusNotifierWatcher of the test's own on a private
# session bus, as KDE Plasma or GNOME's AppIndicator extension would offer):
# - the item exports its menu (com.canonical.dbusmenu): "編集", "画像表示" with its
#   three modes and the stored one checked, "バージョン情報", "ログイン時に起動",
#   "全画面表示のときは隠す", "終了";
# - "文字の背後" chosen through D-Bus stores PICTURE=1, moves the check mark and puts
#   the picture into the window's shape;
# - a right click on a glyph of the text opens the same menu at the pointer, and so
#   does the host's ContextMenu call;
# - "バージョン情報" shows the about box, "編集" opens the editor; "終了" ends the
#   program with status 0 and stores the text window's position (and leaves no
#   socket behind).
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=ui.sh
source "$(dirname "$0")/ui.sh"
# shellcheck source=dbus_tray.sh
source "$(dirname "$0")/dbus_tray.sh"
e2e_begin "$@"
ui_begin
# The menu's own (Japanese) captions, whatever the machine's language.
export LANGUAGE=ja
# A command that fails where no check expects it says where, with the logs.
trap 'e2e_fail "unexpected failure at line $LINENO: $BASH_COMMAND"' ERR
dbus_tray_begin

bmp=$E2E_TMP/picture.bmp
convert -size 120x90 xc:white -fill '#0000FF' -draw 'rectangle 10,10 110,80' -type TrueColor \
    "BMP3:$bmp" || e2e_fail "cannot write the test bitmap"
# The text at (100, 100), the picture 100 pixels below it, not shown (PICTURE=2).
printf '%s\r\n' '[DATA]' 'TEXT=Deskword' 'FontBold=True' 'FontName=DejaVu Sans' 'FontSize=20' \
    'Color=0' 'XPOS=1500' 'YPOS=1500' 'XPOS2=0' 'YPOS2=1500' 'PICTURE=2' >"$E2E_TMP/settings.ini"
picture_rects=$(image_region "$bmp" 0 100)

e2e_prepare_app app --settings "$E2E_TMP/settings.ini" --picture "$bmp"
e2e_start_app "$E2E_APP_DIR"
pid=$E2E_PID
ini=$E2E_APP_DIR/deskword.ini
TEXT_WINDOW=$(text_window "$pid")
[[ -n $TEXT_WINDOW ]] || e2e_fail "no text window"
wait_for 30 shape_at_least "$TEXT_WINDOW" 100 20 || e2e_fail "the text was not shown"
text_only=$(shape_rects "$TEXT_WINDOW")
[[ $text_only != *"$picture_rects"* ]] || e2e_fail "the hidden picture is in the shape"

# --- the exported menu -----------------------------------------------------------------
dbus_tray_item
[[ $(sni_host item "$SNI_ITEM") == "Menu=/MenuBar ItemIsMenu=false" ]] ||
    e2e_fail "the item does not export its menu: $(sni_host item "$SNI_ITEM" 2>&1)"
menu_layout
# depth, type, toggle type, toggle state, label (ids are Qt's own)
entries=$(cut -f1,3- <<<"$SNI_LAYOUT")
expected=$(printf '%s\n' \
    $'1\tstandard\t\t\t編集' \
    $'1\tsubmenu\t\t\t画像表示' \
    $'2\tstandard\tcheckmark\t0\t文字の手前' \
    $'2\tstandard\tcheckmark\t0\t文字の背後' \
    $'2\tstandard\tcheckmark\t1\t非表示' \
    $'1\tseparator\t\t\t' \
    $'1\tstandard\t\t\tバージョン情報' \
    $'1\tseparator\t\t\t' \
    $'1\tstandard\tcheckmark\t0\tログイン時に起動' \
    $'1\tstandard\tcheckmark\t0\t全画面表示のときは隠す' \
    $'1\tstandard\t\t\t終了')
[[ $entries == "$expected" ]] || e2e_fail "the exported menu differs:"$'\n'"$entries"

# --- a display mode through D-Bus ---------------------------------------------------------
sni_host click "$SNI_ITEM" "文字の背後" || e2e_fail "cannot click \"文字の背後\" over D-Bus"
wait_for 10 ini_value_is "$ini" PICTURE 1 || e2e_fail "\"文字の背後\" did not store PICTURE=1"
picture_shown()
{
    is_viewable "$TEXT_WINDOW" && [[ $(shape_rects "$TEXT_WINDOW") == *"$picture_rects" ]]
}
wait_for 10 picture_shown ||
    e2e_fail "\"文字の背後\" did not put the picture into the shape:"$'\n'"$(shape_rects "$TEXT_WINDOW" | tail -n 5)"
checked_behind()
{
    has_menu_layout && [[ $(grep -P '\tcheckmark\t1\t' <<<"$SNI_LAYOUT" | cut -f6) == "文字の背後" ]]
}
wait_for 10 checked_behind || e2e_fail "the exported menu does not check \"文字の背後\":"$'\n'"$SNI_LAYOUT"

# --- the popup menu at the pointer ----------------------------------------------------------
# Waits for a new window of the process showing the menu's items and sets MENU_X and
# MENU_Y (its place); Escape closes it.
popup_shows_menu()
{
    local before=$1 what=$2
    wait_for 10 find_new_window "$pid" "$before" || e2e_fail "$what opened no menu"
    UI_MENU=$UI_NEW_WINDOW
    UI_SUBMENU=""
    wait_for 10 has_text_lines "$UI_MENU" "$((MENU_EXIT + 1))" ||
        e2e_fail "$what: the menu does not show $((MENU_EXIT + 1)) items:"$'\n'"$(text_lines "$UI_MENU")"
    read -r MENU_X MENU_Y _ < <(window_geometry "$UI_MENU")
    wait_for 10 escape_menus || e2e_fail "$what: the menu did not close on Escape"
}

read -r gx gy gw _ < <(sort -k3,3nr <<<"$text_only" | head -n 1)
before=$(viewable_windows "$pid")
xdotool mousemove "$((100 + gx + gw / 2))" "$((100 + gy))"
xdotool click 3
popup_shows_menu "$before" "a right click on the text"
((MENU_X >= 100 + gx && MENU_X <= 100 + gx + gw && MENU_Y >= 100 + gy - 2 && MENU_Y <= 100 + gy + 40)) ||
    e2e_fail "the menu opened at ($MENU_X, $MENU_Y), not at the pointer ($((100 + gx + gw / 2)), $((100 + gy)))"

before=$(viewable_windows "$pid")
sni_host context "$SNI_ITEM" 600 400 || e2e_fail "the item's ContextMenu call failed"
popup_shows_menu "$before" "the host's ContextMenu call"

# --- About, Edit and Exit through D-Bus ------------------------------------------------------
ABOUT_BOX=""
find_about_box()
{
    ABOUT_BOX=$(xdotool search --all --onlyvisible --pid "$pid" --name '^バージョン情報$' 2>/dev/null | head -n 1)
    [[ -n $ABOUT_BOX ]]
}
sni_host click "$SNI_ITEM" "バージョン情報" || e2e_fail "cannot click \"バージョン情報\" over D-Bus"
wait_for 10 find_about_box || e2e_fail "\"バージョン情報\" over D-Bus did not show the about box"
close_box "$ABOUT_BOX" || e2e_fail "no close box on the about box"
wait_for 10 is_hidden "$ABOUT_BOX" || e2e_fail "the about box did not close"

sni_host click "$SNI_ITEM" "編集" || e2e_fail "cannot click \"編集\" over D-Bus"
editor_window "$pid" >/dev/null || e2e_fail "\"編集\" over D-Bus did not open the editor"

# The position reaches the file only at Exit.
sed -i '/^[XY]POS=/d' "$ini"
# The program may end before it answers the call: its effects tell.
sni_host click "$SNI_ITEM" "終了" 2>/dev/null || true
ended_cleanly "$pid" "\"終了\" over D-Bus"
sockets=("$XDG_RUNTIME_DIR"/deskword-*.socket)
[[ ! -e ${sockets[0]} ]] || e2e_fail "the program left its socket behind: ${sockets[*]}"
{ ini_value_is "$ini" XPOS 1500 && ini_value_is "$ini" YPOS 1500; } ||
    e2e_fail "\"終了\" did not store the position (XPOS=$(ini_value "$ini" XPOS), YPOS=$(ini_value "$ini" YPOS))"

e2e_pass
