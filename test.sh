#!/usr/bin/env bash
# Builds Deskword with its tests (Debug, AddressSanitizer and UndefinedBehaviorSanitizer,
# warnings as errors, in build-test/) and runs the unit, widget and end-to-end tests.
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
ctest --test-dir build-test --output-on-failure --no-tests=error -j2
