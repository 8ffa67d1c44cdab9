#!/bin/sh
# LumetraInstaller.exe built from this tree with MinGW-w64 against the static Qt of scripts/windows-qt.sh, started
# under Wine: a library, static plugin (platform, QML module) or resource the Windows build leaves out shows as an exe
# that does not link, does not answer, or opens no window. Skips when that Qt or Wine is missing.
set -u
top=$1 work=$2
prefix=$("$top/scripts/windows-qt.sh" --prefix 2>/dev/null) ||
    { echo "SKIP: no static Qt for MinGW-w64 (scripts/windows-qt.sh builds it)"; exit 77; }
for tool in wine xvfb-run xdotool import; do
    command -v $tool >/dev/null || { echo "SKIP: $tool is missing (Debian's wine, wine64, xvfb, xdotool, imagemagick)"; exit 77; }
done
mkdir -p "$work"
{ cmake -S "$top" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" -DLUMETRA_WINQT_PREFIX="$prefix" \
      -DCMAKE_BUILD_TYPE=Release -DLUMETRA_BUILD_TESTS=OFF && cmake --build "$work/build" -j2; } >"$work/build.log" 2>&1 ||
    { tail -n 30 "$work/build.log"; echo "FAIL: LumetraInstaller.exe does not build"; exit 1; }
exe="$work/build/LumetraInstaller.exe"
export WINEPREFIX="$work/wine" WINEDEBUG=-all
failed=0
# arguments | exit status | a line it prints
while IFS='|' read -r arguments status text; do
    output=$(wine "$exe" $arguments 2>&1)
    got=$?
    if [ "$got" != "$status" ] || ! echo "$output" | grep -qF -- "$text"; then
        echo "FAIL: LumetraInstaller.exe $arguments ended with $got, not $status with \"$text\":"; echo "$output"; failed=1
    fi
done <<'ROWS'
--version|0|LumetraInstaller 1.73
--help|0|--update
--list|2|No unit found.
--bogus|3|Usage: LumetraInstaller.exe
ROWS
# The window: its platform plugin, the QML modules and the resources are all needed before it shows. Start (the
# window's right edge, drawn once the first frame is) leads to Step one, whose picture in the lower middle is a JPEG
# that stays blank white without the JPEG plugin. Each wait ends as soon as the screen shows what it waits for.
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" sh -c '
    colours() { import -window "$window" png:- | convert - -crop "$1" -format %k info:; }
    shows() { for try in $(seq "$3"); do [ "$(colours "$1")" -gt "$2" ] && return 0; sleep 0.1; done; return 1; }
    # A click that arrives with the pointer entering the window may go unseen: clicked again, the next screen
    # (Step two) has a JPEG there too.
    start() { for click in 1 2 3; do xdotool mousemove --window "$window" 740 300 click 1; shows "$@" && return; done; }
    wine "$1" >/dev/null 2>&1 &
    window=$(timeout 120 xdotool search --sync --onlyvisible --name "Zentorlab Lumetra" | head -n 1)
    if [ -z "$window" ]; then echo "FAIL: LumetraInstaller.exe showed no window within 120 s"
    elif ! shows 120x60+680+270 10 300; then echo "FAIL: the window never drew its Start button"
    elif ! start 250x80+400+460 100 50; then
        echo "FAIL: Step one shows no picture ($(colours 250x80+400+460) colours where it should be)"
    else wineserver -k; exit 0
    fi
    wineserver -k; exit 1' window "$exe" || failed=1
[ $failed = 0 ] && echo "PASS: LumetraInstaller.exe ($(du -m "$exe" | cut -f1) MB) answers and shows its window and pictures under Wine"
exit $failed
