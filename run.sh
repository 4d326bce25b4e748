#!/usr/bin/env bash
# Builds Deskword (Release, in build/) and starts it. Without a display it starts a
# virtual desktop first (Xvfb, openbox, trayer) and runs Deskword there until
# Ctrl-C, which ends Deskword as its Exit does (its settings stored) and then the
# virtual desktop.
set -euo pipefail
cd "$(dirname "$0")"

scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DDESKWORD_TESTS=OFF -DDESKWORD_TOOLS=ON >/dev/null
cmake --build build -j2 --target deskword

if [[ -n ${DISPLAY:-} ]]; then
    exec build/deskword
fi

# No display: a virtual desktop of our own. Every background process gets a process
# group of its own, so Ctrl-C reaches this script alone, which ends Deskword first.
set -m
cmake --build build -j2 --target selection_owner >/dev/null
source scripts/desktop.sh
workdir=$(mktemp -d "${TMPDIR:-/tmp}/deskword-desktop.XXXXXX")
# The user's runtime folder, or a private one for this run.
if [[ -z ${XDG_RUNTIME_DIR:-} ]]; then
    mkdir -m 0700 "$workdir/runtime"
    export XDG_RUNTIME_DIR=$workdir/runtime
fi
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
# Deskword ends on SIGINT as its Exit does; the desktop goes once it has ended.
trap 'kill -INT "$deskword" 2>/dev/null || true' INT TERM
status=0
while :; do
    wait "$deskword" && status=0 || status=$?
    kill -0 "$deskword" 2>/dev/null || break
done
exit "$status"
