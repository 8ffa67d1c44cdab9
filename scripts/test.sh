#!/bin/sh
# Installs what is missing, builds, and runs every test through ctest. Tests that need
# root (mounts, udisks) skip with a reason when run without it.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" "$@"
build=${LUMETRA_BUILD_DIR:-$top/build}
cd "$build"
ctest --output-on-failure -j2
