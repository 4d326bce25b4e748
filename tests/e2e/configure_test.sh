#!/usr/bin/env bash
# A build without the tests (the README's install recipe) needs of the X11
# development files only xcb's (the program's X11 part: libxcb1-dev); Xlib and its
# extensions (libx11-dev, libxext-dev) are for the tests and the virtual desktop's
# helpers alone. A build with -DDESKWORD_X11=OFF needs none of them.
#
# Arguments: --source DIR (the source folder).
set -euo pipefail
[[ ${1:-} == --source && -d ${2:-} ]] || { echo "usage: $0 --source DIR" >&2 && exit 2; }
source_dir=$2
scratch=$(mktemp -d "${TMPDIR:-/tmp}/deskword-configure.XXXXXX")
trap 'rm -rf -- "$scratch"' EXIT

fail()
{
    echo "FAIL: configure_test: $*" >&2
    exit 1
}

cmake -S "$source_dir" -B "$scratch/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DDESKWORD_TESTS=OFF >"$scratch/configure.log" 2>&1 ||
    fail "the configure without tests failed: $(tail -n 20 "$scratch/configure.log")"
cache=$scratch/build/CMakeCache.txt
[[ -f $cache ]] || fail "no CMakeCache.txt"
# The pkg-config modules a configure looked for, one a line: its "Checking for
# module(s)" lines name them, separated by semicolons.
looked_for()
{
    sed -nE "s/.*Checking for modules? '([^']*)'.*/\1/p" "$1" | tr ';' '\n' |
        sed -E 's/[<>=].*//; s/ //g' | sort -u
}
# Every X11 development package's pkg-config module: Xlib, its extensions, xcb and
# xcb's extensions.
x11_modules()
{
    grep -E '^(x11|x11-xcb|xext|xrender|xfixes|xrandr|xi|xinerama|xcomposite|xtst|xcb(-.*)?)$' || true
}
[[ $(looked_for "$scratch/configure.log" | x11_modules | tr '\n' ' ') =~ ^((xcb|xcb-shape) )+$ ]] ||
    fail "the configure looked for these X11 modules: $(looked_for "$scratch/configure.log" | x11_modules | tr '\n' ' ') (only xcb and xcb-shape expected)"
if grep -E '^(pkgcfg_lib_DESKWORD_X11|DESKWORD_X11_)' "$cache"; then
    fail "the cache holds Xlib look-ups"
fi
grep -q '^DESKWORD_TOOLS:BOOL=OFF' "$cache" || fail "DESKWORD_TOOLS is not off without the tests"
# The program itself is still there to build, and the test helpers are not.
ninja -C "$scratch/build" -t targets all >"$scratch/targets" || fail "ninja cannot list the targets"
grep -q '^deskword:' "$scratch/targets" || fail "no deskword target"
if grep -Eq '^(xshape_dump|selection_owner):' "$scratch/targets"; then
    fail "the X helpers are configured without the tests"
fi
# Without the X11 part nothing of X11 is looked for.
cmake -S "$source_dir" -B "$scratch/build-no-x11" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DDESKWORD_TESTS=OFF -DDESKWORD_X11=OFF >"$scratch/configure-no-x11.log" 2>&1 ||
    fail "the configure without X11 failed: $(tail -n 20 "$scratch/configure-no-x11.log")"
[[ -z $(looked_for "$scratch/configure-no-x11.log" | x11_modules) ]] ||
    fail "-DDESKWORD_X11=OFF still looked for $(looked_for "$scratch/configure-no-x11.log" | x11_modules | tr '\n' ' ')"
echo "PASS: configure_test"
