#!/usr/bin/env bash
# The end signals end the program as Exit does at any moment:
# - SIGTERM, SIGHUP and SIGINT while a message box of the start-up is up (the picture
#   beside the program is too large; the box is shown before the event loop runs):
#   the box goes, the program ends with status 0 and stores the text's position;
# - a signal as soon as the program has installed its handler, before any window:
#   status 0.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=ui.sh
source "$(dirname "$0")/ui.sh"
e2e_begin "$@"
ui_begin
trap 'e2e_fail "unexpected failure at line $LINENO: $BASH_COMMAND"' ERR

# No XPOS: the position stored at the end shows that the program stored.
printf '%s\r\n' '[DATA]' 'TEXT=Deskword' 'FontBold=True' 'FontName=DejaVu Sans' 'FontSize=20' \
    'Color=0' >"$E2E_TMP/settings.ini"
# A 24-bit BMP one row high and wider than any picture the program takes.
python3 - "$E2E_TMP/picture.bmp" <<'PY'
import struct, sys
width, height = 40000, 1
row = (width * 3 + 3) // 4 * 4
pixels = b"\xff" * (row * height)
header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
open(sys.argv[1], "wb").write(header + info + pixels)
PY

# The message box: a managed window of the program's name (the text window of that
# name is override-redirect).
message_box()
{
    local id
    for id in $(xdotool search --all --onlyvisible --pid "$1" --name '^deskword$' 2>/dev/null); do
        if is_viewable "$id" && ! is_override_redirect "$id"; then
            return 0
        fi
    done
    return 1
}

# True when the program catches SIGTERM (its bit in SigCgt of /proc/PID/status). Until
# the started shell has become the program, the bit is the test shell's own trap.
catches_term()
{
    local mask
    [[ $(readlink "/proc/$1/exe" 2>/dev/null) == */deskword ]] || return 1
    mask=$(awk '/^SigCgt:/ { print $2 }' "/proc/$1/status" 2>/dev/null) || return 1
    [[ -n $mask ]] && ((0x$mask & (1 << 14)))
}

for signal in TERM HUP INT; do
    e2e_prepare_app "box-$signal" --settings "$E2E_TMP/settings.ini" --picture "$E2E_TMP/picture.bmp"
    e2e_start_app "$E2E_APP_DIR"
    pid=$E2E_PID
    wait_for 30 message_box "$pid" || e2e_fail "SIG$signal: no message box at start-up"
    kill "-$signal" "$pid"
    ended_cleanly "$pid" "SIG$signal with a message box open"
    ini_value "$E2E_APP_DIR/deskword.ini" XPOS >/dev/null ||
        e2e_fail "SIG$signal with a message box open: the position was not stored"
done

e2e_prepare_app early --settings "$E2E_TMP/settings.ini"
e2e_start_app "$E2E_APP_DIR"
pid=$E2E_PID
wait_for 10 catches_term "$pid" || e2e_fail "the program does not catch SIGTERM"
kill -TERM "$pid"
ended_cleanly "$pid" "SIGTERM at start-up"

e2e_pass
