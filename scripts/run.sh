#!/bin/sh
# Installs what is missing, builds the program (only it: the tests and benchmarks are
# test.sh's), and starts LumetraInstaller. Without a display it starts the tool on a virtual
# one (Xvfb) and writes a screenshot of what it shows.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" --target LumetraInstaller -DCMAKE_UNITY_BUILD=ON
build=${LUMETRA_BUILD_DIR:-$top/build}
program="$build/LumetraInstaller"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$program" "$@"
fi

screenshot="$build/screenshot.png"
runtime=$(mktemp -d)
chmod 0700 "$runtime"
display=:$(( 90 + $$ % 100 ))
Xvfb "$display" -screen 0 800x600x24 -dpi 96 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$runtime"' EXIT
sleep 1
DISPLAY=$display XDG_RUNTIME_DIR=$runtime "$program" "$@" &
tool=$!
sleep 4
if kill -0 $tool 2>/dev/null; then
    DISPLAY=$display import -window root "$screenshot"
    echo "LumetraInstaller is running on the virtual display $display; screenshot: $screenshot"
    echo "Stopping it again (there is no screen to use it on)."
    kill $tool
    wait $tool 2>/dev/null || true
else
    status=0
    wait $tool || status=$?
    echo "LumetraInstaller ended at once with status $status (no window to show)."
    exit $status
fi
