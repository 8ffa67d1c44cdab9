#!/bin/sh
# Configures and builds into build/ (or $LUMETRA_BUILD_DIR), passing any extra
# arguments to cmake's configure step.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${LUMETRA_BUILD_DIR:-$top/build}
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build" -j2
