#!/usr/bin/env bash
# Builds Deskword (Release, in build/) and starts it. Without a display it starts a
# virtual desktop first (Xvfb, openbox, trayer) and runs Deskword there until
# Ctrl-C.
set -euo pipefail
cd "$(dirname "$0")"

scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DDESKWORD_TESTS=OFF -DDESKWORD_TOOLS=ON >/dev/null
cmake --build build -j2 --target deskword

if [[ -n ${DISPLAY:-} ]]; then
    exec build/deskword
fi

# No display: a virtual desktop of our own.
cmake --build build -j2 --target selection_owner >/dev/null
source scripts/desktop.sh
workdir=$(mktemp -d "${TMPDIR:-/tmp}/deskword-desktop.XXXXXX")
stop()
{
    desktop_stop
    rm -rf -- "$workdir"
}
trap stop EXIT
trap 'exit 130' INT TERM

desktop_start "$workdir" build/tests/tools/selection_owner
export DISPLAY=$DESKTOP_DISPLAY
build/deskword &
deskword=$!
desktop_adopt "$deskword"

echo "Deskword runs on the virtual display $DISPLAY (process $deskword)."
echo "Screenshot: DISPLAY=$DISPLAY import -window root shot.png"
echo "Press Ctrl-C to stop."
status=0
wait "$deskword" || status=$?
exit "$status"
