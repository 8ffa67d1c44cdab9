#!/bin/sh
# The removal with the Windows device layer, built with MinGW-w64 (static, warnings as errors: this code is otherwise
# only compiled on Windows) and run under Wine for the paths Wine has; Wine has no device removal, so no row reaches
# an attempt. Usage: run-wine-probe.sh <source folder>. Exit status 77 means skipped.
wine=$(command -v wine64 || echo /usr/lib/wine/wine64) work=$(mktemp -d) failures=0
compiler=$(command -v x86_64-w64-mingw32-g++-posix) && [ -x "$wine" ] ||
    { echo "SKIP: MinGW-w64 (g++-mingw-w64-x86-64-posix) or Wine (wine64) is missing"; exit 77; }
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap '"$(dirname "$wine")/wineserver" -k 2>/dev/null; rm -rf "$work"' EXIT
"$compiler" -std=c++17 -O2 -Wall -Wextra -Werror -municode -static -I"$1/eject" -o "$work/probe.exe" \
    "$1/tests/eject/ejectprobe_win.cpp" "$1/eject/ejectalgorithm.cpp" "$1/eject/ejectsystem_win.cpp" \
    -lsetupapi -lcfgmgr32 || { echo "FAIL: the Windows layer does not build"; exit 1; }
"$wine" wineboot -i >/dev/null 2>&1 || { echo "SKIP: Wine does not start here"; exit 77; }
row() { # <what a user would meet> <status> <console> <probe arguments...>
    printed=$(shift 3; "$wine" "$work/probe.exe" "$@" 2>/dev/null </dev/null; echo " $?")
    [ "$printed" = "$3 $2" ] && echo "PASS: $1" ||
        { echo "FAIL: $1: printed and status '$printed'"; failures=$((failures + 1)); }
}
row "the Microsoft runtime prints the messages, the veto name as a wide string" 0 \
    "Success/n/nfailed/nResult=0x17/nResult=0x D/nVetoName=USB Mass Storage Device)/n/n"
row "a drive letter with no volume behind it gives 2 and prints nothing" 2 "" Q
row "drive C, a fixed disk whose device Wine does not list, gives 4" 4 "" C
row "a string longer than one letter names no volume" 2 "" CD
row "an empty string names no volume" 2 "" ""
[ "$failures" = 0 ]
