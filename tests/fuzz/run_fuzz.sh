#!/usr/bin/env bash
# Runs one fuzz target over its seed corpus (corpus/NAME) and the inputs of faults
# found earlier (regressions/NAME), then goes on with the options given (such as
# -runs=N or -max_total_time=S). New inputs go to a scratch folder, so the sources stay
# as they are and every run starts from the same inputs, or to the folder named by
# FUZZ_CORPUS, which keeps them for the next run. An input that crashes is kept in the
# current folder as NAME-crash-<hash>, to be added to regressions/NAME.
# Usage: [FUZZ_CORPUS=folder] run_fuzz.sh TARGET_BINARY TESTS_FUZZ_FOLDER NAME [options...]
set -euo pipefail
binary=$1
folder=$2
name=$3
shift 3

if [[ -n "${FUZZ_CORPUS:-}" ]]; then
    mkdir -p "$FUZZ_CORPUS"
    corpora=("$FUZZ_CORPUS")
else
    scratch=$(mktemp -d "${TMPDIR:-/tmp}/deskword-fuzz-$name.XXXXXX")
    trap 'rm -rf "$scratch"' EXIT
    corpora=("$scratch")
fi
for dir in "$folder/corpus/$name" "$folder/regressions/$name"; do
    if [[ -d "$dir" ]]; then
        corpora+=("$dir")
    fi
done

# The same hash order in every run, so a fixed -seed replays the same mutations.
export QT_HASH_SEED=0
# A picture up to a surface's 256 MiB is decoded and composed a few times over; more
# than this is a fault of its own.
"$binary" -seed=1 -timeout=20 -rss_limit_mb=2048 -malloc_limit_mb=1024 \
    -artifact_prefix="$PWD/$name-" -print_final_stats=1 "$@" "${corpora[@]}"
