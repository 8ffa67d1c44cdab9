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
# Each wait ends once the display answers, or the window shows (or the tool ends), 30 s at most.
soon() { for try in $(seq 300); do "$@" && return; sleep 0.1; done; false; }
soon env DISPLAY=$display xdpyinfo >/dev/null 2>&1
DISPLAY=$display XDG_RUNTIME_DIR=$runtime "$program" "$@" &
tool=$!
shown() { ! kill -0 $tool 2>/dev/null ||
    DISPLAY=$display xdotool search --onlyvisible --name "^Zentorlab Lumetra" >/dev/null; }
soon shown
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
