#!/usr/bin/env bash
# The layers of src/: which folder includes which. Reads every `#include "folder/..."`
# line of src/ (main.cpp counts as the folder "main"), prints each folder with the
# folders it includes, and fails when the includes between folders form a cycle:
# every folder must sit on the ones it uses, never beside or under them. Also fails
# when a file outside platform/ includes a platform header (X11/xcb, D-Bus, POSIX
# signals, sockets and descriptors, iconv, CPU intrinsics, Qt's native interfaces):
# such code lives in platform/, behind its small interfaces.
# Usage: scripts/layers.sh [src folder]
set -euo pipefail
src=${1:-$(dirname "$0")/../src}
cd "$src"

edges=$(grep -rHo '^#include "[A-Za-z_]*/' --include='*.cpp' --include='*.h' . |
    sed -E 's|^\./([^/:]+)/[^:]*:#include "([^/]+)/$|\1 \2|
            s|^\./[^/:]+:#include "([^/]+)/$|main \1|' |
    awk '$1 != $2' | sort -u)

echo "Folders of src/ and the folders they include:"
awk '{ uses[$1] = uses[$1] " " $2 } END { for (f in uses) print "  " f " ->" uses[f] }' \
    <<<"$edges" | sort

# tsort names the folders of every loop on its error output.
loops=$(tsort <<<"$edges" 2>&1 >/dev/null || true)
if [[ -n $loops ]]; then
    echo "Include cycle between folders:" >&2
    grep -v 'input contains a loop' <<<"$loops" | sed 's/^tsort: /  /' >&2
    exit 1
fi
# System headers that only platform/ may include.
platform_headers='xcb/|X11/|QtDBus|QDBus|qguiapplication_platform|csignal|signal\.h|sys/socket|sys/un\.h|sys/signalfd|unistd\.h|fcntl\.h|iconv|[a-z0-9]*intrin\.h|cpuid\.h|QLocalSocket|QLocalServer'
misplaced=$(grep -rHnE "^#include <($platform_headers)" --include='*.cpp' --include='*.h' . |
    grep -v '^\./platform/' || true)
if [[ -n $misplaced ]]; then
    echo "Platform headers outside platform/:" >&2
    sed 's|^\./|  |' <<<"$misplaced" >&2
    exit 1
fi

echo "Layers, top first: $(tsort <<<"$edges" | tr '\n' ' ')"
