#!/usr/bin/env bash
# Builds Deskword with its tests (Debug, AddressSanitizer and UndefinedBehaviorSanitizer,
# warnings as errors, in build-test/) and runs the unit, widget and end-to-end tests,
# then builds the fuzz targets of the file parsers with clang (build-fuzz/) and gives
# each a short run.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD

scripts/deps.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDESKWORD_TESTS=ON \
    -DDESKWORD_SANITIZE=ON -DDESKWORD_WERROR=ON -DDESKWORD_BENCH=ON
cmake --build build-test -j2

export ASAN_OPTIONS=detect_leaks=1:strict_init_order=1:check_initialization_order=1
export LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The desktop tests run where their desktops are installed; the others are skipped.
desktops_missing=()
command -v lxqt-panel >/dev/null || desktops_missing+=("e2e_lxqt (lxqt-panel)")
{ command -v sway && command -v waybar && command -v grim; } >/dev/null ||
    desktops_missing+=("e2e_sway (sway, waybar, grim)")
[[ -z $(tests/e2e/gnome_missing.sh) ]] ||
    desktops_missing+=("e2e_gnome_x11 e2e_gnome_wayland ($(tests/e2e/gnome_missing.sh | paste -sd, -))")
if ((${#desktops_missing[@]} > 0)); then
    echo "test.sh: skipping the desktop tests ${desktops_missing[*]}: not installed;" \
        "scripts/deps.sh --desktops installs them"
fi
ctest --test-dir build-test --output-on-failure --no-tests=error -j2

# The fuzz targets: only the parser sources, built by clang with libFuzzer.
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_C_COMPILER=clang -DDESKWORD_FUZZ=ON -DDESKWORD_WERROR=ON
cmake --build build-fuzz -j2
ctest --test-dir build-fuzz --output-on-failure --no-tests=error -j2 -L fuzz
