#!/usr/bin/env bash
# A build without the tests (the README's install recipe) configures without the X11
# development files: only the tests and the virtual desktop's helpers need them.
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
# pkg-config's look-ups leave their results in the cache and their "Checking for
# module" lines in the log.
if grep -Ei "checking for modules? .*(x11|xext)" "$scratch/configure.log"; then
    fail "the configure looked for X11 development files"
fi
if grep -E '^(pkgcfg_lib_DESKWORD_X11|DESKWORD_X11_)' "$cache"; then
    fail "the cache holds X11 look-ups"
fi
grep -q '^DESKWORD_TOOLS:BOOL=OFF' "$cache" || fail "DESKWORD_TOOLS is not off without the tests"
# The program itself is still there to build, and the test helpers are not.
ninja -C "$scratch/build" -t targets all >"$scratch/targets" || fail "ninja cannot list the targets"
grep -q '^deskword:' "$scratch/targets" || fail "no deskword target"
if grep -Eq '^(xshape_dump|selection_owner):' "$scratch/targets"; then
    fail "the X helpers are configured without the tests"
fi
echo "PASS: configure_test"
