#!/bin/sh
# Configures and builds into build/ (or $LUMETRA_BUILD_DIR), passing any extra
# arguments to cmake's configure step.
#   scripts/build.sh [--target <name>] [configure arguments...]
# --target builds that target and what it needs, not everything (run.sh: the program alone).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${LUMETRA_BUILD_DIR:-$top/build}
target=""
if [ "${1:-}" = "--target" ]; then
    target=${2:?"--target takes a target's name"}
    shift 2
fi
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build" -j2 ${target:+--target "$target"}
